#pragma once
// Text helpers shared by every subsystem. Text is std::wstring: UTF-16 on
// Windows, UTF-32 on Linux, where UTF-8 is used at the edges.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// UTF-8 <-> wide text. Invalid input never fails: unpaired surrogates and
// malformed UTF-8 become U+FFFD.
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& text);

// Removes the C library's wide white-space class (iswspace) from both ends.
std::wstring trimWhiteSpace(const std::wstring& text);

// Equal apart from the case of the ASCII letters A to Z.
bool equalsNoCase(const std::wstring& a, const std::wstring& b);

// Every occurrence of `from` replaced by `to`.
std::wstring replaceAll(std::wstring text, wchar_t from, wchar_t to);

// The texts between the separators in order; an empty text between two
// adjacent separators is kept, nothing follows a final separator, and an
// empty text gives an empty list.
std::vector<std::wstring> splitAtSeparator(const std::wstring& text, wchar_t separator);

// The number in decimal digits, "-" first when negative: what std::to_wstring
// writes, without the C library's formatted output behind it.
std::wstring decimalText(int64_t value);
std::wstring unsignedDecimalText(uint64_t value);

}  // namespace tarn
