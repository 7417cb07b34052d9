// The built-in settings that an executable may carry as resource RCDATA
// TARN_BUILT_IN_SETTINGS.
//
// Our own builds carry no such resource, so the built-in document is empty
// and every value comes from the configuration file. An executable that
// is given one (by the stamping tool, or with a resource script line
//   TARN_BUILT_IN_SETTINGS RCDATA "settings.ini"
// ) holds INI text as UTF-16LE, with or without a byte order mark, lines
// ending in CR LF, stored plainly.

#include <windows.h>

#include <string>

#include "config/layered_ini_file.h"
#include "config/profile_text.h"
#include "resource_ids.h"

namespace tarn {

std::wstring builtInSettingsText() {
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(TARN_BUILT_IN_SETTINGS), RT_RCDATA);
  if (resource == nullptr) return std::wstring();
  DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);  // module resources need no release
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0) return std::wstring();
  return decodeUtf16LE(std::string(static_cast<const char*>(data), size));
}

}  // namespace tarn
