#pragma once
// A PE resource section as a value: type -> name -> language -> data, each
// level keyed by an integer id or a UTF-16 string; read from a section's
// bytes and written back for a given section address.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tarn::stamper {

// Resource types and the language the stamp writes.
constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtString = 6;
constexpr uint32_t kRtRcData = 10;
constexpr uint32_t kRtGroupIcon = 14;
constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kRtManifest = 24;
constexpr uint32_t kEnglishUnitedStates = 1033;

struct ResourceName {
  bool isString = false;
  uint32_t id = 0;      // below 0x80000000
  std::u16string text;  // at most 65535 units

  static ResourceName number(uint32_t id) { return ResourceName{false, id, {}}; }
  static ResourceName string(std::u16string text) { return ResourceName{true, 0, std::move(text)}; }

  bool operator==(const ResourceName& other) const {
    return isString == other.isString && id == other.id && text == other.text;
  }
  bool operator!=(const ResourceName& other) const { return !(*this == other); }
  // The order of a directory table: strings first, by code unit with the
  // shorter of two where one begins the other first, then ids ascending.
  bool operator<(const ResourceName& other) const {
    if (isString != other.isString) return isString;
    return isString ? text < other.text : id < other.id;
  }
};

struct ResourceData {
  std::string bytes;
  uint32_t codePage = 0;

  bool operator==(const ResourceData& other) const { return bytes == other.bytes && codePage == other.codePage; }
  bool operator!=(const ResourceData& other) const { return !(*this == other); }
};

using ResourceLanguages = std::map<ResourceName, ResourceData>;
using ResourceNames = std::map<ResourceName, ResourceLanguages>;
using ResourceTree = std::map<ResourceName, ResourceNames>;

// Reads the directory that begins the section. Data entries hold RVAs: the
// data must lie inside the section. False, with the reason, when the tree is
// not three levels deep, a table, name or piece of data lies outside the
// section, a table is reached twice, one table names an entry twice, or the
// tables, the names (counted at each use) or the data add up to more than
// the section holds (pieces that overlap). The tree is thus at most a small
// multiple of the section's size.
bool parseResourceSection(const std::string& section, uint32_t sectionRva, ResourceTree& tree, std::wstring& why);

// The first language's data of one resource, found without reading the rest
// of the tree; data is empty when there is none. False, with the reason, as
// above, for the tables on the way.
bool readOneResource(const std::string& section, uint32_t sectionRva, uint32_t type, uint32_t name,
                     std::optional<ResourceData>& data, std::wstring& why);

// The section's bytes, for a section at sectionRva: the directory tables
// (breadth first), the name strings, the data entries, then the data, each
// piece aligned to 8 bytes. The tree's names obey the limits above.
std::string serialiseResourceSection(const ResourceTree& tree, uint32_t sectionRva);

// The first language's data of a resource, or null.
const ResourceData* findResource(const ResourceTree& tree, uint32_t type, uint32_t name);

}  // namespace tarn::stamper
