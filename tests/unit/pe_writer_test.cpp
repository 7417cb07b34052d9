#include "stamper/pe_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "stamper/byte_order.h"
#include "stamper/resource_tree.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

PeImage parsed(const std::string& file) {
  PeImage image;
  std::wstring why;
  EXPECT_TRUE(parsePeImage(file, image, why)) << narrow(why);
  return image;
}

std::string rawData(const std::string& file, const SectionHeader& section) {
  return file.substr(section.pointerToRawData, section.sizeOfRawData);
}

struct Rebuilt {
  bool ok = false;
  std::string file;
  RebuildNotes notes;
  std::wstring why;
};

Rebuilt rebuild(const std::string& file, const ResourceTree& tree) {
  Rebuilt result;
  const PeImage image = parsed(file);
  result.ok = rebuildWithResources(file, image, serialiseResourceSection(tree, test::kFixtureResourceRva), result.file,
                                   result.notes, result.why);
  return result;
}

ResourceTree grown() {
  ResourceTree tree = test::PeFixture::launcherResources();
  tree[ResourceName::number(kRtRcData)][ResourceName::number(8000)][ResourceName::number(1033)] =
      test::resourceData(std::string(10000, 'g'));
  return tree;
}

ResourceTree shrunk() {
  ResourceTree tree;
  tree[ResourceName::number(kRtRcData)][ResourceName::number(8001)][ResourceName::number(0)] =
      test::resourceData("Tarn launcher");
  return tree;
}

TEST(PeWriter, RebuildsAroundLargerAndSmallerResources) {
  for (bool pe32Plus : {false, true}) {
    test::PeFixture fixture;
    fixture.pe32Plus = pe32Plus;
    fixture.resources = grown();  // so that shrinking crosses a page
    fixture.after = {test::PeFixture::relocationSection(pe32Plus)};
    const std::string input = test::buildPe(fixture);
    const PeImage before = parsed(input);
    for (const ResourceTree& tree : {grown(), shrunk(), test::PeFixture::launcherResources()}) {
      SCOPED_TRACE(testing::Message() << (pe32Plus ? "PE32+, " : "PE32, ") << tree.size() << " types");
      const Rebuilt result = rebuild(input, tree);
      ASSERT_TRUE(result.ok) << narrow(result.why);
      EXPECT_FALSE(result.notes.certificateDropped);
      const std::string& output = result.file;
      const PeImage after = parsed(output);
      const std::string resources = serialiseResourceSection(tree, test::kFixtureResourceRva);
      const uint32_t rawSize = static_cast<uint32_t>(alignUp(resources.size(), 0x200));
      ASSERT_EQ(after.sections.size(), 3u);

      // Headers and code before the resources are as they were, but for the
      // fields the rebuild owns.
      std::string headers = output.substr(0, after.sectionTableOffset);
      for (size_t field :
           {after.sizeOfInitializedDataOffset(), after.sizeOfImageOffset(), after.checksumOffset(),
            after.directoryOffset(kResourceDirectory) + 4, after.directoryOffset(kBaseRelocationDirectory)}) {
        putU32(headers, field, 0);
      }
      std::string oldHeaders = input.substr(0, before.sectionTableOffset);
      for (size_t field :
           {before.sizeOfInitializedDataOffset(), before.sizeOfImageOffset(), before.checksumOffset(),
            before.directoryOffset(kResourceDirectory) + 4, before.directoryOffset(kBaseRelocationDirectory)}) {
        putU32(oldHeaders, field, 0);
      }
      EXPECT_EQ(headers, oldHeaders);
      EXPECT_EQ(output.substr(after.sectionHeaderOffset(0), 40), input.substr(before.sectionHeaderOffset(0), 40));
      EXPECT_EQ(rawData(output, after.sections[0]), rawData(input, before.sections[0]));

      // The resource section in its old place with its new size.
      const SectionHeader& rsrc = after.sections[1];
      EXPECT_EQ(rsrc.virtualAddress, test::kFixtureResourceRva);
      EXPECT_EQ(rsrc.pointerToRawData, before.sections[1].pointerToRawData);
      EXPECT_EQ(rsrc.virtualSize, resources.size());
      EXPECT_EQ(rsrc.sizeOfRawData, rawSize);
      EXPECT_EQ(rawData(output, rsrc), resources + std::string(rawSize - resources.size(), '\0'));
      EXPECT_EQ(after.directory(kResourceDirectory).address, test::kFixtureResourceRva);
      EXPECT_EQ(after.directory(kResourceDirectory).size, resources.size());

      // The relocations right after it, unchanged, and their directory with them.
      const SectionHeader& reloc = after.sections[2];
      EXPECT_EQ(reloc.virtualAddress, alignUp(test::kFixtureResourceRva + resources.size(), 0x1000));
      EXPECT_EQ(reloc.pointerToRawData, rsrc.pointerToRawData + rawSize);
      EXPECT_EQ(reloc.virtualSize, before.sections[2].virtualSize);
      EXPECT_EQ(rawData(output, reloc), rawData(input, before.sections[2]));
      EXPECT_EQ(after.directory(kBaseRelocationDirectory).address, reloc.virtualAddress);
      EXPECT_EQ(after.directory(kBaseRelocationDirectory).size, 12u);

      EXPECT_EQ(output.size(), reloc.pointerToRawData + reloc.sizeOfRawData);
      EXPECT_EQ(after.sizeOfImage, reloc.virtualAddress + 0x1000);
      EXPECT_EQ(after.sizeOfInitializedData, before.sizeOfInitializedData - before.sections[1].sizeOfRawData + rawSize);
      EXPECT_EQ(after.checksum, test::referenceChecksum(output, after.checksumOffset()));

      ResourceTree read;
      std::wstring why;
      ASSERT_TRUE(
          parseResourceSection(output.substr(rsrc.pointerToRawData, rsrc.virtualSize), rsrc.virtualAddress, read, why));
      EXPECT_EQ(read, tree);
    }
  }
}

