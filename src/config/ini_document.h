#pragma once
// INI text held in memory. Names and keys may repeat; lookups are exact
// (case-sensitive) and take the first match.

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

  // A document has no file: out becomes 0 and the result is 1.
  uint32_t readSignature(uint32_t& out) override;
  // Only the first section of the name is searched. Leaves out unchanged
  // when the section or key is absent.
  void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) override;
  void sectionNames(std::vector<std::wstring>& out) override;
  // Appends the entry to the first section of the name (or to a new section
  // at the end); an older entry of the same key keeps answering reads.
  bool writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  // A document has no file: nothing is removed, and the result says so.
  bool remove() override;

 private:
  std::vector<IniSection> sections_;
};

}  // namespace tarn
