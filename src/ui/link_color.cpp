#include "ui/link_color.h"

#include <climits>

namespace tarn {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// [begin, end) as a decimal number, the way strtol reads it, clamped.
int32_t readNumber(const std::wstring& text, size_t begin, size_t end) {
  while (begin < end && isBlank(text[begin])) ++begin;
  bool negative = false;
  if (begin < end && (text[begin] == L'+' || text[begin] == L'-')) negative = text[begin++] == L'-';
  int64_t value = 0;
  for (; begin < end && text[begin] >= L'0' && text[begin] <= L'9'; ++begin) {
    value = value * 10 + (text[begin] - L'0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

bool parseColorText(const std::wstring& text, uint32_t& color) {
  // The text ends at its first terminator, as the registry's text does.
  const size_t length = text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0');
  int32_t parts[3];
  size_t position = 0;
  for (int part = 0; part < 2; ++part) {
    const size_t comma = text.find(L',', position);
    if (position >= length || comma == std::wstring::npos || comma >= length) return false;
    parts[part] = readNumber(text, position, comma);
    if (parts[part] == -1) return false;
    position = comma + 1;
  }
  if (position >= length) return false;
  parts[2] = readNumber(text, position, length);
  color = (static_cast<uint32_t>(parts[0]) & 0xFF) | (static_cast<uint32_t>(parts[1]) & 0xFF) << 8 |
          (static_cast<uint32_t>(parts[2]) & 0xFF) << 16;
  return true;
}

bool colorValueText(uint32_t type, const uint8_t* data, size_t size, std::wstring& text) {
  if (type != kRegistryText && type != kRegistryExpandableText) return false;
  if (size > kColorValueBytes || size % 2 != 0) return false;
  text.clear();
  if (size == 0) return true;
  if (data[size - 2] != 0 || data[size - 1] != 0) return false;
  for (size_t i = 0; i + 2 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
  }
  return true;
}

}  // namespace tarn
