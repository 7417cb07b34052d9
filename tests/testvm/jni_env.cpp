// The JNIEnv functions the launcher may use. Every other slot of the table
// ends the process (unexpected_slots.cpp).
#include <cstdarg>

#include "java_world.h"
#include "unexpected_slots.h"
#include "vm_log.h"

namespace tarn::testvm {

namespace {

std::set<char*>& outstandingUtfChars() {
  static std::set<char*> chars;
  return chars;
}

// The type letters of a method's parameters (L for every reference type),
// and its return type letter.
std::vector<char> parameterTypes(const std::string& signature) {
  std::vector<char> types;
  size_t i = 1;
  while (i < signature.size() && signature[i] != ')') {
    char type = signature[i];
    while (signature[i] == '[') ++i;
    if (signature[i] == 'L') i = signature.find(';', i);
    if (i == std::string::npos) break;
    ++i;
    types.push_back(type == '[' ? 'L' : type);
  }
  return types;
}

char returnType(const std::string& signature) {
  size_t close = signature.find(')');
  if (close == std::string::npos || close + 1 >= signature.size()) return '?';
  char type = signature[close + 1];
  return type == '[' ? 'L' : type;
}

std::vector<jvalue> argumentsFrom(Method* method, va_list list) {
  std::vector<jvalue> arguments;
  for (char type : parameterTypes(method->signature)) {
    jvalue value{};
    switch (type) {
      // Variadic arguments narrower than int arrive as int, float as double.
      case 'Z': value.z = static_cast<jboolean>(va_arg(list, int)); break;
      case 'B': value.b = static_cast<jbyte>(va_arg(list, int)); break;
      case 'C': value.c = static_cast<jchar>(va_arg(list, int)); break;
      case 'S': value.s = static_cast<jshort>(va_arg(list, int)); break;
      case 'I': value.i = static_cast<jint>(va_arg(list, int)); break;
      case 'J': value.j = va_arg(list, long long); break;
      case 'F': value.f = static_cast<jfloat>(va_arg(list, double)); break;
      case 'D': value.d = va_arg(list, double); break;
      default: value.l = va_arg(list, jobject); break;
    }
    arguments.push_back(value);
  }
  return arguments;
}

std::vector<jvalue> argumentsFrom(Method* method, const jvalue* array) {
  size_t count = parameterTypes(method->signature).size();
  if (count > 0 && array == nullptr) fail(kMisuse, method->name + ": a null argument array");
  return std::vector<jvalue>(array, array + count);
}

std::string renderArguments(Method* method, const std::vector<jvalue>& arguments, const char* function) {
  std::vector<char> types = parameterTypes(method->signature);
  std::string text = "(";
  for (size_t i = 0; i < types.size(); ++i) {
    if (i > 0) text += ", ";
    const jvalue& value = arguments[i];
    switch (types[i]) {
      case 'Z': text += value.z ? "true" : "false"; break;
      case 'B': text += std::to_string(value.b); break;
      case 'C': text += std::to_string(value.c); break;
      case 'S': text += std::to_string(value.s); break;
      case 'I': text += std::to_string(value.i); break;
      case 'J': text += std::to_string(value.j); break;
      case 'F': text += std::to_string(value.f); break;
      case 'D': text += std::to_string(value.d); break;
      default: text += describe(resolve(value.l, function)); break;
    }
  }
  return text + ")";
}

// A real VM tolerates only a few calls while an exception is pending; the
// others are noted so a log shows where it happened.
void notePending(ThreadState& thread, const char* function) {
  if (thread.pending != nullptr) {
    logLine(std::string("warning: ") + function + " called with " + thread.pending->name + " pending");
  }
}

jobject newObjectWith(JNIEnv* env, jclass type, jmethodID id, const char* function, bool fromList, va_list list,
                      const jvalue* array) {
  ThreadState& thread = threadOf(env, function);
  notePending(thread, function);
  Object* owner = resolveKind(type, Kind::Class, function, "a class");
  Method* method = resolveMethod(id, function);
  if (method->name != "<init>" || method->owner != owner) {
    fail(kMisuse, std::string(function) + ": " + method->owner->name + "." + method->name +
                      " is not a constructor of " + owner->name);
  }
  std::vector<jvalue> arguments = fromList ? argumentsFrom(method, list) : argumentsFrom(method, array);
  Object* created = nullptr;
  invoke(thread, method, arguments, &created);
  // A constructor that throws gives null, the exception pending.
  if (thread.pending != nullptr) return nullptr;
  return newRef(created);
}

jvalue callStaticWith(JNIEnv* env, jclass type, jmethodID id, const char* function, char expected, bool fromList,
                      va_list list, const jvalue* array) {
  ThreadState& thread = threadOf(env, function);
  notePending(thread, function);
  Object* owner = resolveKind(type, Kind::Class, function, "a class");
  Method* method = resolveMethod(id, function);
  if (!method->isStatic || method->owner != owner) {
    fail(kMisuse, std::string(function) + ": " + method->owner->name + "." + method->name +
                      " is not a static method of " + owner->name);
  }
  char returns = returnType(method->signature);
  if (returns != expected) {
    fail(kMisuse, std::string(function) + " used for " + method->name + method->signature);
  }
  std::vector<jvalue> arguments = fromList ? argumentsFrom(method, list) : argumentsFrom(method, array);
  std::string name = owner->name + "." + method->name;
  logLine("call " + name + method->signature + " " + renderArguments(method, arguments, function));
  Object* created = nullptr;
  jvalue result = invoke(thread, method, arguments, &created);
  if (returns == 'L') result.l = newRef(created);
  std::string returned = "return " + name;
  if (returns == 'L') returned += " -> " + describe(created);
  if (returns == 'I') returned += " -> " + std::to_string(result.i);
  if (thread.pending != nullptr) returned += ", " + thread.pending->name + " pending";
  logLine(returned);
  return result;
}

// Whether an instance method of the built-in classes may be called on `self`.
bool receives(Object* self, Method* method) {
  switch (method->behaviour) {
    case Behaviour::StringWriterToString: return self->kind == Kind::StringWriter;
    case Behaviour::PrintStackTrace:
    case Behaviour::ThrowableToString: return self->kind == Kind::Throwable;
    // A JarFile, Manifest or Attributes receives the methods of its own class.
    case Behaviour::JarFileGetManifest:
    case Behaviour::JarFileClose:
    case Behaviour::ManifestMainAttributes:
    case Behaviour::AttributesGetValue: return self->kind == Kind::JarPart && self->name == method->owner->name;
    default: return false;
  }
}

// Only the array forms: the launcher has no other use for instance calls.
jvalue callInstanceWith(JNIEnv* env, jobject receiver, jmethodID id, const char* function, char expected,
                        const jvalue* array) {
  ThreadState& thread = threadOf(env, function);
  notePending(thread, function);
  Object* self = resolve(receiver, function);
  Method* method = resolveMethod(id, function);
  if (self == nullptr) {
    throwNew(thread, "java/lang/NullPointerException", u"", false);
    return jvalue{};
  }
  if (method->isStatic || method->name == "<init>" || !receives(self, method)) {
    fail(kMisuse, std::string(function) + ": " + method->owner->name + "." + method->name +
                      " is not an instance method of " + describe(self));
  }
  char returns = returnType(method->signature);
  if (returns != expected) {
    fail(kMisuse, std::string(function) + " used for " + method->name + method->signature);
  }
  std::vector<jvalue> arguments = argumentsFrom(method, array);
  std::string name = method->owner->name + "." + method->name;
  logLine("call " + name + method->signature + " on " + describe(self) + " " +
          renderArguments(method, arguments, function));
  Object* created = nullptr;
  jvalue result = invoke(thread, method, arguments, &created, self);
  if (returns == 'L') result.l = newRef(created);
  std::string returned = "return " + name;
  if (returns == 'L') returned += " -> " + describe(created);
  if (thread.pending != nullptr) returned += ", " + thread.pending->name + " pending";
  logLine(returned);
  return result;
}

jclass JNICALL jniFindClass(JNIEnv* env, const char* name) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "FindClass");
  notePending(thread, "FindClass");
  if (name == nullptr) fail(kMisuse, "FindClass: a null name");
  std::string className(name);
  Object* found = findClass(className);
  logLine("FindClass " + escapeNarrow(className) + (found ? "" : " -> not found"));
  if (found == nullptr) {
    throwNew(thread, "java/lang/NoClassDefFoundError", utf16(className), true,
             {"Caused by: java.lang.ClassNotFoundException: " + dotted(className)});
    return nullptr;
  }
  return static_cast<jclass>(newRef(found));
}

