#include "jvm/output_redirection.h"

#include "base/file_system.h"
#include "base/text.h"
#include "jni/java_strings.h"
#include "jni/local_ref.h"
#include "jvm/time_pictures.h"

namespace tarn {
namespace {

// The picture between the two '%' with "L" standing for the milliseconds.
// When a pass rejects the time, the picture text stays as it was written.
std::wstring stampText(const std::wstring& format, const LocalTime& time) {
  if (format.empty()) return format;
  std::wstring picture;
  const std::wstring milliseconds = decimalText(time.milliseconds);
  for (wchar_t c : format) {
    if (c == L'L') {
      picture += milliseconds;
    } else {
      picture += c;
    }
  }
  const TimePictureNames names = userTimePictureNames();
  std::wstring afterTimePass;
  std::wstring stamp;
  if (!formatTimePicture(picture, time, names, afterTimePass)) return format;
  if (!formatDatePicture(afterTimePass, time, names, stamp)) return format;
  return stamp;
}

}  // namespace

void stampFileName(std::wstring& name, const LocalTime& time) {
  const std::size_t first = name.find(L'%');
  if (first == std::wstring::npos) return;
  const std::size_t last = name.rfind(L'%');
  const std::wstring format = first == last ? std::wstring() : name.substr(first + 1, last - first - 1);
  name = name.substr(0, first) + stampText(format, time) + name.substr(last + 1);
}

bool redirectStream(JNIEnv* env, const std::wstring& file, bool append, StandardStream which) {
  // A folder that cannot be made shows up as the file stream's exception.
  ensureParentDirectories(file);

  LocalRef fileName(env, newJavaString(env, file));
  if (!fileName) return false;

  LocalRef fileStreamClass(env, env->FindClass("java/io/FileOutputStream"));
  if (!fileStreamClass) return false;
  jmethodID fileStreamConstructor =
      env->GetMethodID(fileStreamClass.asClass(), "<init>", "(Ljava/lang/String;Z)V");
  if (fileStreamConstructor == nullptr) return false;
  jvalue fileStreamArguments[2];
  fileStreamArguments[0].l = fileName.get();
  fileStreamArguments[1].z = append ? JNI_TRUE : JNI_FALSE;
  LocalRef fileStream(
      env, env->NewObjectA(fileStreamClass.asClass(), fileStreamConstructor, fileStreamArguments));
  if (!fileStream) return false;

  LocalRef printStreamClass(env, env->FindClass("java/io/PrintStream"));
  if (!printStreamClass) return false;
  jmethodID printStreamConstructor =
      env->GetMethodID(printStreamClass.asClass(), "<init>", "(Ljava/io/OutputStream;)V");
  if (printStreamConstructor == nullptr) return false;
  jvalue printStreamArgument;
  printStreamArgument.l = fileStream.get();
  LocalRef printStream(
      env, env->NewObjectA(printStreamClass.asClass(), printStreamConstructor, &printStreamArgument));
  if (!printStream) return false;

  LocalRef systemClass(env, env->FindClass("java/lang/System"));
  if (!systemClass) return false;
  const char* setterName = which == StandardStream::Output ? "setOut" : "setErr";
  jmethodID setter =
      env->GetStaticMethodID(systemClass.asClass(), setterName, "(Ljava/io/PrintStream;)V");
  if (setter == nullptr) return false;
  jvalue setterArgument;
  setterArgument.l = printStream.get();
  env->CallStaticVoidMethodA(systemClass.asClass(), setter, &setterArgument);

  LocalRef thrown(env, env->ExceptionOccurred());
  if (thrown) {
    env->ExceptionDescribe();
    return false;
  }
  return true;
}

}  // namespace tarn
