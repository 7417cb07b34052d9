#pragma once
// The link colours a user has chosen for web pages: registry texts of the
// form "red,green,blue" in decimal.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn {

// "r,g,b" as a COLORREF (0x00BBGGRR). Each number is read as strtol would
// (white space before it skipped, a sign, digits up to the first other
// character, 0 without digits, clamped to 32 bits) and only its low byte
// counts. False, and `color` untouched, when a comma is missing, nothing
// follows the second comma, or the first or second number is -1.
bool parseColorText(const std::wstring& text, uint32_t& color);

// Registry value types that hold text.
constexpr uint32_t kRegistryText = 1;            // REG_SZ
constexpr uint32_t kRegistryExpandableText = 2;  // REG_EXPAND_SZ
// The largest colour value read, in bytes: eleven characters and a terminator.
constexpr size_t kColorValueBytes = 24;

// The text of a colour value read from the registry: of a text type, and
// either empty or an even number of bytes whose last UTF-16 unit is 0.
// False for anything else (the colour then stays as it was).
bool colorValueText(uint32_t type, const uint8_t* data, size_t size, std::wstring& text);

}  // namespace tarn
