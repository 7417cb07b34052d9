#pragma once
// The read that every setting goes through: the built-in settings first, a
// non-empty value in the file replaces them, and a value in the file's
// companion section "<section>+" is added after one space.
//
// Built-in settings close the file to every key but the few of
// config/closed_file_keys.h (diagnosed as ignored), unless they hold
//   [Built-in Settings]
//   Open To File=Yes
// A stamped executable is often a single download, and a file dropped
// beside it must not choose what it runs, where it reads and writes, or
// what it opens.

#include "config/ini_document.h"

namespace tarn {

class LayeredIniFile : public IniStore {
 public:
  // Layers `file` (kept by reference) over the built-in settings text.
  LayeredIniFile(IniStore& file, const std::wstring& builtInText);

  // Always writes out: the empty string when neither layer has the key. In
  // the diagnose mode a value read otherwise than a person may is told with
  // its meaning (config/setting_readings.h).
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;

 private:
  void readLayers(const std::wstring& section, const std::wstring& key, std::wstring& out);

  IniStore& file_;
  IniDocument builtIn_;
  bool closedToFile_ = false;
};

// The built-in settings text that the executable carries (resource
// TARN_BUILT_IN_SETTINGS), or the empty string when it carries none.
std::wstring builtInSettingsText();

}  // namespace tarn
