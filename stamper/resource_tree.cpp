#include "stamper/resource_tree.h"

#include <algorithm>
#include <set>
#include <vector>

#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

constexpr uint32_t kHighBit = 0x80000000;
constexpr size_t kTableHeaderSize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
constexpr size_t kDataAlignment = 8;

struct Entry {
  ResourceName name;
  uint32_t target = 0;  // with kHighBit: a table; without: a data entry
};

class SectionReader {
 public:
  SectionReader(const std::string& section, uint32_t sectionRva) : section_(section), sectionRva_(sectionRva) {}

  bool read(ResourceTree& tree) {
    std::vector<Entry> types;
    if (!table(0, 0, types)) return false;
    for (const Entry& type : types) {
      std::vector<Entry> names;
      if (!table(type.target, 1, names)) return false;
      ResourceNames& namesOut = tree[type.name];
      for (const Entry& name : names) {
        std::vector<Entry> languages;
        if (!table(name.target, 2, languages)) return false;
        ResourceLanguages& languagesOut = namesOut[name.name];
        for (const Entry& language : languages) {
          if (!data(language.target, languagesOut[language.name])) return false;
        }
      }
    }
    return true;
  }

  // The first language's data of one resource; the other tables are not read.
  bool readOne(const ResourceName& type, const ResourceName& name, std::optional<ResourceData>& out) {
    out.reset();
    std::vector<Entry> types;
    if (!table(0, 0, types)) return false;
    const Entry* typeEntry = find(types, type);
    if (typeEntry == nullptr) return true;
    std::vector<Entry> names;
    if (!table(typeEntry->target, 1, names)) return false;
    const Entry* nameEntry = find(names, name);
    if (nameEntry == nullptr) return true;
    std::vector<Entry> languages;
    if (!table(nameEntry->target, 2, languages)) return false;
    if (languages.empty()) return true;
    const auto first = std::min_element(languages.begin(), languages.end(),
                                        [](const Entry& a, const Entry& b) { return a.name < b.name; });
    out.emplace();
    return data(first->target, *out);
  }

  const std::wstring& why() const { return why_; }

 private:
  bool fail(const wchar_t* why) {
    why_ = why;
    return false;
  }

  static const Entry* find(const std::vector<Entry>& entries, const ResourceName& name) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&name](const Entry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
  }

  // level 0 holds types, 1 names, 2 languages.
  bool table(uint32_t target, int level, std::vector<Entry>& entries) {
    const bool isTable = (target & kHighBit) != 0;
    if (level == 0) {
      target = kHighBit;  // the root
    } else if (!isTable) {
      return fail(L"a type or name entry leads to data instead of a directory table");
    }
    const uint32_t offset = target & ~kHighBit;
    if (!visited_.insert(offset).second) return fail(L"a directory table is reached twice");
    uint16_t named = 0;
    uint16_t numbered = 0;
    if (!readU16(section_, size_t{offset} + 12, named) || !readU16(section_, size_t{offset} + 14, numbered)) {
      return fail(L"a directory table lies outside the section");
    }
    const size_t count = size_t{named} + numbered;
    if (!fitsIn(section_.size(), size_t{offset} + kTableHeaderSize, count * kEntrySize)) {
      return fail(L"a directory table's entries lie outside the section");
    }
    tablesTotal_ += kTableHeaderSize + count * kEntrySize;
    if (tablesTotal_ > section_.size()) return fail(L"the directory tables overlap");
    std::set<ResourceName> seen;
    for (size_t i = 0; i < count; ++i) {
      const size_t at = offset + kTableHeaderSize + i * kEntrySize;
      uint32_t nameField = 0;
      Entry entry;
      readU32(section_, at, nameField);
      readU32(section_, at + 4, entry.target);
      if (!name(nameField, entry.name)) return false;
      if (!seen.insert(entry.name).second) return fail(L"a directory table names one entry twice");
      if (level == 2 && (entry.target & kHighBit) != 0) {
        return fail(L"a language entry leads to a directory table instead of data");
      }
      entries.push_back(std::move(entry));
    }
    return true;
  }

  bool name(uint32_t field, ResourceName& out) {
    if ((field & kHighBit) == 0) {
      out = ResourceName::number(field);
      return true;
    }
    const size_t offset = field & ~kHighBit;
    uint16_t length = 0;
    if (!readU16(section_, offset, length) || !fitsIn(section_.size(), offset + 2, size_t{length} * 2)) {
      return fail(L"a resource name lies outside the section");
    }
    // Every name is copied wherever it is used, so their total is bounded.
    namesTotal_ += 2 + size_t{length} * 2;
    if (namesTotal_ > section_.size()) return fail(L"the resource names add up to more than the section holds");
    std::u16string text;
    for (size_t i = 0; i < length; ++i) {
      uint16_t unit = 0;
      readU16(section_, offset + 2 + 2 * i, unit);
      text += static_cast<char16_t>(unit);
    }
    out = ResourceName::string(std::move(text));
    return true;
  }

  bool data(uint32_t offset, ResourceData& out) {
    uint32_t rva = 0;
    uint32_t size = 0;
    if (!readU32(section_, offset, rva) || !readU32(section_, size_t{offset} + 4, size) ||
        !readU32(section_, size_t{offset} + 8, out.codePage)) {
      return fail(L"a resource data entry lies outside the section");
    }
    if (rva < sectionRva_ || !fitsIn(section_.size(), rva - sectionRva_, size)) {
      return fail(L"a resource's data lies outside the resource section");
    }
    dataTotal_ += size;
    if (dataTotal_ > section_.size()) return fail(L"the resources' data overlap");
    out.bytes = section_.substr(rva - sectionRva_, size);
    return true;
  }

  const std::string& section_;
  const uint32_t sectionRva_;
  std::set<uint32_t> visited_;
  // What the tables, names and data read add up to: each at most the
  // section's size, so that the tree is proportional to the section.
  uint64_t tablesTotal_ = 0;
  uint64_t namesTotal_ = 0;
  uint64_t dataTotal_ = 0;
  std::wstring why_;
};

