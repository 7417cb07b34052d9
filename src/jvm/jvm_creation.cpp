#include "jvm/jvm_creation.h"

#include <vector>

#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/text.h"
#include "base/message_table.h"
#include "jvm/class_data_archive.h"
#include "jni/jvm_hook_listener.h"
#include "jvm/dated_output_files.h"
#include "jvm/output_redirection.h"

namespace tarn {
namespace {

// The JNI 1.1 initialisation record, which today's jni.h no longer declares.
// JNI_GetDefaultJavaVMInitArgs fills it when its version is JNI_VERSION_1_1.
struct Jdk11InitArgs {
  jint version;
  char** properties;
  jint checkSource;
  jint nativeStackSize;
  jint javaStackSize;
  jint minHeapSize;
  jint maxHeapSize;
  jint verifyMode;
  char* classpath;
  void* vfprintfHook;
  void* exitHook;
  void* abortHook;
  jint enableClassGC;
  jint enableVerboseGC;
  jint disableAsyncGC;
  jint verbose;
  jboolean debugging;
  jint debugPort;
};

JvmHookListener* hookListener = nullptr;
JvmExitFollowUp exitFollowUp = nullptr;

bool hasStamp(const std::wstring& name) { return name.find(L'%') != std::wstring::npos; }

void redirect(JNIEnv* env, const std::wstring& file, bool append, StandardStream which) {
  if (file.empty()) return;
  const bool redirected = redirectStream(env, file, append, which);
  if (!redirected && env->ExceptionCheck()) env->ExceptionDescribe();
  if (diagnosing()) {
    diagnose(redirected ? "%s goes to %s, %s" : "%s stays: cannot open %s",
             which == StandardStream::Output ? L"System.out" : L"System.err", file, append ? L"appended" : L"replaced");
  }
}

void diagnoseOptions(const std::vector<JavaVMOption>& options) {
  int32_t number = 0;
  for (const JavaVMOption& option : options) {
    // The bytes as the VM reads them; beyond ASCII each byte is one character.
    std::wstring text;
    for (const char* c = option.optionString; *c != '\0'; ++c) text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    diagnose("VM option %s: %s", decimalText(++number), text);
  }
}

}  // namespace

void setJvmHookListener(JvmHookListener* listener) { hookListener = listener; }

void setJvmExitFollowUp(JvmExitFollowUp followUp) { exitFollowUp = followUp; }

void JNICALL jvmExitHook(jint code) {
  if (diagnosing()) diagnose("exit code %s: System.exit", decimalText(code));
  // The VM has written its archive by now; the process ends when this returns.
  adoptWrittenArchive();
  if (hookListener != nullptr) hookListener->onJvmExit(code);
  if (exitFollowUp != nullptr) exitFollowUp(code);
}

void JNICALL jvmAbortHook() {
  if (hookListener != nullptr) hookListener->onJvmAbort();
}

std::wstring jvmCreationFailureReason(jint result) {
  switch (result) {
    case JNI_ERR: return loadMessage(MessageId::JniErrUnknown);
    case JNI_EDETACHED: return loadMessage(MessageId::JniErrDetached);
    case JNI_EVERSION: return loadMessage(MessageId::JniErrVersion);
    case JNI_ENOMEM: return loadMessage(MessageId::JniErrNoMemory);
    case JNI_EEXIST: return loadMessage(MessageId::JniErrExists);
    case JNI_EINVAL: return loadMessage(MessageId::JniErrInvalid);
    default: return std::wstring();
  }
}

bool createJvm(const JvmEntryPoints& entries, const VmSetup& setup, JavaVM*& vm, JNIEnv*& env) {
  // The VM reads the option texts during the call only; they stay owned by
  // the setup, and the array goes when this function returns.
  std::vector<JavaVMOption> options;
  options.reserve(setup.options.options().size() + 2);
  for (const std::string& option : setup.options.options()) {
    options.push_back(JavaVMOption{const_cast<char*>(option.c_str()), nullptr});
  }
  options.push_back(JavaVMOption{const_cast<char*>("abort"), reinterpret_cast<void*>(&jvmAbortHook)});
  options.push_back(JavaVMOption{const_cast<char*>("exit"), reinterpret_cast<void*>(&jvmExitHook)});

  JavaVMInitArgs initArgs{};
  initArgs.version = JNI_VERSION_1_2;
  initArgs.nOptions = static_cast<jint>(options.size());
  initArgs.options = options.data();
  initArgs.ignoreUnrecognized = JNI_FALSE;

  if (diagnosing()) diagnoseOptions(options);
  const PhaseTimer creation;
  jint result = entries.createJavaVm != nullptr
                    ? entries.createJavaVm(&vm, reinterpret_cast<void**>(&env), &initArgs)
                    : static_cast<jint>(JNI_ERR);
  creation.report("JNI_CreateJavaVM took %s");
  if (result != JNI_OK) {
    if (diagnosing()) {
      diagnose("JNI_CreateJavaVM refused: %s (%s); an option it does not know is enough",
               decimalText(result), jvmCreationFailureReason(result));
    }
    // Whatever a refusing VM left in these must not reach the teardown.
    vm = nullptr;
    env = nullptr;
    printError(loadMessage(MessageId::JniException), loadMessage(MessageId::CreateJavaVmFailed),
               jvmCreationFailureReason(result));
    return false;
  }

  std::wstring outputFile = setup.output.file;
  std::wstring errorFile = setup.error.file;
  // One reading of the clock for both names, so their stamps are equal.
  if (hasStamp(outputFile) || hasStamp(errorFile)) {
    const LocalTime now = currentLocalTime();
    if (hasStamp(outputFile)) stampFileName(outputFile, now);
    if (hasStamp(errorFile)) stampFileName(errorFile, now);
    if (hasStamp(setup.output.file)) removeOldDatedFiles(setup.output.file, outputFile, setup.keepOutputFiles);
    if (hasStamp(setup.error.file)) removeOldDatedFiles(setup.error.file, errorFile, setup.keepOutputFiles);
  }
  redirect(env, outputFile, setup.output.append, StandardStream::Output);
  redirect(env, errorFile, setup.error.append, StandardStream::Error);
  return true;
}

uint64_t defaultJavaStackSize(const JvmEntryPoints& entries) {
  if (entries.defaultInitArgs == nullptr) return 0;
  Jdk11InitArgs initArgs{};
  initArgs.version = JNI_VERSION_1_1;
  // The result code tells nothing more than the record does.
  entries.defaultInitArgs(&initArgs);
  return initArgs.javaStackSize > 0 ? static_cast<uint64_t>(initArgs.javaStackSize) : 0;
}

}  // namespace tarn
