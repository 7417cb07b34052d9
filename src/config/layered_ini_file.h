#pragma once
// The read that every setting goes through: the built-in settings first, a
// non-empty value in the file replaces them, and a value in the file's
// companion section "<section>+" is added after one space.

#include "config/ini_document.h"
#include "config/ini_file.h"

namespace tarn {

class LayeredIniFile : public IniFile, public IniDocument {
 public:
  LayeredIniFile(std::wstring path, const std::wstring& builtInText);

  // The layered read, through either face (it overrides readString of both
  // bases). Every other operation acts on the face through which it is
  // called: the file through IniFile, the built-in document through IniDocument.
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;

  IniFile& fileFace() { return *this; }
  IniDocument& builtInFace() { return *this; }
};

// The built-in settings text that the executable carries (resource 8000), or
// the empty string when it carries none.
std::wstring builtInSettingsText(const std::wstring& upgradeCode);

}  // namespace tarn
