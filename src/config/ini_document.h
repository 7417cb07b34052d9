#pragma once
// INI text held in memory. Names and keys may repeat; lookups are exact
// (case-sensitive) and take the first match.

#include <vector>

#include "config/ini_store.h"

namespace tarn {

struct IniEntry {
  std::wstring key;
  std::wstring value;
};

struct IniSection {
  std::wstring name;
  std::vector<IniEntry> entries;
};

class IniDocument : public IniStore {
 public:
  // Rebuilds the document from the text: lines end at "\r\n" only, a leading
  // U+FEFF is dropped, "[name]" lines open sections, "key=value" lines
  // inside a section are entries, every other line is ignored.
  void parse(const std::wstring& text);

  const std::vector<IniSection>& sections() const { return sections_; }

  // Only the first section of the name is searched. Leaves out unchanged
  // when the section or key is absent.
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;

 private:
  std::vector<IniSection> sections_;
};

}  // namespace tarn
