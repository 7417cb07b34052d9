#include "run/stack_trace.h"

#include "base/text.h"
#include "jni/local_ref.h"

namespace tarn {
namespace {

std::wstring printedTrace(JNIEnv* env, jthrowable exception) {
  LocalRef writerClass(env, env->FindClass("java/io/StringWriter"));
  if (!writerClass) return std::wstring();
  jmethodID newWriter = env->GetMethodID(writerClass.asClass(), "<init>", "()V");
  if (newWriter == nullptr) return std::wstring();
  jmethodID writtenText = env->GetMethodID(writerClass.asClass(), "toString", "()Ljava/lang/String;");
  if (writtenText == nullptr) return std::wstring();
  LocalRef printerClass(env, env->FindClass("java/io/PrintWriter"));
  if (!printerClass) return std::wstring();
  jmethodID newPrinter = env->GetMethodID(printerClass.asClass(), "<init>", "(Ljava/io/Writer;)V");
  if (newPrinter == nullptr) return std::wstring();
  LocalRef throwableClass(env, env->FindClass("java/lang/Throwable"));
  if (!throwableClass) return std::wstring();
  jmethodID printStackTrace = env->GetMethodID(throwableClass.asClass(), "printStackTrace", "(Ljava/io/PrintWriter;)V");
  if (printStackTrace == nullptr) return std::wstring();

  LocalRef writer(env, env->NewObjectA(writerClass.asClass(), newWriter, nullptr));
  if (!writer) return std::wstring();
  jvalue argument;
  argument.l = writer.get();
  // PrintWriter over a Writer buffers nothing: the trace is in the
  // StringWriter once printStackTrace returns.
  LocalRef printer(env, env->NewObjectA(printerClass.asClass(), newPrinter, &argument));
  if (!printer) return std::wstring();
  argument.l = printer.get();
  env->CallVoidMethodA(exception, printStackTrace, &argument);
  if (env->ExceptionCheck()) return std::wstring();
  LocalRef text(env, env->CallObjectMethodA(writer.get(), writtenText, nullptr));
  if (!text) return std::wstring();
  const jstring string = static_cast<jstring>(text.get());
  const jsize length = env->GetStringLength(string);
  if (length <= 0) return std::wstring();
  std::u16string units(static_cast<size_t>(length), u'\0');
  env->GetStringRegion(string, 0, length, reinterpret_cast<jchar*>(units.data()));
  if (env->ExceptionCheck()) return std::wstring();
  return fromUtf16(units, UnpairedSurrogates::Replace);
}

}  // namespace

std::wstring stackTraceText(JNIEnv* env, jthrowable exception) {
  std::wstring text = printedTrace(env, exception);
  if (env->ExceptionCheck()) env->ExceptionClear();
  return text;
}

}  // namespace tarn
