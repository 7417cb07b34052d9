#include "base/format.h"

#include <vector>

namespace tarn {

void FormatArgument::appendText(std::wstring& out) const {
  if (text_ != nullptr) {
    out += *text_;
  } else if (literal_ != nullptr) {
    out += literal_;
  }
}

namespace {

void appendDecimal(std::wstring& out, int32_t value) {
  // Widened first so that the smallest value has a magnitude to print.
  int64_t magnitude = value;
  if (magnitude < 0) {
    out += L'-';
    magnitude = -magnitude;
  }
  wchar_t digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) out += digits[--count];
}

}  // namespace

std::wstring formatText(const std::wstring& format, std::initializer_list<FormatArgument> arguments) {
  std::wstring out;
  out.reserve(format.size() + 64);
  const FormatArgument* next = arguments.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    wchar_t c = format[i];
    if (c != L'%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    wchar_t conversion = format[i + 1];
    if (conversion == L'%') {
      out += L'%';
      ++i;
    } else if (conversion == L's' || conversion == L'd') {
      ++i;
      if (next == arguments.end()) continue;
      const FormatArgument& argument = *next++;
      if (conversion == L's' && !argument.isNumber()) {
        argument.appendText(out);
      } else if (conversion == L'd' && argument.isNumber()) {
        appendDecimal(out, argument.number());
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarn
