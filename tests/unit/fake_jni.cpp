#include "unit/fake_jni.h"

#include <cstdlib>
#include <cstring>

#include "base/error_output.h"

namespace tarn::test {
namespace {

FakeJni* activeFake = nullptr;

std::string narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// Modified UTF-8 as a VM makes it: NUL as C0 80, every UTF-16 unit
// (surrogates too) encoded on its own.
std::string modifiedUtf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c != 0 && c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

FakeJni& fake() { return FakeJni::active(); }

jclass JNICALL findClass(JNIEnv*, const char* name) {
  if (!fake().enter(std::string("FindClass ") + name)) return nullptr;
  if (fake().fails(std::string("FindClass ") + name) || fake().fails("FindClass")) {
    fake().raise("java/lang/OutOfMemoryError");
    return nullptr;
  }
  if (fake().classes.count(name) == 0) {
    fake().raise("java/lang/NoClassDefFoundError");
    return nullptr;
  }
  return static_cast<jclass>(fake().make({FakeJni::Object::Class, name, {}, {}}));
}

jmethodID lookUpMethod(const char* function, jclass clazz, const char* name, const char* signature) {
  FakeJni::Object* owner = fake().use(clazz, function);
  std::string className = owner != nullptr ? owner->name : "?";
  std::string key = className + "." + name + " " + signature;
  if (!fake().enter(std::string(function) + " " + key)) return nullptr;
  if (fake().methods.count(key) == 0) {
    if (fake().missingMethodThrows) fake().raise("java/lang/NoSuchMethodError");
    return nullptr;
  }
  return fake().method(className, name, signature);
}

jmethodID JNICALL getMethodId(JNIEnv*, jclass clazz, const char* name, const char* signature) {
  return lookUpMethod("GetMethodID", clazz, name, signature);
}

jmethodID JNICALL getStaticMethodId(JNIEnv*, jclass clazz, const char* name, const char* signature) {
  return lookUpMethod("GetStaticMethodID", clazz, name, signature);
}

// String(char[]) makes a String; any other constructor a plain instance,
// recorded with its arguments as far as they are strings and booleans.
jobject JNICALL newObjectA(JNIEnv*, jclass clazz, jmethodID id, const jvalue* args) {
  fake().use(clazz, "NewObjectA");
  const FakeJni::Method& constructor = fake().methodOf(id);
  if (constructor.className == "java/lang/String") {
    if (!fake().enter("NewObjectA")) return nullptr;
    if (fake().fails("NewObjectA")) {
      fake().raise("java/lang/OutOfMemoryError");
      return nullptr;
    }
    FakeJni::Object* chars = fake().use(args[0].l, "NewObjectA");
    if (chars == nullptr || chars->kind != FakeJni::Object::CharArray) {
      fake().violations.push_back("NewObjectA String without a char[]");
      return nullptr;
    }
    return fake().make({FakeJni::Object::String, "", chars->chars, {}});
  }
  std::string call = "New " + constructor.className + "(";
  if (constructor.signature == "(Ljava/lang/String;Z)V") {
    FakeJni::Object* name = fake().use(args[0].l, "NewObjectA");
    call += (name != nullptr ? narrow(name->chars) : "?") + ", " + (args[1].z ? "true" : "false");
  }
  call += ")";
  if (!fake().enter(call)) return nullptr;
  if (fake().fails(call)) {
    fake().raise(constructor.className == "java/io/FileOutputStream" ? "java/io/FileNotFoundException"
                                                                      : "java/lang/OutOfMemoryError");
    return nullptr;
  }
  FakeJni::Object instance{FakeJni::Object::Instance, constructor.className, {}, {}};
  if (constructor.signature == "(Ljava/io/Writer;)V") instance.target = fake().use(args[0].l, "NewObjectA");
  return fake().make(instance);
}

jcharArray JNICALL newCharArray(JNIEnv*, jsize length) {
  if (!fake().enter("NewCharArray " + std::to_string(length))) return nullptr;
  if (fake().fails("NewCharArray") || length < 0) {
    fake().raise("java/lang/OutOfMemoryError");
    return nullptr;
  }
  return static_cast<jcharArray>(
      fake().make({FakeJni::Object::CharArray, "", std::u16string(static_cast<size_t>(length), u'\0'), {}}));
}

void JNICALL setCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* buffer) {
  if (!fake().enter("SetCharArrayRegion " + std::to_string(start) + " " + std::to_string(length))) return;
  FakeJni::Object* chars = fake().use(array, "SetCharArrayRegion");
  if (chars == nullptr) return;
  if (buffer == nullptr) fake().violations.push_back("SetCharArrayRegion from a null buffer");
  if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > chars->chars.size()) {
    fake().raise("java/lang/ArrayIndexOutOfBoundsException");
    return;
  }
  if (fake().fails("SetCharArrayRegion")) {
    fake().raise("java/lang/ArrayIndexOutOfBoundsException");
    return;
  }
  for (jsize i = 0; i < length; ++i) chars->chars[static_cast<size_t>(start + i)] = static_cast<char16_t>(buffer[i]);
}

