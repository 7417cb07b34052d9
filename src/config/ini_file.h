#pragma once
// One INI file on disk. On Windows through the profile-string functions,
// which keep their own copy of the file and look at it again when it has
// changed; on Linux through our own reader that follows the same documented
// rules (config/profile_text.h), which reads the file once, at the first
// read of the object (a start reads every key of one moment's file), and
// keeps its copy up to date with its own writes.

#include <vector>

#include "config/ini_store.h"

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
  std::wstring path_;
  // Linux: the file's text once read.
  bool textRead_ = false;
  std::wstring text_;
};

}  // namespace tarn
