// The launcher's JNI steps against a real Java VM: the JDK's libjvm.so,
// named by TARN_TEST_JAVA_HOME (scripts/test sets it to the installed JDK).
// Without it the tests are skipped.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <jni.h>

#include <cstdlib>
#include <string>

#include "jni/java_strings.h"
#include "jni/local_ref.h"
#include "run/stack_trace.h"

namespace tarn {
namespace {

// One VM for the whole program: a process can create only one.
JNIEnv* javaEnv() {
  static JNIEnv* env = [] () -> JNIEnv* {
    const char* home = std::getenv("TARN_TEST_JAVA_HOME");
    if (home == nullptr || *home == '\0') return nullptr;
    void* library = dlopen((std::string(home) + "/lib/server/libjvm.so").c_str(), RTLD_NOW);
    if (library == nullptr) return nullptr;
    using Create = jint(JNICALL*)(JavaVM**, void**, void*);
    auto create = reinterpret_cast<Create>(dlsym(library, "JNI_CreateJavaVM"));
    if (create == nullptr) return nullptr;
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_8;
    JavaVM* vm = nullptr;
    JNIEnv* created = nullptr;
    return create(&vm, reinterpret_cast<void**>(&created), &arguments) == JNI_OK ? created : nullptr;
  }();
  return env;
}

// Integer.parseInt(text), which throws NumberFormatException for anything
// but a number; the exception is taken and cleared.
jthrowable parseIntThrows(JNIEnv* env, const std::wstring& text) {
  LocalRef integer(env, env->FindClass("java/lang/Integer"));
  jmethodID parseInt = env->GetStaticMethodID(integer.asClass(), "parseInt", "(Ljava/lang/String;)I");
  LocalRef argument(env, newJavaString(env, text));
  jvalue value;
  value.l = argument.get();
  env->CallStaticIntMethodA(integer.asClass(), parseInt, &value);
  jthrowable exception = env->ExceptionOccurred();
  env->ExceptionClear();
  return exception;
}

TEST(StackTraceWithTheJdk, IsWhatPrintStackTracePrints) {
  JNIEnv* env = javaEnv();
  if (env == nullptr) GTEST_SKIP() << "TARN_TEST_JAVA_HOME names no JDK";
  const struct {
    const char* name;
    std::wstring input;
    std::wstring firstLine;
  } cases[] = {
      {"plain", L"x", L"java.lang.NumberFormatException: For input string: \"x\"\n"},
      {"outside any code page and outside the basic plane", L"\u00e9\u4e2d\U0001F600",
       L"java.lang.NumberFormatException: For input string: \"\u00e9\u4e2d\U0001F600\"\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LocalRef exception(env, parseIntThrows(env, c.input));
    ASSERT_TRUE(exception);
    const std::wstring trace = stackTraceText(env, static_cast<jthrowable>(exception.get()));
    EXPECT_FALSE(env->ExceptionCheck());
    ASSERT_GE(trace.size(), c.firstLine.size());
    EXPECT_EQ(trace.substr(0, c.firstLine.size()), c.firstLine);
    // The frames follow, the one that threw first.
    EXPECT_EQ(trace.substr(c.firstLine.size(), 5), L"\tat j");
    EXPECT_NE(trace.find(L"java.lang.Integer.parseInt("), std::wstring::npos);
    EXPECT_EQ(trace.back(), L'\n');
  }
}

}  // namespace
}  // namespace tarn