jobjectArray JNICALL newObjectArray(JNIEnv*, jsize length, jclass clazz, jobject initial) {
  if (!fake().enter("NewObjectArray " + std::to_string(length))) return nullptr;
  fake().use(clazz, "NewObjectArray");
  if (initial != nullptr) fake().violations.push_back("NewObjectArray with an initial element");
  if (fake().fails("NewObjectArray") || length < 0) {
    fake().raise("java/lang/OutOfMemoryError");
    return nullptr;
  }
  FakeJni::Object array{FakeJni::Object::ObjectArray, "", {}, {}};
  array.elements.resize(static_cast<size_t>(length));
  return static_cast<jobjectArray>(fake().make(array));
}

void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
  if (!fake().enter("SetObjectArrayElement " + std::to_string(index))) return;
  FakeJni::Object* target = fake().use(array, "SetObjectArrayElement");
  FakeJni::Object* element = fake().use(value, "SetObjectArrayElement");
  if (target == nullptr || element == nullptr) return;
  if (index < 0 || static_cast<size_t>(index) >= target->elements.size()) {
    fake().raise("java/lang/ArrayIndexOutOfBoundsException");
    return;
  }
  target->elements[static_cast<size_t>(index)] = element->chars;
}

void JNICALL deleteLocalRef(JNIEnv*, jobject reference) {
  fake().enter("DeleteLocalRef", true);
  if (reference == nullptr) return;
  FakeJni::Object* object = fake().use(reference, "DeleteLocalRef");
  if (object != nullptr) object->deleted = true;
}

jobject JNICALL callStaticObjectMethodA(JNIEnv*, jclass clazz, jmethodID id, const jvalue* args) {
  fake().use(clazz, "CallStaticObjectMethodA");
  const FakeJni::Method& method = fake().methodOf(id);
  const std::string key = method.className + "." + method.name;
  std::string call = "CallStaticObjectMethodA " + key;
  // LauncherHelper.checkAndLoadMain(boolean, int, String): loads the class of
  // the dotted name (in mode 3, "module/class", the part after the "/"), or
  // gives null when FindClass would not find it.
  FakeJni::Object* name = fake().use(args[2].l, "CallStaticObjectMethodA");
  std::string dotted = name != nullptr ? narrow(name->chars) : "?";
  call += "(" + std::string(args[0].z ? "true" : "false") + ", " + std::to_string(args[1].i) + ", " + dotted + ")";
  if (!fake().enter(call)) return nullptr;
  auto thrown = fake().throwing.find(key);
  if (thrown != fake().throwing.end()) {
    fake().raise(thrown->second);
    return nullptr;
  }
  std::string slashed = dotted;
  if (args[1].i == 3) slashed = slashed.find('/') == std::string::npos ? "" : slashed.substr(slashed.find('/') + 1);
  for (char& c : slashed) {
    if (c == '.') c = '/';
  }
  if (fake().classes.count(slashed) == 0) return nullptr;
  return fake().make({FakeJni::Object::Class, slashed, {}, {}});
}

void JNICALL callStaticVoidMethodA(JNIEnv*, jclass clazz, jmethodID id, const jvalue* args) {
  fake().use(clazz, "CallStaticVoidMethodA");
  const FakeJni::Method& method = fake().methodOf(id);
  const std::string key = method.className + "." + method.name;
  std::string call = "CallStaticVoidMethodA " + key;
  if (key == "java/lang/System.exit") call += "(" + std::to_string(args[0].i) + ")";
  if (!fake().enter(call)) return;
  auto thrown = fake().throwing.find(key);
  if (method.name != "main") {
    if (thrown != fake().throwing.end()) fake().raise(thrown->second);
    return;
  }
  fake().mainCalled = true;
  if (args[0].l == nullptr) {
    fake().mainArgumentsNull = true;
  } else if (FakeJni::Object* array = fake().use(args[0].l, "CallStaticVoidMethodA")) {
    for (const auto& element : array->elements) fake().mainArguments.push_back(element.value_or(u"<null>"));
  }
  if (thrown != fake().throwing.end()) fake().raise(thrown->second);
}

std::string instanceCall(const char* function, jobject self, jmethodID id) {
  fake().use(self, function);
  const FakeJni::Method& method = fake().methodOf(id);
  return method.className + "." + method.name;
}

bool throwsInstead(const std::string& key) {
  auto thrown = fake().throwing.find(key);
  if (thrown == fake().throwing.end()) return false;
  fake().raise(thrown->second);
  return true;
}

void JNICALL callVoidMethodA(JNIEnv*, jobject self, jmethodID id, const jvalue* args) {
  const std::string key = instanceCall("CallVoidMethodA", self, id);
  if (!fake().enter("CallVoidMethodA " + key) || throwsInstead(key)) return;
  FakeJni::Object* throwable = fake().use(self, "CallVoidMethodA");
  FakeJni::Object* printer = fake().use(args[0].l, "CallVoidMethodA");
  if (key != "java/lang/Throwable.printStackTrace" || throwable == nullptr || printer == nullptr ||
      printer->target == nullptr) {
    fake().violations.push_back("CallVoidMethodA " + key + " on objects it does not take");
    return;
  }
  printer->target->chars += std::u16string(throwable->name.begin(), throwable->name.end()) + u"\n";
}

jobject JNICALL callObjectMethodA(JNIEnv*, jobject self, jmethodID id, const jvalue*) {
  const std::string key = instanceCall("CallObjectMethodA", self, id);
  if (!fake().enter("CallObjectMethodA " + key) || throwsInstead(key)) return nullptr;
  FakeJni::Object* writer = fake().use(self, "CallObjectMethodA");
  if (key != "java/io/StringWriter.toString" || writer == nullptr) {
    fake().violations.push_back("CallObjectMethodA " + key + " on an object it does not take");
    return nullptr;
  }
  return fake().make({FakeJni::Object::String, "", writer->chars, {}});
}

jsize JNICALL getStringLength(JNIEnv*, jstring string) {
  if (!fake().enter("GetStringLength")) return 0;
  FakeJni::Object* object = fake().use(string, "GetStringLength");
  return object != nullptr ? static_cast<jsize>(object->chars.size()) : 0;
}

void JNICALL getStringRegion(JNIEnv*, jstring string, jsize start, jsize length, jchar* buffer) {
  if (!fake().enter("GetStringRegion")) return;
  FakeJni::Object* object = fake().use(string, "GetStringRegion");
  if (object == nullptr) return;
  if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > object->chars.size()) {
    fake().raise("java/lang/StringIndexOutOfBoundsException");
    return;
  }
  for (jsize i = 0; i < length; ++i) buffer[i] = object->chars[static_cast<size_t>(start + i)];
}

jint JNICALL throwException(JNIEnv*, jthrowable throwable) {
  FakeJni::Object* object = fake().use(throwable, "Throw");
  const std::string name = object != nullptr ? object->name : "?";
  if (!fake().enter("Throw " + name)) return JNI_ERR;
  fake().raise(name);
  return JNI_OK;
}

const char* JNICALL getStringUtfChars(JNIEnv*, jstring string, jboolean* isCopy) {
  if (!fake().enter("GetStringUTFChars")) return nullptr;
  FakeJni::Object* object = fake().use(string, "GetStringUTFChars");
  if (object == nullptr) return nullptr;
  if (fake().fails("GetStringUTFChars")) {
    fake().raise("java/lang/OutOfMemoryError");
    return nullptr;
  }
  std::string bytes = modifiedUtf8(object->chars);
  char* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
  std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
  ++fake().utfBuffers;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  fake().calls.back() += " " + bytes;
  return copy;
}