// The section's layout, worked out before any byte is written.
class SectionWriter {
 public:
  SectionWriter(const ResourceTree& tree, uint32_t sectionRva) : tree_(tree), sectionRva_(sectionRva) {
    size_t tables = tableSize(tree.size());
    size_t strings = 0;
    size_t leaves = 0;
    auto addString = [&strings](const ResourceName& name) {
      if (name.isString) strings += 2 + 2 * name.text.size();
    };
    for (const auto& [type, names] : tree) {
      addString(type);
      tables += tableSize(names.size());
      for (const auto& [name, languages] : names) {
        addString(name);
        tables += tableSize(languages.size());
        for (const auto& language : languages) {
          addString(language.first);
          ++leaves;
        }
      }
    }
    tablesEnd_ = tables;
    dataEntriesStart_ = alignUp(tables + strings, kDataAlignment);
    dataStart_ = alignUp(dataEntriesStart_ + leaves * kDataEntrySize, kDataAlignment);
  }

  std::string write() {
    // Tables in breadth-first order: the root, the types' tables, the names'.
    size_t nextTable = tableSize(tree_.size());
    std::vector<Entry> rootEntries;
    for (const auto& [type, names] : tree_) {
      rootEntries.push_back(Entry{type, kHighBit | static_cast<uint32_t>(nextTable)});
      nextTable += tableSize(names.size());
    }
    writeTable(rootEntries);
    for (const auto& [type, names] : tree_) {
      std::vector<Entry> entries;
      for (const auto& [name, languages] : names) {
        entries.push_back(Entry{name, kHighBit | static_cast<uint32_t>(nextTable)});
        nextTable += tableSize(languages.size());
      }
      writeTable(entries);
    }
    size_t nextDataEntry = dataEntriesStart_;
    for (const auto& [type, names] : tree_) {
      for (const auto& [name, languages] : names) {
        std::vector<Entry> entries;
        for (const auto& language : languages) {
          entries.push_back(Entry{language.first, static_cast<uint32_t>(nextDataEntry)});
          nextDataEntry += kDataEntrySize;
        }
        writeTable(entries);
      }
    }

    bytes_ += strings_;
    padTo(bytes_, kDataAlignment);
    size_t nextData = dataStart_;
    std::string data;
    for (const auto& [type, names] : tree_) {
      for (const auto& [name, languages] : names) {
        for (const auto& [language, resource] : languages) {
          appendU32(bytes_, sectionRva_ + static_cast<uint32_t>(nextData));
          appendU32(bytes_, static_cast<uint32_t>(resource.bytes.size()));
          appendU32(bytes_, resource.codePage);
          appendU32(bytes_, 0);
          data += resource.bytes;
          padTo(data, kDataAlignment);
          nextData = dataStart_ + data.size();
        }
      }
    }
    padTo(bytes_, kDataAlignment);
    bytes_ += data;
    return bytes_;
  }

 private:
  static size_t tableSize(size_t entries) { return kTableHeaderSize + entries * kEntrySize; }

  void writeTable(const std::vector<Entry>& entries) {
    uint16_t named = 0;
    for (const Entry& entry : entries) named += entry.name.isString ? 1 : 0;
    appendU32(bytes_, 0);  // characteristics
    appendU32(bytes_, 0);  // time stamp
    appendU32(bytes_, 0);  // major and minor version
    appendU16(bytes_, named);
    appendU16(bytes_, static_cast<uint16_t>(entries.size() - named));
    for (const Entry& entry : entries) {
      if (entry.name.isString) {
        appendU32(bytes_, kHighBit | static_cast<uint32_t>(tablesEnd_ + strings_.size()));
        appendU16(strings_, static_cast<uint16_t>(entry.name.text.size()));
        for (char16_t unit : entry.name.text) appendU16(strings_, static_cast<uint16_t>(unit));
      } else {
        appendU32(bytes_, entry.name.id);
      }
      appendU32(bytes_, entry.target);
    }
  }

  const ResourceTree& tree_;
  const uint32_t sectionRva_;
  size_t tablesEnd_ = 0;
  size_t dataEntriesStart_ = 0;
  size_t dataStart_ = 0;
  std::string bytes_;
  std::string strings_;
};

}  // namespace

bool parseResourceSection(const std::string& section, uint32_t sectionRva, ResourceTree& tree, std::wstring& why) {
  tree.clear();
  SectionReader reader(section, sectionRva);
  if (reader.read(tree)) return true;
  why = reader.why();
  tree.clear();
  return false;
}

bool readOneResource(const std::string& section, uint32_t sectionRva, uint32_t type, uint32_t name,
                     std::optional<ResourceData>& data, std::wstring& why) {
  SectionReader reader(section, sectionRva);
  if (reader.readOne(ResourceName::number(type), ResourceName::number(name), data)) return true;
  why = reader.why();
  data.reset();
  return false;
}

std::string serialiseResourceSection(const ResourceTree& tree, uint32_t sectionRva) {
  return SectionWriter(tree, sectionRva).write();
}

const ResourceData* findResource(const ResourceTree& tree, uint32_t type, uint32_t name) {
  const auto types = tree.find(ResourceName::number(type));
  if (types == tree.end()) return nullptr;
  const auto names = types->second.find(ResourceName::number(name));
  if (names == types->second.end() || names->second.empty()) return nullptr;
  return &names->second.begin()->second;
}

}  // namespace tarn::stamper
