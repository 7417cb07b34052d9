#include "stamper/pe_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "stamper/byte_order.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(PeImage, ReadsTheHeadersOfBothKinds) {
  for (bool pe32Plus : {false, true}) {
    SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
    test::PeFixture fixture;
    fixture.pe32Plus = pe32Plus;
    fixture.after = {test::PeFixture::relocationSection(pe32Plus)};
    const std::string file = test::buildPe(fixture);
    PeImage image;
    std::wstring why;
    ASSERT_TRUE(parsePeImage(file, image, why)) << narrow(why);
    EXPECT_EQ(image.pe32Plus, pe32Plus);
    EXPECT_EQ(image.fileAlignment, 0x200u);
    EXPECT_EQ(image.sectionAlignment, 0x1000u);
    EXPECT_EQ(image.sizeOfHeaders, 0x400u);
    EXPECT_EQ(image.directories.size(), 16u);
    ASSERT_EQ(image.sections.size(), 3u);
    EXPECT_EQ(image.sections[0].name, ".text");
    EXPECT_EQ(image.sections[1].name, ".rsrc");
    EXPECT_EQ(image.sections[1].virtualAddress, test::kFixtureResourceRva);
    EXPECT_EQ(image.sections[1].pointerToRawData, 0x600u);
    EXPECT_EQ(image.directory(kResourceDirectory).address, test::kFixtureResourceRva);
    EXPECT_EQ(image.directory(kBaseRelocationDirectory).address, image.sections[2].virtualAddress);
    EXPECT_EQ(image.directory(kBaseRelocationDirectory).size, 12u);
    EXPECT_EQ(image.sizeOfImage, image.sections[2].virtualAddress + 0x1000);
    EXPECT_EQ(image.checksum, test::referenceChecksum(file, image.checksumOffset()));
    EXPECT_EQ(image.sectionAt(test::kFixtureResourceRva + 5), 1);
    EXPECT_EQ(image.sectionAt(0x500), -1);
  }
}

// "/4" names the string at offset 4 of the COFF string table, which follows
// the symbol table (no symbols here). A name longer than any real one is not
// copied: every section could name it.
TEST(PeImage, LooksUpLongSectionNames) {
  const struct {
    std::string strings;
    const char* name;
  } cases[] = {
      {std::string("\x10\0\0\0.debug_info\0", 16), ".debug_info"},
      {std::string("\0\0\0\0", 4) + std::string(255, 'n') + '\0', nullptr},
      {std::string("\0\0\0\0", 4) + std::string(256, 'n') + '\0', "/4"},
      {std::string("\0\0\0\0unterminated", 16), "/4"},
  };
  for (const auto& c : cases) {
    test::PeFixture fixture;
    fixture.after.push_back(test::FixtureSection{"/4", test::kRelocationCharacteristics, "debug"});
    fixture.trailing = c.strings;
    fixture.symbolTableInTrailing = true;
    PeImage image;
    std::wstring why;
    ASSERT_TRUE(parsePeImage(test::buildPe(fixture), image, why)) << narrow(why);
    ASSERT_EQ(image.sections.size(), 4u);
    EXPECT_EQ(image.sections[3].name, c.name != nullptr ? std::string(c.name) : std::string(255, 'n'));
  }
}

TEST(PeImage, RefusesWhatIsNoImage) {
  const std::string good = test::buildPe(test::PeFixture{});
  const size_t optional = 0x84 + 20;
  const struct {
    const char* name;
    std::function<void(std::string&)> breakIt;
    const wchar_t* why;
  } cases[] = {
      {"empty", [](std::string& f) { f.clear(); }, L"too short for a DOS header"},
      {"text", [](std::string& f) { f = std::string(100, 'x'); }, L"no MZ signature"},
      {"header offset past the end", [](std::string& f) { putU32(f, 0x3C, 0xFFFFFFF0); }, L"points outside"},
      {"no PE signature", [](std::string& f) { f[0x81] = 'X'; }, L"no PE signature"},
      {"cut inside the file header", [](std::string& f) { f.resize(0x90); }, L"points outside"},
      {"unknown magic", [=](std::string& f) { putU16(f, optional, 0x107); }, L"neither PE32 nor PE32+"},
      {"optional header too small", [](std::string& f) { putU16(f, 0x84 + 16, 100); }, L"cut short"},
      {"directories do not fit", [](std::string& f) { putU16(f, 0x84 + 16, 112 + 8); }, L"too small for its data"},
      {"zero file alignment", [=](std::string& f) { putU32(f, optional + 36, 0); }, L"alignments"},
      {"file alignment above the section's", [=](std::string& f) { putU32(f, optional + 36, 0x2000); }, L"alignments"},
      {"section table past the end", [](std::string& f) { putU16(f, 0x84 + 2, 2000); }, L"section table lies outside"},
      {"section data past the end", [=](std::string& f) { putU32(f, optional + 240 + 40 + 16, 0x10000000); },
       L"section .rsrc lies outside"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = good;
    c.breakIt(file);
    PeImage image;
    std::wstring why;
    EXPECT_FALSE(parsePeImage(file, image, why));
    EXPECT_NE(why.find(c.why), std::wstring::npos) << narrow(why);
  }
}

TEST(PeImage, ChecksumAgreesWithASumFoldedOnce) {
  for (size_t size : {0u, 1u, 2u, 3u, 255u, 4096u, 70001u}) {
    for (size_t checksumOffset : {0u, 1u, 64u}) {
      SCOPED_TRACE(testing::Message() << size << " bytes, checksum at " << checksumOffset);
      std::string bytes;
      uint32_t state = static_cast<uint32_t>(size) * 2654435761u + 1;
      for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        // Runs of 0xFF make the sum carry often.
        bytes += static_cast<char>(i % 300 < 200 ? 0xFF : state >> 24);
      }
      if (size < checksumOffset + 4) bytes.resize(checksumOffset + 4, '\x7F');
      const uint32_t sum = peChecksum(bytes, checksumOffset);
      EXPECT_EQ(sum, test::referenceChecksum(bytes, checksumOffset));
      // The field itself does not count.
      putU32(bytes, checksumOffset, sum);
      EXPECT_EQ(peChecksum(bytes, checksumOffset), sum);
    }
  }
}

}  // namespace
}  // namespace tarn::stamper
