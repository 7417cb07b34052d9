#pragma once
// Text helpers shared by every subsystem. Text is std::wstring: UTF-16 on
// Windows, UTF-32 on Linux, where UTF-8 is used at the edges. This file and
// text.cpp are the only places that care which of the two wchar_t holds.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// UTF-8 <-> wide text. Invalid input never fails: unpaired surrogates and
// malformed UTF-8 become U+FFFD.
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& text);

// Wide text as UTF-16 code units, the form Java strings and UTF-16 files
// hold. UTF-16 wide text passes unchanged, unpaired surrogates included; in
// UTF-32 wide text a code point above U+FFFF becomes a surrogate pair and a
// value beyond U+10FFFF becomes U+FFFD.
std::u16string toUtf16(const std::wstring& text);

enum class UnpairedSurrogates { KeepWherePossible, Replace };

// UTF-16 code units as wide text. Surrogate pairs become one code point in
// UTF-32 wide text. An unpaired surrogate becomes U+FFFD, except in UTF-16
// wide text with KeepWherePossible, which passes it on as it is (the file
// system takes such names).
std::wstring fromUtf16(const std::u16string& units, UnpairedSurrogates unpaired);

// Wide text from the modified UTF-8 that the Java VM yields (NUL as C0 80,
// characters above U+FFFF as two encoded surrogates). Malformed bytes
// become U+FFFD.
std::wstring fromModifiedUtf8(const char* bytes);

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

// Platform side.
// Whether the C library's wide white-space class (iswspace) holds the
// character.
bool isWhiteSpace(wchar_t c);

}  // namespace tarn