jmethodID lookUpMethod(JNIEnv* env, jclass type, const char* name, const char* signature, bool isStatic,
                       const char* function) {
  ThreadState& thread = threadOf(env, function);
  notePending(thread, function);
  Object* owner = resolveKind(type, Kind::Class, function, "a class");
  if (name == nullptr || signature == nullptr) fail(kMisuse, std::string(function) + ": a null name or signature");
  Method* method = findMethod(owner, name, signature, isStatic);
  logLine(std::string(function) + " " + owner->name + " " + escapeNarrow(name) + " " + escapeNarrow(signature) +
          (method ? "" : " -> not found"));
  if (method == nullptr && scenario().lookupThrows) {
    throwNew(thread, "java/lang/NoSuchMethodError", utf16(std::string(name)), true);
  }
  return reinterpret_cast<jmethodID>(method);
}

jmethodID JNICALL getMethodId(JNIEnv* env, jclass type, const char* name, const char* signature) {
  VmLock lock;
  return lookUpMethod(env, type, name, signature, false, "GetMethodID");
}

jmethodID JNICALL getStaticMethodId(JNIEnv* env, jclass type, const char* name, const char* signature) {
  VmLock lock;
  return lookUpMethod(env, type, name, signature, true, "GetStaticMethodID");
}

