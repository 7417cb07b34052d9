#include "base/error_output.h"

#include "base/format.h"

namespace tarn {

void printError(const std::wstring& message) {
  writeStandardOutput(formatText(L"Error: %s \n", {message}));
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
