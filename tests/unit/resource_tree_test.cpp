#include "stamper/resource_tree.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "stamper/byte_order.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

constexpr uint32_t kRva = 0x5000;

ResourceName id(uint32_t value) { return ResourceName::number(value); }
ResourceName text(const std::u16string& value) { return ResourceName::string(value); }

std::string directoryTable(uint16_t named, uint16_t numbered) {
  std::string table(12, '\0');
  appendU16(table, named);
  appendU16(table, numbered);
  return table;
}

void appendEntry(std::string& bytes, uint32_t name, uint32_t target) {
  appendU32(bytes, name);
  appendU32(bytes, target);
}

// Laid out by hand, depth first, unlike the writer's order.
TEST(ResourceTree, ReadsASectionLaidOutByHand) {
  std::string section = directoryTable(1, 1);    // 0x00
  appendEntry(section, 0x800000A0, 0x80000020);  // "ZED"
  appendEntry(section, 10, 0x80000038);
  section += directoryTable(0, 1);  // 0x20: ZED
  appendEntry(section, 7, 0x80000050);
  section += directoryTable(1, 0);               // 0x38: 10
  appendEntry(section, 0x800000A8, 0x80000068);  // "ab"
  section += directoryTable(0, 1);               // 0x50: ZED/7
  appendEntry(section, 1033, 0x80);
  section += directoryTable(0, 1);  // 0x68: 10/ab
  appendEntry(section, 0, 0x90);
  appendU32(section, kRva + 0xB0);  // 0x80
  appendU32(section, 3);
  appendU32(section, 1252);
  appendU32(section, 0);
  appendU32(section, kRva + 0xB8);  // 0x90
  appendU32(section, 5);
  appendU32(section, 0);
  appendU32(section, 0);
  ASSERT_EQ(section.size(), 0xA0u);
  section += std::string("\3\0Z\0E\0D\0", 8);        // 0xA0
  section += std::string("\2\0a\0b\0\0\0", 8);       // 0xA8
  section += std::string("xyz\0\0\0\0\0hello", 13);  // 0xB0, 0xB8

  ResourceTree expected;
  expected[text(u"ZED")][id(7)][id(1033)] = ResourceData{"xyz", 1252};
  expected[id(10)][text(u"ab")][id(0)] = ResourceData{"hello", 0};
  ResourceTree tree;
  std::wstring why;
  ASSERT_TRUE(parseResourceSection(section, kRva, tree, why)) << why;
  EXPECT_EQ(tree, expected);
}

// The entries of the table at `offset`: name fields and targets.
std::vector<std::pair<uint32_t, uint32_t>> tableEntries(const std::string& section, uint32_t offset) {
  uint16_t named = 0;
  uint16_t numbered = 0;
  readU16(section, offset + 12, named);
  readU16(section, offset + 14, numbered);
  std::vector<std::pair<uint32_t, uint32_t>> entries;
  for (size_t i = 0; i < size_t{named} + numbered; ++i) {
    uint32_t name = 0;
    uint32_t target = 0;
    readU32(section, offset + 16 + 8 * i, name);
    readU32(section, offset + 20 + 8 * i, target);
    entries.emplace_back(name, target);
  }
  return entries;
}

std::u16string nameAt(const std::string& section, uint32_t field) {
  const uint32_t offset = field & 0x7FFFFFFF;
  uint16_t length = 0;
  readU16(section, offset, length);
  std::u16string name;
  for (uint16_t i = 0; i < length; ++i) {
    uint16_t unit = 0;
    readU16(section, offset + 2 + 2 * i, unit);
    name += static_cast<char16_t>(unit);
  }
  return name;
}