TEST(PeWriter, MovesDebugSectionsAndTrailingDataAndDropsTheCertificate) {
  test::PeFixture fixture;
  fixture.after.push_back(test::FixtureSection{"/4", test::kRelocationCharacteristics, std::string(700, 'd')});
  fixture.trailing = "symbol table and strings";  // 8-byte aligned: the certificate follows
  fixture.symbolTableInTrailing = true;
  fixture.certificate = std::string(24, 'c');
  const std::string input = test::buildPe(fixture);
  const PeImage before = parsed(input);
  ASSERT_NE(before.directory(kCertificateDirectory).size, 0u);

  const Rebuilt result = rebuild(input, grown());
  ASSERT_TRUE(result.ok) << narrow(result.why);
  EXPECT_TRUE(result.notes.certificateDropped);
  const PeImage after = parsed(result.file);
  ASSERT_EQ(after.sections.size(), 4u);
  const SectionHeader& debug = after.sections[3];
  EXPECT_EQ(debug.virtualAddress, after.sections[2].virtualAddress + 0x1000);
  EXPECT_EQ(debug.pointerToRawData, after.sections[2].pointerToRawData + 0x200);
  EXPECT_EQ(rawData(result.file, debug), rawData(input, before.sections[3]));
  EXPECT_EQ(after.sizeOfImage, debug.virtualAddress + 0x1000);

  const size_t sectionsEnd = debug.pointerToRawData + debug.sizeOfRawData;
  EXPECT_EQ(result.file.substr(sectionsEnd), "symbol table and strings");
  EXPECT_EQ(after.pointerToSymbolTable, sectionsEnd);
  EXPECT_TRUE(after.directory(kCertificateDirectory).empty());
  EXPECT_EQ(after.checksum, test::referenceChecksum(result.file, after.checksumOffset()));
}

TEST(PeWriter, RefusesLayoutsItCannotRebuild) {
  const struct {
    const char* name;
    std::function<void(test::PeFixture&)> setUp;
    std::function<void(std::string&, const PeImage&)> patch;
    const wchar_t* why;
  } cases[] = {
      {"a writable section after the resources",
       [](test::PeFixture& f) {
         f.after.push_back({".data2", test::kWritableDataCharacteristics, "x"});
       },
       nullptr, L"section .data2 follows the resource section and is not discardable"},
      {"a directory in a section that moves", nullptr,
       [](std::string& file, const PeImage& image) {
         putU32(file, image.directoryOffset(kDebugDirectory), image.sections[2].virtualAddress);
         putU32(file, image.directoryOffset(kDebugDirectory) + 4, 4);
       },
       L"the debug directory lies in or after the resource section"},
      {"a relocation of the resources",
       [](test::PeFixture& f) { f.after = {test::PeFixture::relocationSection(true, test::kFixtureResourceRva)}; },
       nullptr, L"a base relocation applies to the resource section"},
      {"a broken relocation block", nullptr,
       [](std::string& file, const PeImage& image) { putU32(file, image.sections[2].pointerToRawData + 4, 4); },
       L"base relocation block is malformed"},
      {"a certificate inside the code", nullptr,
       [](std::string& file, const PeImage& image) {
         putU32(file, image.directoryOffset(kCertificateDirectory), image.sections[0].pointerToRawData);
         putU32(file, image.directoryOffset(kCertificateDirectory) + 4, 16);
       },
       L"certificate table does not lie after the sections"},
      {"a resource directory inside its section", nullptr,
       [](std::string& file, const PeImage& image) {
         putU32(file, image.directoryOffset(kResourceDirectory), test::kFixtureResourceRva + 8);
       },
       L"the resource directory does not begin a section"},
      {"a symbol table among the relocations", nullptr,
       [](std::string& file, const PeImage& image) {
         putU32(file, image.pointerToSymbolTableOffset(), image.sections[2].pointerToRawData);
       },
       L"COFF symbol table lies inside the resource section or a section after it"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::PeFixture fixture;
    if (c.setUp) c.setUp(fixture);
    std::string input = test::buildPe(fixture);
    if (c.patch) c.patch(input, parsed(input));
    const Rebuilt result = rebuild(input, grown());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.why.find(c.why), std::wstring::npos) << narrow(result.why);
  }
}

}  // namespace
}  // namespace tarn::stamper
