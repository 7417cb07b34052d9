#pragma once
// printf-style formatting of message texts with our own small formatter, so
// the output is the same on every platform and C runtime:
//   %s  the next argument as text     %d  the next argument as a signed 32-bit number
//   %%  a percent sign
// Any other "%" sequence is copied as it stands. A conversion without a
// matching argument, or with an argument of the other kind, yields nothing.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace tarn {

class FormatArgument {
 public:
  FormatArgument(const std::wstring& text) : text_(&text) {}
  FormatArgument(const wchar_t* text) : literal_(text) {}
  FormatArgument(int32_t number) : number_(number), isNumber_(true) {}
  FormatArgument(uint32_t number) : number_(static_cast<int32_t>(number)), isNumber_(true) {}

  bool isNumber() const { return isNumber_; }
  int32_t number() const { return number_; }
  void appendText(std::wstring& out) const;

 private:
  const std::wstring* text_ = nullptr;
  const wchar_t* literal_ = nullptr;
  int32_t number_ = 0;
  bool isNumber_ = false;
};

std::wstring formatText(const std::wstring& format, std::initializer_list<FormatArgument> arguments);

}  // namespace tarn