void JNICALL releaseStringUtfChars(JNIEnv*, jstring string, const char* bytes) {
  fake().enter("ReleaseStringUTFChars", true);
  fake().use(string, "ReleaseStringUTFChars");
  --fake().utfBuffers;
  std::free(const_cast<char*>(bytes));
}

jthrowable JNICALL exceptionOccurred(JNIEnv*) {
  fake().enter("ExceptionOccurred", true);
  if (!fake().exceptionPending()) return nullptr;
  return static_cast<jthrowable>(fake().make({FakeJni::Object::Throwable, fake().pending(), {}, {}}));
}

jboolean JNICALL exceptionCheck(JNIEnv*) {
  fake().enter("ExceptionCheck", true);
  return fake().exceptionPending() ? JNI_TRUE : JNI_FALSE;
}

// Prints one line for the pending exception, as the VM prints its trace.
void JNICALL exceptionDescribe(JNIEnv*) {
  fake().enter("ExceptionDescribe", true);
  if (!fake().exceptionPending()) return;
  writeStandardOutput(L"[exception " + std::wstring(fake().pending().begin(), fake().pending().end()) + L"]\n");
  fake().clearPending();
}

void JNICALL exceptionClear(JNIEnv*) {
  fake().enter("ExceptionClear", true);
  fake().clearPending();
}

// The calling thread becomes the fake's, anew after a detach.
jint JNICALL attachCurrentThread(JavaVM*, void** env, void* arguments) {
  fake().calls.push_back(std::string("AttachCurrentThread") + (arguments != nullptr ? " with arguments" : ""));
  if (fake().attachResult != JNI_OK) return fake().attachResult;
  fake().detached = false;
  *env = fake().env();
  return JNI_OK;
}

jint JNICALL detachCurrentThread(JavaVM*) {
  std::string call = "DetachCurrentThread";
  if (fake().exceptionPending()) call += " (" + fake().pending() + " pending)";
  fake().enter(call, true);
  fake().liveReferencesAtDetach = fake().liveReferences();
  fake().utfBuffersAtDetach = fake().utfBuffers;
  if (fake().detachResult == JNI_OK) fake().detached = true;
  return fake().detachResult;
}

jint JNICALL destroyJavaVm(JavaVM*) {
  fake().calls.push_back("DestroyJavaVM");
  return JNI_OK;
}

}  // namespace

FakeJni::FakeJni() : previous_(activeFake) {
  functions_.FindClass = &findClass;
  functions_.GetMethodID = &getMethodId;
  functions_.GetStaticMethodID = &getStaticMethodId;
  functions_.NewObjectA = &newObjectA;
  functions_.NewCharArray = &newCharArray;
  functions_.SetCharArrayRegion = &setCharArrayRegion;
  functions_.NewObjectArray = &newObjectArray;
  functions_.SetObjectArrayElement = &setObjectArrayElement;
  functions_.DeleteLocalRef = &deleteLocalRef;
  functions_.CallStaticObjectMethodA = &callStaticObjectMethodA;
  functions_.CallStaticVoidMethodA = &callStaticVoidMethodA;
  functions_.CallVoidMethodA = &callVoidMethodA;
  functions_.CallObjectMethodA = &callObjectMethodA;
  functions_.GetStringLength = &getStringLength;
  functions_.GetStringRegion = &getStringRegion;
  functions_.Throw = &throwException;
  functions_.GetStringUTFChars = &getStringUtfChars;
  functions_.ReleaseStringUTFChars = &releaseStringUtfChars;
  functions_.ExceptionOccurred = &exceptionOccurred;
  functions_.ExceptionCheck = &exceptionCheck;
  functions_.ExceptionDescribe = &exceptionDescribe;
  functions_.ExceptionClear = &exceptionClear;
  invoke_.AttachCurrentThread = &attachCurrentThread;
  invoke_.DetachCurrentThread = &detachCurrentThread;
  invoke_.DestroyJavaVM = &destroyJavaVm;
  env_.functions = &functions_;
  vm_.functions = &invoke_;
  activeFake = this;
}

FakeJni::~FakeJni() { activeFake = previous_; }

FakeJni& FakeJni::active() { return *activeFake; }

bool FakeJni::enter(const std::string& call, bool exceptionSafe) {
  calls.push_back(call);
  if (detached) violations.push_back(call + " after the detach");
  if (!exceptionSafe && exceptionPending()) {
    violations.push_back(call + " with " + pending_ + " pending");
    return false;
  }
  return true;
}

