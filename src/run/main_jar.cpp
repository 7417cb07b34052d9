#include "run/main_jar.h"

#include "base/error_output.h"
#include "base/message_table.h"
#include "jni/java_strings.h"
#include "jni/local_ref.h"

namespace tarn {
namespace {

std::wstring exceptionText(JNIEnv* env) {
  LocalRef exception(env, env->ExceptionOccurred());
  env->ExceptionClear();
  if (!exception) return std::wstring();
  LocalRef throwableClass(env, env->FindClass("java/lang/Throwable"));
  jmethodID toString =
      throwableClass ? env->GetMethodID(throwableClass.asClass(), "toString", "()Ljava/lang/String;") : nullptr;
  if (toString == nullptr) {
    env->ExceptionClear();
    return std::wstring();
  }
  LocalRef text(env, env->CallObjectMethodA(exception.get(), toString, nullptr));
  std::wstring result = javaStringText(env, static_cast<jstring>(text.get()));
  env->ExceptionClear();
  return result;
}

// A method of a boot class, which stays loaded: its id outlives the reference.
jmethodID method(JNIEnv* env, const char* className, const char* name, const char* signature) {
  LocalRef found(env, env->FindClass(className));
  return found ? env->GetMethodID(found.asClass(), name, signature) : nullptr;
}

MainJarManifest readOpened(JNIEnv* env, jobject jar, jmethodID getManifest) {
  MainJarManifest result;
  LocalRef manifest(env, env->CallObjectMethodA(jar, getManifest, nullptr));
  if (env->ExceptionCheck()) return {MainJarState::Damaged, exceptionText(env)};
  if (!manifest) return {MainJarState::NoManifest, std::wstring()};
  jmethodID mainAttributes =
      method(env, "java/util/jar/Manifest", "getMainAttributes", "()Ljava/util/jar/Attributes;");
  jmethodID getValue =
      method(env, "java/util/jar/Attributes", "getValue", "(Ljava/lang/String;)Ljava/lang/String;");
  if (mainAttributes == nullptr || getValue == nullptr) return result;
  LocalRef attributes(env, env->CallObjectMethodA(manifest.get(), mainAttributes, nullptr));
  LocalRef key(env, newJavaString(env, L"Main-Class"));
  if (!attributes || !key) return result;
  jvalue argument;
  argument.l = key.get();
  LocalRef value(env, env->CallObjectMethodA(attributes.get(), getValue, &argument));
  if (env->ExceptionCheck()) return result;
  result.text = javaStringText(env, static_cast<jstring>(value.get()));
  result.state = result.text.empty() ? MainJarState::NoMainClass : MainJarState::Runnable;
  return result;
}

}  // namespace

MainJarManifest readMainJarManifest(JNIEnv* env, const std::wstring& jarPath) {
  MainJarManifest result;
  LocalRef jarClass(env, env->FindClass("java/util/jar/JarFile"));
  jmethodID open = jarClass ? env->GetMethodID(jarClass.asClass(), "<init>", "(Ljava/lang/String;)V") : nullptr;
  jmethodID getManifest =
      open ? env->GetMethodID(jarClass.asClass(), "getManifest", "()Ljava/util/jar/Manifest;") : nullptr;
  jmethodID close = getManifest ? env->GetMethodID(jarClass.asClass(), "close", "()V") : nullptr;
  LocalRef path(env, close ? newJavaString(env, jarPath) : nullptr);
  if (path) {
    jvalue argument;
    argument.l = path.get();
    LocalRef jar(env, env->NewObjectA(jarClass.asClass(), open, &argument));
    if (env->ExceptionCheck()) {
      result = {MainJarState::Damaged, exceptionText(env)};
    } else if (jar) {
      result = readOpened(env, jar.get(), getManifest);
      if (env->ExceptionCheck()) env->ExceptionClear();
      env->CallVoidMethodA(jar.get(), close, nullptr);
    }
  }
  if (env->ExceptionCheck()) env->ExceptionClear();
  return result;
}

bool reportMainJarState(const MainJarManifest& manifest, const std::wstring& jarPath) {
  switch (manifest.state) {
    case MainJarState::Runnable:
      return true;
    case MainJarState::Damaged:
      printError(loadMessage(MessageId::MainJarDamaged), jarPath, manifest.text);
      return false;
    case MainJarState::NoManifest:
      printError(loadMessage(MessageId::MainJarNoManifest), jarPath);
      return false;
    case MainJarState::NoMainClass:
      printError(loadMessage(MessageId::MainJarNoMainClass), jarPath);
      return false;
    case MainJarState::NoJarReader:
      break;
  }
  printError(loadMessage(MessageId::MainJarDamaged), jarPath, std::wstring(L"java.util.jar.JarFile"));
  return false;
}

}  // namespace tarn