jobject JNICALL newObject(JNIEnv* env, jclass type, jmethodID id, ...) {
  VmLock lock;
  va_list list;
  va_start(list, id);
  jobject result = newObjectWith(env, type, id, "NewObject", true, list, nullptr);
  va_end(list);
  return result;
}

jobject JNICALL newObjectV(JNIEnv* env, jclass type, jmethodID id, va_list list) {
  VmLock lock;
  return newObjectWith(env, type, id, "NewObjectV", true, list, nullptr);
}

jobject JNICALL newObjectA(JNIEnv* env, jclass type, jmethodID id, const jvalue* array) {
  VmLock lock;
  va_list none{};
  return newObjectWith(env, type, id, "NewObjectA", false, none, array);
}

jobject JNICALL callStaticObjectMethod(JNIEnv* env, jclass type, jmethodID id, ...) {
  VmLock lock;
  va_list list;
  va_start(list, id);
  jvalue result = callStaticWith(env, type, id, "CallStaticObjectMethod", 'L', true, list, nullptr);
  va_end(list);
  return result.l;
}

jobject JNICALL callStaticObjectMethodV(JNIEnv* env, jclass type, jmethodID id, va_list list) {
  VmLock lock;
  return callStaticWith(env, type, id, "CallStaticObjectMethodV", 'L', true, list, nullptr).l;
}

jobject JNICALL callStaticObjectMethodA(JNIEnv* env, jclass type, jmethodID id, const jvalue* array) {
  VmLock lock;
  va_list none{};
  return callStaticWith(env, type, id, "CallStaticObjectMethodA", 'L', false, none, array).l;
}

void JNICALL callStaticVoidMethod(JNIEnv* env, jclass type, jmethodID id, ...) {
  VmLock lock;
  va_list list;
  va_start(list, id);
  callStaticWith(env, type, id, "CallStaticVoidMethod", 'V', true, list, nullptr);
  va_end(list);
}

