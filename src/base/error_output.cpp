#include "base/error_output.h"

#include "base/format.h"

namespace tarn {
namespace {

ErrorSink errorSink = nullptr;

}  // namespace

void setErrorSink(ErrorSink sink) { errorSink = sink; }

void printError(const std::wstring& message) {
  const std::wstring line = formatText(L"Error: %s \n", {message});
  if (errorSink != nullptr) {
    errorSink(line);
  } else {
    writeStandardOutput(line);
  }
}

void printError(const std::wstring& format, const std::wstring& text) {
  printError(formatText(format, {text}));
}

void printError(const std::wstring& format, const std::wstring& first, const std::wstring& second) {
  printError(formatText(format, {first, second}));
}

void printError(const std::wstring& format, const std::wstring& text, int32_t number) {
  printError(formatText(format, {text, number}));
}

}  // namespace tarn
