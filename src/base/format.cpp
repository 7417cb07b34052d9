#include "base/format.h"

#include <vector>

#include "base/text.h"

namespace tarn {

void FormatArgument::appendText(std::wstring& out) const {
  if (text_ != nullptr) {
    out += *text_;
  } else if (literal_ != nullptr) {
    out += literal_;
  }
}

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
        out += decimalText(argument.number());
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarn
