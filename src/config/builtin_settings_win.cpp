// The built-in settings that an executable may carry as resource RCDATA 8000.
//
// Our own builds carry no such resource, so the built-in document is empty
// and every value comes from the configuration file. An executable that
// is given one (for instance with a resource script line
//   8000 RCDATA "settings.ini"
// ) holds INI text as UTF-16LE, with or without a byte order mark, lines
// ending in CR LF. The text is stored plainly: there is nothing to decipher,
// so the upgrade code is not needed to read it.

#include <windows.h>

#include <string>

#include "config/layered_ini_file.h"
#include "config/profile_text.h"

namespace tarn {

std::wstring builtInSettingsText(const std::wstring& /*upgradeCode*/) {
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(8000), RT_RCDATA);
  if (resource == nullptr) return std::wstring();
  DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);  // module resources need no release
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0) return std::wstring();
  return decodeUtf16LE(std::string(static_cast<const char*>(data), size));
}

}  // namespace tarn
