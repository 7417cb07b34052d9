#pragma once
// One INI file on disk, read whole at the first read of the object (a start
// reads every key of one moment's file) and answered from memory by the
// profile-string rules of config/profile_text.h, which the differential test
// holds to GetPrivateProfileStringW. Writes go through the platform: on
// Windows the profile functions, after which the file is read again; on
// Linux our own writer, which keeps the copy up to date.

#include <vector>

#include "config/ini_store.h"
#include "config/profile_text.h"

namespace tarn {

class IniFile : public IniStore {
 public:
  explicit IniFile(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }

  // An absent file, section or key gives the empty string.
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;
  void sectionNames(std::vector<std::wstring>& out);
  // On Linux the entry is changed in place and the file replaced whole, in
  // its own encoding. It refuses (false) an entry that would not read back
  // as written and a file whose bytes a rewrite would not keep (malformed
  // UTF-8), rather than damage it.
  bool writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value);

 private:
  // The file's text as the platform reads it; empty for a missing file or
  // anything that is not a regular file.
  static std::wstring fileText(const std::wstring& path);
  const std::wstring& text();
  void keepText(std::wstring text);

  std::wstring path_;
  bool textRead_ = false;
  std::wstring text_;
  std::vector<ProfileLine> lines_;  // of text_
};

}  // namespace tarn
