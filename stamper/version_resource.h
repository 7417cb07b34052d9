#pragma once
// The RT_VERSION resource: a VS_VERSIONINFO block with the fixed file
// information, one string table (U.S. English, Unicode: "040904B0") and the
// translation 0x0409/1200.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarn::stamper {

struct VersionNumber {
  uint16_t parts[4] = {0, 0, 0, 0};
};

// "1", "1.2", "1.2.3" or "1.2.3.4": decimal numbers 0 to 65535; parts left
// out are 0. False for anything else.
bool parseVersionText(const std::wstring& text, VersionNumber& version);

struct VersionInfo {
  VersionNumber fileVersion;
  VersionNumber productVersion;
  // Key and value pairs, written in this order.
  std::vector<std::pair<std::wstring, std::wstring>> strings;
};

// VS_FIXEDFILEINFO holds the numbers with FILEOS VOS_NT_WINDOWS32 and
// FILETYPE VFT_APP; the strings are UTF-16. False when the strings are too
// long for the blocks' 16-bit lengths.
bool versionResource(const VersionInfo& info, std::string& out);

}  // namespace tarn::stamper
