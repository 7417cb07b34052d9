#pragma once
// One INI file on disk, read anew for every key. On Windows through the
// profile-string functions; on Linux through our own reader that follows
// the same documented rules (config/profile_text.h).

#include "config/ini_store.h"

namespace tarn {

class IniFile : public IniStore {
 public:
  explicit IniFile(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }

  uint32_t readSignature(uint32_t& out) override;
  // An absent file, section or key gives the empty string.
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;
  void sectionNames(std::vector<std::wstring>& out) override;
  bool writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  bool remove() override;

 private:
  std::wstring path_;
};

}  // namespace tarn