void JNICALL callStaticVoidMethodV(JNIEnv* env, jclass type, jmethodID id, va_list list) {
  VmLock lock;
  callStaticWith(env, type, id, "CallStaticVoidMethodV", 'V', true, list, nullptr);
}

void JNICALL callStaticVoidMethodA(JNIEnv* env, jclass type, jmethodID id, const jvalue* array) {
  VmLock lock;
  va_list none{};
  callStaticWith(env, type, id, "CallStaticVoidMethodA", 'V', false, none, array);
}

jint JNICALL callStaticIntMethod(JNIEnv* env, jclass type, jmethodID id, ...) {
  VmLock lock;
  va_list list;
  va_start(list, id);
  jvalue result = callStaticWith(env, type, id, "CallStaticIntMethod", 'I', true, list, nullptr);
  va_end(list);
  return result.i;
}

jint JNICALL callStaticIntMethodV(JNIEnv* env, jclass type, jmethodID id, va_list list) {
  VmLock lock;
  return callStaticWith(env, type, id, "CallStaticIntMethodV", 'I', true, list, nullptr).i;
}

jint JNICALL callStaticIntMethodA(JNIEnv* env, jclass type, jmethodID id, const jvalue* array) {
  VmLock lock;
  va_list none{};
  return callStaticWith(env, type, id, "CallStaticIntMethodA", 'I', false, none, array).i;
}

jobject JNICALL callObjectMethodA(JNIEnv* env, jobject self, jmethodID id, const jvalue* array) {
  VmLock lock;
  return callInstanceWith(env, self, id, "CallObjectMethodA", 'L', array).l;
}

void JNICALL callVoidMethodA(JNIEnv* env, jobject self, jmethodID id, const jvalue* array) {
  VmLock lock;
  callInstanceWith(env, self, id, "CallVoidMethodA", 'V', array);
}

jsize JNICALL getStringLength(JNIEnv* env, jstring ref) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "GetStringLength");
  notePending(thread, "GetStringLength");
  Object* string = resolveKind(ref, Kind::String, "GetStringLength", "a String");
  logLine("GetStringLength -> " + std::to_string(string->text.size()));
  return static_cast<jsize>(string->text.size());
}

void JNICALL getStringRegion(JNIEnv* env, jstring ref, jsize start, jsize length, jchar* buffer) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "GetStringRegion");
  notePending(thread, "GetStringRegion");
  Object* string = resolveKind(ref, Kind::String, "GetStringRegion", "a String");
  if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > string->text.size()) {
    logLine("GetStringRegion " + std::to_string(start) + "+" + std::to_string(length) + " out of bounds");
    throwNew(thread, "java/lang/StringIndexOutOfBoundsException", u"", false);
    return;
  }
  if (length > 0 && buffer == nullptr) fail(kMisuse, "GetStringRegion: a null buffer");
  for (jsize i = 0; i < length; ++i) buffer[i] = string->text[static_cast<size_t>(start + i)];
  logLine("GetStringRegion " + std::to_string(start) + "+" + std::to_string(length));
}

jint JNICALL throwException(JNIEnv* env, jthrowable ref) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "Throw");
  Object* throwable = resolveKind(ref, Kind::Throwable, "Throw", "a Throwable");
  logLine("Throw " + describe(throwable));
  thread.pending = throwable;
  return JNI_OK;
}

jcharArray JNICALL newCharArray(JNIEnv* env, jsize length) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "NewCharArray");
  notePending(thread, "NewCharArray");
  logLine("new char[" + std::to_string(length) + "]");
  if (length < 0) {
    throwNew(thread, "java/lang/NegativeArraySizeException", utf16(std::to_string(length)), true);
    return nullptr;
  }
  Object* array = newObject(Kind::CharArray);
  array->text.assign(static_cast<size_t>(length), u'\0');
  return static_cast<jcharArray>(newRef(array));
}

