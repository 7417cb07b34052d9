#include "stamper/version_resource.h"

#include "base/text.h"
#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

constexpr uint16_t kBinary = 0;
constexpr uint16_t kText = 1;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedInfoVersion = 0x00010000;
constexpr uint32_t kFileFlagsMask = 0x3F;  // VS_FFI_FILEFLAGSMASK
constexpr uint32_t kOsNtWindows32 = 0x00040004;
constexpr uint32_t kTypeApplication = 1;
constexpr uint16_t kUsEnglish = 0x0409;
constexpr uint16_t kUnicodeCodePage = 1200;

void appendText(std::string& bytes, const std::wstring& text) {
  for (char16_t unit : toUtf16(text)) appendU16(bytes, static_cast<uint16_t>(unit));
  appendU16(bytes, 0);
}

// A block: wLength, wValueLength, wType, the key with its NUL, padding to 32
// bits, the value, then the children, each starting on a 32-bit boundary.
// wLength counts from the block's start to the end of its last part,
// without padding after it.
// Sets tooLong when the block is too long for its 16-bit length.
std::string block(const std::wstring& key, uint16_t type, uint16_t valueLength, const std::string& value,
                  const std::vector<std::string>& children, bool& tooLong) {
  std::string bytes(6, '\0');
  appendText(bytes, key);
  if (!value.empty()) {
    padTo(bytes, 4);
    bytes += value;
  }
  for (const std::string& child : children) {
    padTo(bytes, 4);
    bytes += child;
  }
  if (bytes.size() > 0xFFFF) tooLong = true;
  putU16(bytes, 0, static_cast<uint16_t>(bytes.size()));
  putU16(bytes, 2, valueLength);
  putU16(bytes, 4, type);
  return bytes;
}

uint32_t high(const VersionNumber& version) { return uint32_t{version.parts[0]} << 16 | version.parts[1]; }
uint32_t low(const VersionNumber& version) { return uint32_t{version.parts[2]} << 16 | version.parts[3]; }

}  // namespace

bool parseVersionText(const std::wstring& text, VersionNumber& version) {
  version = VersionNumber{};
  size_t part = 0;
  size_t digits = 0;
  uint32_t value = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == L'.') {
      if (digits == 0 || part == 4) return false;
      version.parts[part++] = static_cast<uint16_t>(value);
      digits = 0;
      value = 0;
      continue;
    }
    if (text[i] < L'0' || text[i] > L'9') return false;
    value = value * 10 + static_cast<uint32_t>(text[i] - L'0');
    ++digits;
    if (value > 0xFFFF) return false;
  }
  return true;
}

bool versionResource(const VersionInfo& info, std::string& out) {
  std::string fixed;
  appendU32(fixed, kFixedInfoSignature);
  appendU32(fixed, kFixedInfoVersion);
  appendU32(fixed, high(info.fileVersion));
  appendU32(fixed, low(info.fileVersion));
  appendU32(fixed, high(info.productVersion));
  appendU32(fixed, low(info.productVersion));
  appendU32(fixed, kFileFlagsMask);
  appendU32(fixed, 0);  // flags
  appendU32(fixed, kOsNtWindows32);
  appendU32(fixed, kTypeApplication);
  appendU32(fixed, 0);  // subtype
  appendU32(fixed, 0);  // date, high
  appendU32(fixed, 0);  // date, low

  bool tooLong = false;
  std::vector<std::string> strings;
  for (const auto& [key, value] : info.strings) {
    std::string text;
    appendText(text, value);
    // A string's value length counts UTF-16 units, its NUL included.
    strings.push_back(block(key, kText, static_cast<uint16_t>(text.size() / 2), text, {}, tooLong));
  }
  const std::string table = block(L"040904B0", kText, 0, std::string(), strings, tooLong);
  const std::string stringInfo = block(L"StringFileInfo", kText, 0, std::string(), {table}, tooLong);

  std::string translation;
  appendU16(translation, kUsEnglish);
  appendU16(translation, kUnicodeCodePage);
  const std::string variable = block(L"Translation", kBinary, 4, translation, {}, tooLong);
  const std::string variableInfo = block(L"VarFileInfo", kText, 0, std::string(), {variable}, tooLong);

  out = block(L"VS_VERSION_INFO", kBinary, static_cast<uint16_t>(fixed.size()), fixed, {stringInfo, variableInfo},
              tooLong);
  return !tooLong;
}

}  // namespace tarn::stamper