TEST(ResourceTree, WritesNamesBeforeIdsInOrderAndAlignsData) {
  ResourceTree tree = test::PeFixture::launcherResources();
  for (const char16_t* name : {u"b", u"ab", u"a"}) tree[text(name)][id(1)][id(0)] = test::resourceData("odd");
  const std::string section = serialiseResourceSection(tree, kRva);

  const auto root = tableEntries(section, 0);
  uint16_t named = 0;
  readU16(section, 12, named);
  EXPECT_EQ(named, 4);
  std::vector<std::u16string> names;
  std::vector<uint32_t> ids;
  for (const auto& [name, target] : root) {
    if (name & 0x80000000) {
      EXPECT_TRUE(ids.empty()) << "a named entry after an id";
      names.push_back(nameAt(section, name));
    } else {
      ids.push_back(name);
    }
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"CUSTOM", u"a", u"ab", u"b"}));
  EXPECT_EQ(ids, (std::vector<uint32_t>{3, 5, 6, 10, 14, 16, 24}));

  // Every piece of data starts on an 8-byte boundary.
  for (const auto& type : root) {
    for (const auto& name : tableEntries(section, type.second & 0x7FFFFFFF)) {
      for (const auto& language : tableEntries(section, name.second & 0x7FFFFFFF)) {
        uint32_t rva = 0;
        ASSERT_TRUE(readU32(section, language.second, rva));
        EXPECT_EQ((rva - kRva) % 8, 0u);
      }
    }
  }
}

TEST(ResourceTree, ReadsBackWhatItWrites) {
  ResourceTree launcher = test::PeFixture::launcherResources();
  ResourceTree odd;
  // A surrogate pair and an unpaired surrogate pass as code units.
  const std::u16string units{u'\u00E9', char16_t(0xD83D), char16_t(0xDE00), char16_t(0xDC00)};
  odd[text(u"")][text(units)][text(u"LANG")] = ResourceData{std::string(1, '\0'), 65001};
  odd[id(0x7FFFFFFF)][id(0)][id(0)] = ResourceData{std::string(), 0};
  odd[id(3)];         // a type without names
  odd[id(4)][id(9)];  // a name without languages
  for (const ResourceTree* tree : {&launcher, &odd}) {
    for (uint32_t rva : {0x1000u, 0x7FFF0000u}) {
      ResourceTree read;
      std::wstring why;
      ASSERT_TRUE(parseResourceSection(serialiseResourceSection(*tree, rva), rva, read, why)) << why;
      EXPECT_EQ(read, *tree);
    }
  }
}