void JNICALL setCharArrayRegion(JNIEnv* env, jcharArray ref, jsize start, jsize length, const jchar* buffer) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "SetCharArrayRegion");
  notePending(thread, "SetCharArrayRegion");
  Object* array = resolveKind(ref, Kind::CharArray, "SetCharArrayRegion", "a char[]");
  if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > array->text.size()) {
    logLine("char[" + std::to_string(array->text.size()) + "] region " + std::to_string(start) + "+" +
            std::to_string(length) + " out of bounds");
    throwNew(thread, "java/lang/ArrayIndexOutOfBoundsException", u"", false);
    return;
  }
  if (length > 0 && buffer == nullptr) fail(kMisuse, "SetCharArrayRegion: a null buffer");
  for (jsize i = 0; i < length; ++i) array->text[static_cast<size_t>(start + i)] = static_cast<char16_t>(buffer[i]);
  logLine("char[" + std::to_string(array->text.size()) + "] region " + std::to_string(start) + "+" +
          std::to_string(length) + " = " + quoted(array->text.substr(static_cast<size_t>(start), length)));
}

jobjectArray JNICALL newObjectArray(JNIEnv* env, jsize length, jclass type, jobject initial) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "NewObjectArray");
  notePending(thread, "NewObjectArray");
  Object* elementClass = resolveKind(type, Kind::Class, "NewObjectArray", "a class");
  Object* first = resolve(initial, "NewObjectArray");
  logLine("new " + elementClass->name + "[" + std::to_string(length) + "]");
  if (length < 0) {
    throwNew(thread, "java/lang/NegativeArraySizeException", utf16(std::to_string(length)), true);
    return nullptr;
  }
  Object* array = newObject(Kind::ObjectArray);
  array->elementClass = elementClass;
  array->elements.assign(static_cast<size_t>(length), first);
  return static_cast<jobjectArray>(newRef(array));
}

void JNICALL setObjectArrayElement(JNIEnv* env, jobjectArray ref, jsize index, jobject value) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "SetObjectArrayElement");
  notePending(thread, "SetObjectArrayElement");
  Object* array = resolveKind(ref, Kind::ObjectArray, "SetObjectArrayElement", "an array");
  Object* element = resolve(value, "SetObjectArrayElement");
  std::string target = array->elementClass->name + "[" + std::to_string(index) + "]";
  if (index < 0 || static_cast<size_t>(index) >= array->elements.size()) {
    logLine(target + " out of bounds");
    throwNew(thread, "java/lang/ArrayIndexOutOfBoundsException", utf16(std::to_string(index)), true);
    return;
  }
  if (element != nullptr && array->elementClass->name == "java/lang/String" && element->kind != Kind::String) {
    logLine(target + " = " + describe(element) + " -> wrong type");
    throwNew(thread, "java/lang/ArrayStoreException", u"", false);
    return;
  }
  array->elements[static_cast<size_t>(index)] = element;
  logLine(target + " = " + describe(element));
}

void JNICALL deleteLocalRef(JNIEnv* env, jobject ref) {
  VmLock lock;
  threadOf(env, "DeleteLocalRef");
  logLine("DeleteLocalRef " + describe(resolve(ref, "DeleteLocalRef")));
  deleteRef(ref, "DeleteLocalRef");
}

// Modified UTF-8: U+0000 as two bytes, each surrogate as three bytes.
std::string modifiedUtf8(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit != 0 && unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

const char* JNICALL getStringUtfChars(JNIEnv* env, jstring ref, jboolean* isCopy) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "GetStringUTFChars");
  notePending(thread, "GetStringUTFChars");
  Object* string = resolveKind(ref, Kind::String, "GetStringUTFChars", "a String");
  std::string bytes = modifiedUtf8(string->text);
  char* copy = new char[bytes.size() + 1];
  std::copy(bytes.begin(), bytes.end(), copy);
  copy[bytes.size()] = '\0';
  outstandingUtfChars().insert(copy);
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  logLine("GetStringUTFChars " + quoted(string->text));
  return copy;
}