bool FakeJni::fails(const std::string& call) const {
  return failing.count(call) != 0 || failing.count(call.substr(0, call.find(' '))) != 0;
}

jobject FakeJni::make(Object object) {
  objects_.push_back(std::move(object));
  return reinterpret_cast<jobject>(&objects_.back());
}

FakeJni::Object* FakeJni::use(jobject reference, const char* call) {
  if (reference == nullptr) return nullptr;
  for (Object& object : objects_) {
    if (reinterpret_cast<jobject>(&object) != reference) continue;
    if (object.deleted) {
      violations.push_back(std::string(call) + " on a deleted reference");
      return nullptr;
    }
    return &object;
  }
  violations.push_back(std::string(call) + " on an unknown reference");
  return nullptr;
}

jmethodID FakeJni::method(const std::string& className, const std::string& name, const std::string& signature) {
  methods_.push_back({className, name, signature});
  return reinterpret_cast<jmethodID>(&methods_.back());
}

const FakeJni::Method& FakeJni::methodOf(jmethodID id) const { return *reinterpret_cast<const Method*>(id); }

std::vector<std::string> FakeJni::mainCalls() const {
  static const std::set<std::string> kHidden = {"NewCharArray", "SetCharArrayRegion",
                                                "NewObjectA", "NewObjectArray", "SetObjectArrayElement",
                                                "DeleteLocalRef", "ExceptionCheck"};
  std::vector<std::string> kept;
  for (const std::string& call : calls) {
    const bool stringStep =
        call == "FindClass java/lang/String" || call == "GetMethodID java/lang/String.<init> ([C)V";
    if (stringStep || kHidden.count(call.substr(0, call.find(' '))) != 0) continue;
    kept.push_back(call);
  }
  return kept;
}

int FakeJni::liveReferences() const {
  int live = 0;
  for (const Object& object : objects_) live += object.deleted ? 0 : 1;
  return live;
}

std::u16string FakeJni::stringValue(jobject string) const {
  for (const Object& object : objects_) {
    if (reinterpret_cast<const void*>(&object) == string) return object.chars;
  }
  return u"<unknown>";
}

// The JDK 1.1 initialisation record, up to the field the launcher reads.
struct Jdk11InitArgsHead {
  jint version;
  char** properties;
  jint checkSource;
  jint nativeStackSize;
  jint javaStackSize;
};

jint JNICALL fakeCreateJavaVm(JavaVM** vm, void** env, void* args) {
  FakeJni& f = fake();
  f.calls.push_back("JNI_CreateJavaVM");
  f.createThread = std::this_thread::get_id();
  const auto* initArgs = static_cast<const JavaVMInitArgs*>(args);
  f.createdWithVersion = initArgs->version;
  f.createdWithIgnoreUnrecognized = initArgs->ignoreUnrecognized;
  for (jint i = 0; i < initArgs->nOptions; ++i) {
    f.createdWithOptions.push_back({initArgs->options[i].optionString, initArgs->options[i].extraInfo});
  }
  if (f.onCreate) f.onCreate();
  if (f.createResult != JNI_OK) {
    if (f.rubbishOnRefusal) {
      *vm = reinterpret_cast<JavaVM*>(0x1);
      *env = reinterpret_cast<void*>(0x1);
    }
    return f.createResult;
  }
  *vm = f.vm();
  *env = f.env();
  return JNI_OK;
}

jint JNICALL fakeDefaultInitArgs(void* args) {
  auto* initArgs = static_cast<Jdk11InitArgsHead*>(args);
  fake().calls.push_back("JNI_GetDefaultJavaVMInitArgs");
  fake().defaultInitArgsVersion = initArgs->version;
  if (initArgs->version != JNI_VERSION_1_1) return JNI_EVERSION;
  initArgs->javaStackSize = fake().defaultJavaStackSize;
  return JNI_OK;
}

jclass JNICALL fakeFindClassFromBootLoader(JNIEnv*, const char* name) {
  if (!fake().enter(std::string("JVM_FindClassFromBootLoader ") + name)) return nullptr;
  if (fake().bootClasses.count(name) == 0) return nullptr;
  return static_cast<jclass>(fake().make({FakeJni::Object::Class, name, {}, {}}));
}

}  // namespace tarn::test