TEST(ResourceTree, RefusesBrokenSections) {
  // {3: {1: {1033: "abcd"}}}: tables at 0, 24 and 48, the data entry at 72,
  // the data at 88.
  ResourceTree small;
  small[id(3)][id(1)][id(1033)] = test::resourceData("abcd");
  const std::string good = serialiseResourceSection(small, kRva);
  ASSERT_EQ(good.size(), 96u);

  const struct {
    const char* name;
    std::function<void(std::string&)> breakIt;
    const wchar_t* why;
  } cases[] = {
      {"empty section", [](std::string& s) { s.clear(); }, L"directory table lies outside"},
      {"too many root entries", [](std::string& s) { putU16(s, 14, 20); }, L"entries lie outside"},
      {"name string outside",
       [](std::string& s) {
         putU16(s, 12, 1);
         putU16(s, 14, 0);
         putU32(s, 16, 0x80000000 | 95);
       },
       L"resource name lies outside"},
      {"type leads to data", [](std::string& s) { putU32(s, 20, 24); }, L"leads to data"},
      {"language leads to a table", [](std::string& s) { putU32(s, 68, 0x80000000 | 72); }, L"leads to a directory"},
      {"table reached twice", [](std::string& s) { putU32(s, 44, 0x80000000); }, L"reached twice"},
      {"data entry outside", [](std::string& s) { putU32(s, 68, 90); }, L"data entry lies outside"},
      {"data before the section", [](std::string& s) { putU32(s, 72, kRva - 8); }, L"data lies outside"},
      {"data past the end", [](std::string& s) { putU32(s, 76, 9); }, L"data lies outside"},
      {"one name twice",
       [](std::string& s) {
         putU16(s, 14, 2);
         s.replace(24, 8, s.substr(16, 8));
       },
       L"names one entry twice"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string section = good;
    c.breakIt(section);
    ResourceTree tree;
    std::wstring why;
    EXPECT_FALSE(parseResourceSection(section, kRva, tree, why));
    EXPECT_NE(why.find(c.why), std::wstring::npos) << std::string(why.begin(), why.end());
    EXPECT_TRUE(tree.empty());
  }
}

TEST(ResourceTree, RefusesDataThatOverlaps) {
  // Two languages whose data entries name the same bytes, each most of the section.
  ResourceTree tree;
  tree[id(10)][id(1)][id(1)] = test::resourceData(std::string(100, 'x'));
  tree[id(10)][id(1)][id(2)] = test::resourceData(std::string(100, 'y'));
  std::string section = serialiseResourceSection(tree, kRva);
  std::vector<std::pair<uint32_t, uint32_t>> languages = tableEntries(section, 48);
  ASSERT_EQ(languages.size(), 2u);
  uint32_t first = 0;
  readU32(section, languages[0].second, first);
  putU32(section, languages[1].second, first);
  putU32(section, languages[0].second + 4, 200);
  putU32(section, languages[1].second + 4, 200);
  ASSERT_GE(section.size(), first - kRva + 200);
  ResourceTree read;
  std::wstring why;
  EXPECT_FALSE(parseResourceSection(section, kRva, read, why));
  EXPECT_EQ(why, L"the resources' data overlap");
}

// What is read is bounded by the section: a name used by many tables, or
// tables laid over one another, would otherwise make a small section read
// as a tree many times its size.
TEST(ResourceTree, RefusesSectionsThatReadAsMoreThanTheyHold) {
  // One name of 100 units, used by the type, the name and the language:
  // 3 * 202 bytes of names in a section of 294.
  std::string names = directoryTable(1, 0);  // 0x00
  appendEntry(names, 0x80000058, 0x80000018);
  names += directoryTable(1, 0);  // 0x18
  appendEntry(names, 0x80000058, 0x80000030);
  names += directoryTable(1, 0);  // 0x30
  appendEntry(names, 0x80000058, 0x48);
  appendU32(names, kRva + 0x58 + 202);  // 0x48: the data entry
  appendU32(names, 4);
  appendU32(names, 0);
  appendU32(names, 0);
  appendU16(names, 100);  // 0x58: the name
  for (int i = 0; i < 100; ++i) appendU16(names, 'N');
  names += "data";
  ASSERT_EQ(names.size(), 294u);

  // Two empty type tables, 8 bytes apart: 64 bytes of tables in 56.
  std::string tables = directoryTable(0, 2);  // 0x00
  appendEntry(tables, 1, 0x80000020);
  appendEntry(tables, 2, 0x80000028);
  tables += std::string(24, '\0');  // 0x20 and 0x28

  const struct {
    const char* name;
    const std::string& section;
    const wchar_t* why;
  } cases[] = {
      {"one long name used thrice", names, L"the resource names add up to more than the section holds"},
      {"tables that overlap", tables, L"the directory tables overlap"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResourceTree tree;
    std::wstring why;
    EXPECT_FALSE(parseResourceSection(c.section, kRva, tree, why));
    EXPECT_EQ(why, c.why);
  }
}

TEST(ResourceTree, ReadsOneResourceAlone) {
  const std::string section = serialiseResourceSection(test::PeFixture::launcherResources(), kRva);
  std::optional<ResourceData> data;
  std::wstring why;
  ASSERT_TRUE(readOneResource(section, kRva, kRtRcData, 8001, data, why)) << why;
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->bytes, "Tarn launcher");
  // The first language of two.
  ResourceTree two;
  two[id(10)][id(1)][id(2057)] = test::resourceData("second");
  two[id(10)][id(1)][id(1033)] = test::resourceData("first");
  ASSERT_TRUE(readOneResource(serialiseResourceSection(two, kRva), kRva, 10, 1, data, why)) << why;
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->bytes, "first");
  // Missing type, missing name.
  for (const auto& [type, name] : {std::pair<uint32_t, uint32_t>{11, 1}, {10, 8002}}) {
    ASSERT_TRUE(readOneResource(section, kRva, type, name, data, why)) << why;
    EXPECT_FALSE(data.has_value());
  }
  // A root table that does not fit.
  std::string broken = section;
  putU16(broken, 14, 0x7FFF);
  EXPECT_FALSE(readOneResource(broken, kRva, kRtRcData, 8001, data, why));
  EXPECT_EQ(why, L"a directory table's entries lie outside the section");
}

}  // namespace
}  // namespace tarn::stamper