void JNICALL releaseStringUtfChars(JNIEnv* env, jstring ref, const char* chars) {
  VmLock lock;
  threadOf(env, "ReleaseStringUTFChars");
  Object* string = resolveKind(ref, Kind::String, "ReleaseStringUTFChars", "a String");
  char* owned = const_cast<char*>(chars);
  if (outstandingUtfChars().erase(owned) == 0) {
    fail(kMisuse, "ReleaseStringUTFChars: chars that GetStringUTFChars did not hand out, or released twice");
  }
  delete[] owned;
  logLine("ReleaseStringUTFChars " + quoted(string->text));
}

jthrowable JNICALL exceptionOccurred(JNIEnv* env) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "ExceptionOccurred");
  logLine(std::string("ExceptionOccurred -> ") + (thread.pending ? thread.pending->name : "none"));
  return static_cast<jthrowable>(newRef(thread.pending));
}

void JNICALL exceptionDescribe(JNIEnv* env) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "ExceptionDescribe");
  logLine(std::string("ExceptionDescribe ") + (thread.pending ? thread.pending->name : "none"));
  Object* pending = thread.pending;
  if (pending == nullptr) return;
  thread.pending = nullptr;
  // As HotSpot does: the thread's name goes to the VM's own error stream,
  // the stack trace through System.err.
  writeProcessStream(STD_ERROR_HANDLE, "Exception in thread \"" + thread.name + "\" ");
  printStackTrace(pending);
}

// Not among the calls the launcher was planned to make (it tests with
// ExceptionOccurred), but plain JNI 1.2 without side effects.
jboolean JNICALL exceptionCheck(JNIEnv* env) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "ExceptionCheck");
  logLine(std::string("ExceptionCheck -> ") + (thread.pending ? thread.pending->name : "none"));
  return thread.pending != nullptr ? JNI_TRUE : JNI_FALSE;
}

void JNICALL exceptionClear(JNIEnv* env) {
  VmLock lock;
  ThreadState& thread = threadOf(env, "ExceptionClear");
  logLine(std::string("ExceptionClear ") + (thread.pending ? thread.pending->name : "none"));
  thread.pending = nullptr;
}

JNINativeInterface_ makeTable() {
  JNINativeInterface_ table;
  fillUnexpected(table);
  table.FindClass = jniFindClass;
  table.GetMethodID = getMethodId;
  table.GetStaticMethodID = getStaticMethodId;
  table.NewObject = newObject;
  table.NewObjectV = newObjectV;
  table.NewObjectA = newObjectA;
  table.NewCharArray = newCharArray;
  table.SetCharArrayRegion = setCharArrayRegion;
  table.NewObjectArray = newObjectArray;
  table.SetObjectArrayElement = setObjectArrayElement;
  table.DeleteLocalRef = deleteLocalRef;
  table.CallStaticObjectMethod = callStaticObjectMethod;
  table.CallStaticObjectMethodV = callStaticObjectMethodV;
  table.CallStaticObjectMethodA = callStaticObjectMethodA;
  table.CallStaticVoidMethod = callStaticVoidMethod;
  table.CallStaticVoidMethodV = callStaticVoidMethodV;
  table.CallStaticVoidMethodA = callStaticVoidMethodA;
  table.CallObjectMethodA = callObjectMethodA;
  table.CallVoidMethodA = callVoidMethodA;
  table.GetStringLength = getStringLength;
  table.GetStringRegion = getStringRegion;
  table.Throw = throwException;
  table.CallStaticIntMethod = callStaticIntMethod;
  table.CallStaticIntMethodV = callStaticIntMethodV;
  table.CallStaticIntMethodA = callStaticIntMethodA;
  table.GetStringUTFChars = getStringUtfChars;
  table.ReleaseStringUTFChars = releaseStringUtfChars;
  table.ExceptionOccurred = exceptionOccurred;
  table.ExceptionDescribe = exceptionDescribe;
  table.ExceptionClear = exceptionClear;
  table.ExceptionCheck = exceptionCheck;
  return table;
}

}  // namespace

const JNINativeInterface_* jniFunctions() {
  static const JNINativeInterface_ table = makeTable();
  return &table;
}

}  // namespace tarn::testvm
