#include "run/main_class.h"

#include <cstdint>
#include <limits>

#include "base/text.h"
#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {
namespace {

constexpr jchar kReplacementUnit = 0xFFFD;
constexpr size_t kMaxJavaLength = static_cast<size_t>(std::numeric_limits<jsize>::max());

// Deletes a local reference this file created when it goes out of scope.
// Allowed with an exception pending, so it is safe on every path.
class LocalReference {
 public:
  LocalReference(JNIEnv* env, jobject reference) : env_(env), reference_(reference) {}
  ~LocalReference() {
    if (reference_ != nullptr) env_->DeleteLocalRef(reference_);
  }
  LocalReference(const LocalReference&) = delete;
  LocalReference& operator=(const LocalReference&) = delete;

 private:
  JNIEnv* env_;
  jobject reference_;
};

std::wstring fromJavaCodeUnits(const std::vector<jchar>& units) {
  std::wstring text;
  text.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t unit = units[i];
    if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() &&
        units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    text += static_cast<wchar_t>(unit);
  }
  return text;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

jclass loadThroughBootLoader(Launcher& launcher) {
  if (launcher.findClassFromBootLoaderEntry == nullptr) return nullptr;
  JNIEnv* env = launcher.jniEnv;
  jclass helper = launcher.findClassFromBootLoaderEntry(env, "sun/launcher/LauncherHelper");
  if (helper == nullptr) return nullptr;
  LocalReference helperReference(env, helper);
  jmethodID checkAndLoadMain =
      env->GetStaticMethodID(helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
  if (checkAndLoadMain == nullptr) return nullptr;
  jstring dottedName = newJavaString(env, replaceAll(launcher.mainClassName, L'/', L'.'));
  if (dottedName == nullptr) return nullptr;
  LocalReference nameReference(env, dottedName);
  jvalue arguments[3];
  arguments[0].z = JNI_TRUE;
  arguments[1].i = 1;
  arguments[2].l = dottedName;
  return static_cast<jclass>(env->CallStaticObjectMethodA(helper, checkAndLoadMain, arguments));
}

jclass loadThroughFindClass(Launcher& launcher) {
  JNIEnv* env = launcher.jniEnv;
  jstring name = newJavaString(env, launcher.mainClassName);
  if (name == nullptr) {
    printError(loadMessage(MessageId::MainClassLoadFailed), launcher.mainClassName);
    return nullptr;
  }
  LocalReference nameReference(env, name);
  // The VM makes the modified UTF-8 that FindClass expects.
  const char* bytes = env->GetStringUTFChars(name, nullptr);
  if (bytes == nullptr) {
    env->ExceptionDescribe();
    return nullptr;
  }
  jclass mainClass = env->FindClass(bytes);
  if (mainClass == nullptr) {
    env->ExceptionDescribe();
    const std::wstring shownName = fromModifiedUtf8(bytes);
    env->ReleaseStringUTFChars(name, bytes);
    printError(loadMessage(MessageId::MainClassNotFound), shownName);
    return nullptr;
  }
  env->ReleaseStringUTFChars(name, bytes);
  return mainClass;
}

jclass loadMainClass(Launcher& launcher) {
  if (jclass mainClass = loadThroughBootLoader(launcher)) return mainClass;
  // A boot-loader route that threw (checkAndLoadMain missing or failing)
  // leaves its exception pending, and FindClass must not run with one pending.
  if (launcher.jniEnv->ExceptionCheck()) launcher.jniEnv->ExceptionClear();
  return loadThroughFindClass(launcher);
}

// The hook of the Failure Check setting. It is shown the exception that the
// main method left pending and always lets the run go on; the exception stays
// pending for the VM to handle when the thread detaches.
void consultFailureHook(JNIEnv* /*env*/, jthrowable /*exception*/) {}

// Steps up to the return of "main"; every local reference made here is gone
// before the thread detaches.
bool callMainMethod(Launcher& launcher) {
  JNIEnv* env = launcher.jniEnv;
  jclass mainClass = loadMainClass(launcher);
  if (mainClass == nullptr) return false;
  LocalReference classReference(env, mainClass);
  jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
  if (main == nullptr) {
    if (env->ExceptionCheck()) {
      env->ExceptionDescribe();
    } else {
      printError(loadMessage(MessageId::MainMethodNotFound));
    }
    return false;
  }
  jobjectArray arguments = newJavaStringArray(env, launcher.arguments);
  if (arguments == nullptr) {
    env->ExceptionDescribe();
    return false;
  }
  LocalReference argumentsReference(env, arguments);
  if (launcher.mainStartedEvent != nullptr) signalMainStarted(launcher.mainStartedEvent);
  jvalue argument;
  argument.l = arguments;
  env->CallStaticVoidMethodA(mainClass, main, &argument);
  // An exception thrown out of main is not the launcher's to report.
  jthrowable exception = env->ExceptionOccurred();
  if (exception != nullptr) {
    if (launcher.failureCheck) consultFailureHook(env, exception);
    env->DeleteLocalRef(exception);
  }
  return true;
}

}  // namespace

std::vector<jchar> javaCodeUnits(const std::wstring& text) {
  std::vector<jchar> units;
  units.reserve(text.size());
  for (wchar_t c : text) {
    uint32_t value = static_cast<uint32_t>(c);
    if (value <= 0xFFFF) {
      units.push_back(static_cast<jchar>(value));
    } else if (value <= 0x10FFFF) {
      value -= 0x10000;
      units.push_back(static_cast<jchar>(0xD800 + (value >> 10)));
      units.push_back(static_cast<jchar>(0xDC00 + (value & 0x3FF)));
    } else {
      units.push_back(kReplacementUnit);
    }
  }
  return units;
}

std::wstring fromModifiedUtf8(const char* bytes) {
  std::vector<jchar> units;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
  while (in[i] != 0) {
    unsigned char lead = in[i];
    if (lead < 0x80) {
      units.push_back(lead);
      i += 1;
    } else if ((lead & 0xE0) == 0xC0 && isContinuation(in[i + 1])) {
      units.push_back(static_cast<jchar>(((lead & 0x1F) << 6) | (in[i + 1] & 0x3F)));
      i += 2;
    } else if ((lead & 0xF0) == 0xE0 && isContinuation(in[i + 1]) && isContinuation(in[i + 2])) {
      units.push_back(static_cast<jchar>(((lead & 0x0F) << 12) | ((in[i + 1] & 0x3F) << 6) | (in[i + 2] & 0x3F)));
      i += 3;
    } else {
      units.push_back(kReplacementUnit);
      i += 1;
    }
  }
  return fromJavaCodeUnits(units);
}

jstring newJavaString(JNIEnv* env, const std::wstring& text) {
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  LocalReference classReference(env, stringClass);
  jmethodID constructor = env->GetMethodID(stringClass, "<init>", "([C)V");
  if (constructor == nullptr) return nullptr;
  const std::vector<jchar> units = javaCodeUnits(text);
  if (units.size() > kMaxJavaLength) return nullptr;
  const jsize length = static_cast<jsize>(units.size());
  jcharArray chars = env->NewCharArray(length);
  if (chars == nullptr) return nullptr;
  LocalReference charsReference(env, chars);
  static const jchar kNoUnits[1] = {0};
  env->SetCharArrayRegion(chars, 0, length, units.empty() ? kNoUnits : units.data());
  if (env->ExceptionCheck()) return nullptr;
  jvalue argument;
  argument.l = chars;
  return static_cast<jstring>(env->NewObjectA(stringClass, constructor, &argument));
}

jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts) {
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  LocalReference classReference(env, stringClass);
  if (texts.size() > kMaxJavaLength) return nullptr;
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), stringClass, nullptr);
  if (array == nullptr) return nullptr;
  for (size_t i = 0; i < texts.size(); ++i) {
    jstring element = newJavaString(env, texts[i]);
    if (element == nullptr) {
      env->DeleteLocalRef(array);
      return nullptr;
    }
    env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
    env->DeleteLocalRef(element);
  }
  return array;
}

bool runMainClassWith(Launcher& launcher, void (*sleepForever)()) {
  const bool mainCalled = callMainMethod(launcher);
  // With IBM runtimes admitted the thread stays: the application ends only
  // through System.exit or from outside.
  if (mainCalled && launcher.ibmRuntimeAdmitted()) {
    sleepForever();
    return false;
  }
  // Also after a failure: a thread that ends still attached would keep the
  // VM's teardown (DestroyJavaVM) waiting for it for ever.
  const bool detached = launcher.javaVm != nullptr && launcher.javaVm->DetachCurrentThread() == JNI_OK;
  return mainCalled && detached;
}

bool Launcher::runMainClass() { return runMainClassWith(*this, &tarn::sleepForever); }

}  // namespace tarn
