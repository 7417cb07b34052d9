#include "stamper/version_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

TEST(VersionResource, ReadsVersionTexts) {
  const struct {
    const wchar_t* text;
    bool ok;
    VersionNumber expected;
  } cases[] = {
      {L"1", true, {{1, 0, 0, 0}}},
      {L"1.2", true, {{1, 2, 0, 0}}},
      {L"1.2.3", true, {{1, 2, 3, 0}}},
      {L"65535.0.7.65535", true, {{65535, 0, 7, 65535}}},
      {L"007.0", true, {{7, 0, 0, 0}}},
      {L"", false, {}},
      {L".", false, {}},
      {L"1.", false, {}},
      {L".1", false, {}},
      {L"1..2", false, {}},
      {L"1.2.3.4.5", false, {}},
      {L"65536", false, {}},
      {L"99999999999999999999", false, {}},
      {L"1.a", false, {}},
      {L" 1", false, {}},
      {L"1 ", false, {}},
      {L"-1", false, {}},
      {L"+1", false, {}},
      {L"1,2", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    VersionNumber version;
    EXPECT_EQ(parseVersionText(c.text, version), c.ok);
    if (!c.ok) continue;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(version.parts[i], c.expected.parts[i]);
  }
}

// One block of the version resource, read back the way the system's
// version functions walk it.
struct Block {
  uint16_t length = 0;
  uint16_t valueLength = 0;
  uint16_t type = 0;
  std::u16string key;
  std::string value;
  std::vector<Block> children;
};

size_t align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Reads the block at `offset` (4-aligned from the resource's start) that
// must end by `limit`; records a failure and returns false when it does not.
bool readBlock(const std::string& bytes, size_t offset, size_t limit, Block& block) {
  EXPECT_EQ(offset % 4, 0u);
  if (!readU16(bytes, offset, block.length) || !readU16(bytes, offset + 2, block.valueLength) ||
      !readU16(bytes, offset + 4, block.type)) {
    ADD_FAILURE() << "block header at " << offset << " outside the resource";
    return false;
  }
  const size_t end = offset + block.length;
  if (end > limit) {
    ADD_FAILURE() << "block at " << offset << " runs past its parent";
    return false;
  }
  size_t at = offset + 6;
  for (uint16_t unit = 0; readU16(bytes, at, unit) && (at += 2, unit != 0);) block.key += static_cast<char16_t>(unit);
  at = align4(at);
  // Text values count UTF-16 units, binary ones bytes.
  const size_t valueBytes = block.type == 1 ? 2u * block.valueLength : block.valueLength;
  if (at + valueBytes > end) {
    ADD_FAILURE() << "value of block at " << offset << " runs past it";
    return false;
  }
  block.value = bytes.substr(at, valueBytes);
  at = align4(at + valueBytes);
  while (at < end) {
    Block child;
    if (!readBlock(bytes, at, end, child)) return false;
    at = align4(at + child.length);
    block.children.push_back(child);
  }
  return true;
}

std::string utf16Value(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) appendU16(bytes, static_cast<uint16_t>(unit));
  appendU16(bytes, 0);
  return bytes;
}

uint32_t fixedField(const Block& root, size_t index) {
  uint32_t value = 0;
  readU32(root.value, 4 * index, value);
  return value;
}

TEST(VersionResource, LaysOutTheBlocksAsTheSystemReadsThem) {
  VersionInfo info;
  parseVersionText(L"1.2.3.4", info.fileVersion);
  parseVersionText(L"5.6", info.productVersion);
  // Keys and values of odd and even lengths, an empty value, and a
  // character outside the basic plane (two UTF-16 units).
  info.strings = {{L"CompanyName", L"ACME"},
                  {L"ProductName", L"Zo\u00EB \U0001D11E"},
                  {L"Comments", L""},
                  {L"ProductVersion", L"5.6"}};
  std::string bytes;
  ASSERT_TRUE(versionResource(info, bytes));

  Block root;
  ASSERT_TRUE(readBlock(bytes, 0, bytes.size(), root));
  EXPECT_EQ(root.length, bytes.size());
  EXPECT_EQ(root.key, u"VS_VERSION_INFO");
  EXPECT_EQ(root.type, 0);
  ASSERT_EQ(root.valueLength, 52);
  EXPECT_EQ(fixedField(root, 0), 0xFEEF04BDu);
  EXPECT_EQ(fixedField(root, 1), 0x00010000u);
  EXPECT_EQ(fixedField(root, 2), 0x00010002u);  // file version
  EXPECT_EQ(fixedField(root, 3), 0x00030004u);
  EXPECT_EQ(fixedField(root, 4), 0x00050006u);  // product version
  EXPECT_EQ(fixedField(root, 5), 0u);
  EXPECT_EQ(fixedField(root, 6), 0x3Fu);  // flags mask
  EXPECT_EQ(fixedField(root, 7), 0u);
  EXPECT_EQ(fixedField(root, 8), 0x00040004u);  // VOS_NT_WINDOWS32
  EXPECT_EQ(fixedField(root, 9), 1u);           // VFT_APP

  ASSERT_EQ(root.children.size(), 2u);
  const Block& stringInfo = root.children[0];
  EXPECT_EQ(stringInfo.key, u"StringFileInfo");
  EXPECT_EQ(stringInfo.type, 1);
  ASSERT_EQ(stringInfo.children.size(), 1u);
  const Block& table = stringInfo.children[0];
  EXPECT_EQ(table.key, u"040904B0");
  EXPECT_EQ(table.valueLength, 0);
  ASSERT_EQ(table.children.size(), 4u);
  const std::u16string keys[] = {u"CompanyName", u"ProductName", u"Comments", u"ProductVersion"};
  const std::u16string values[] = {u"ACME", u"Zo\u00EB \U0001D11E", u"", u"5.6"};
  for (size_t i = 0; i < 4; ++i) {
    const Block& string = table.children[i];
    EXPECT_EQ(string.key, keys[i]);
    EXPECT_EQ(string.type, 1);
    EXPECT_EQ(string.valueLength, values[i].size() + 1);
    EXPECT_EQ(string.value, utf16Value(values[i]));
  }

  const Block& varInfo = root.children[1];
  EXPECT_EQ(varInfo.key, u"VarFileInfo");
  ASSERT_EQ(varInfo.children.size(), 1u);
  const Block& translation = varInfo.children[0];
  EXPECT_EQ(translation.key, u"Translation");
  EXPECT_EQ(translation.type, 0);
  EXPECT_EQ(translation.valueLength, 4);
  EXPECT_EQ(translation.value, std::string("\x09\x04\xB0\x04", 4));
}

TEST(VersionResource, RefusesStringsTooLongForTheBlocks) {
  VersionInfo info;
  info.strings = {{L"Comments", std::wstring(20000, L'x')}, {L"ProductName", std::wstring(20000, L'y')}};
  std::string bytes;
  EXPECT_FALSE(versionResource(info, bytes));
  info.strings.pop_back();
  EXPECT_TRUE(versionResource(info, bytes));
}

}  // namespace
}  // namespace tarn::stamper
