#include "stamper/stamp.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "stamper/byte_order.h"
#include "stamper/pe_image.h"
#include "stamper/resource_tree.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + "image";
const std::string kIni = "[Java Runtime Environment]\nMain Class=com.example.Main\n";

ResourceName id(uint32_t value) { return ResourceName::number(value); }

StampOptions optionsFor(std::vector<std::wstring> arguments) {
  arguments.push_back(L"in.exe");
  arguments.push_back(L"out/run.exe");
  StampOptions options;
  std::wstring why;
  EXPECT_TRUE(parseStampCommandLine(arguments, options, why)) << toUtf8(why);
  return options;
}

struct Stamped {
  bool ok = false;
  std::string file;
  std::vector<std::wstring> notes;
  std::wstring error;
};

Stamped stamp(const StampOptions& options, const StampFiles& files) {
  Stamped result;
  result.ok = stampLauncher(options, files, result.file, result.notes, result.error);
  return result;
}

const std::string kDib = std::string("\x28\0\0\0", 4) + std::string(40, 'd');

StampFiles filesWith(const std::string& launcher) { return StampFiles{launcher, test::iconFile({kPng, kDib}), kIni}; }

using VersionStrings = std::vector<std::pair<std::u16string, std::u16string>>;

// The stamped file's version information, read back by the test's own
// reader: the file version's halves, the product version's, the strings.
void expectVersion(const std::string& file, const std::vector<uint32_t>& numbers, const VersionStrings& strings) {
  const ResourceTree tree = test::resourcesOf(file);
  const ResourceData* version = findResource(tree, kRtVersion, 1);
  ASSERT_NE(version, nullptr);
  const test::VersionRead read = test::readVersionResource(version->bytes);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ((std::vector<uint32_t>{read.fileVersion[0], read.fileVersion[1], read.productVersion[0],
                                   read.productVersion[1]}),
            numbers);
  EXPECT_EQ(read.strings, strings);
}

const std::vector<std::wstring> kAllOptions = {
    L"--icon", L"app.ico",         L"--product-name", L"My App",     L"--product-version",
    L"1.2",    L"--dpi-awareness", L"system",         L"--settings", L"run.ini"};

// The expected resources are written out here, or read back by a reader of
// the test's own, never made by the stamper's writers.
TEST(Stamp, ReplacesWhatTheOptionsNameAndKeepsTheRest) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  const StampFiles files = filesWith(launcher);
  const Stamped result = stamp(optionsFor(kAllOptions), files);
  ASSERT_TRUE(result.ok) << toUtf8(result.error);
  EXPECT_TRUE(result.notes.empty());
  ResourceTree stamped = test::resourcesOf(result.file);

  ResourceTree expected = test::PeFixture::launcherResources();
  // Both images replace both old icons; the group lists them as 1 and 2:
  // the file's header, then each entry's first 12 bytes and the id.
  expected[id(kRtIcon)].clear();
  expected[id(kRtIcon)][id(1)][id(1033)] = test::resourceData(kPng);
  expected[id(kRtIcon)][id(2)][id(1033)] = test::resourceData(kDib);
  const std::string group(
      "\0\0\1\0\2\0"
      "\x10\x10\0\0\1\0\x20\0\x0D\0\0\0\1\0"
      "\x20\x20\0\0\1\0\x20\0\x2C\0\0\0\2\0",
      6 + 2 * 14);
  expected[id(kRtGroupIcon)].clear();
  expected[id(kRtGroupIcon)][id(1)][id(1033)] = test::resourceData(group);

  expectVersion(result.file, {0x00010002, 0, 0x00010002, 0},
                {{u"FileVersion", u"1.2"},
                 {u"InternalName", u"run"},
                 {u"OriginalFilename", u"run.exe"},
                 {u"ProductName", u"My App"},
                 {u"ProductVersion", u"1.2"}});
  expected[id(kRtVersion)] = stamped[id(kRtVersion)];

  // The manifest keeps its language (2057 in the fixture), names the
  // application, and takes the system DPI awareness; the other choices keep
  // their defaults.
  const ResourceLanguages manifests = stamped[id(kRtManifest)][id(1)];
  ASSERT_EQ(manifests.size(), 1u);
  ASSERT_EQ(manifests.begin()->first, id(2057));
  const std::string& manifest = manifests.begin()->second.bytes;
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("name=\"My-App\" version=\"1.2.0.0\"/>\n  <description>My App</description>"),
            std::string::npos)
      << manifest;
  EXPECT_EQ(manifest.find("PerMonitorV2"), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("longPathAware"), std::string::npos) << manifest;
  expected[id(kRtManifest)] = stamped[id(kRtManifest)];

  // The settings: UTF-16 with a byte-order mark, CR LF lines, and the
  // section that says whether a file beside the launcher may set every key.
  std::string settings = "\xFF\xFE";
  for (char c : std::string(
           "[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n[Built-in Settings]\r\nOpen To File=No\r\n")) {
    settings += c;
    settings += '\0';
  }
  expected[id(kRtRcData)][id(8000)][id(1033)] = test::resourceData(settings);

  EXPECT_EQ(stamped, expected);
}

TEST(Stamp, VersionHoldsOnlyWhatIsGiven) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  const Stamped result =
      stamp(optionsFor({L"--company", L"ACME", L"--file-version", L"3", L"--original-file-name", L"app.launcher.exe"}),
            filesWith(launcher));
  ASSERT_TRUE(result.ok) << toUtf8(result.error);
  // The file version alone gives the product version too.
  expectVersion(result.file, {0x00030000, 0, 0x00030000, 0},
                {{u"CompanyName", u"ACME"},
                 {u"FileVersion", u"3"},
                 {u"InternalName", u"app.launcher"},
                 {u"OriginalFilename", u"app.launcher.exe"},
                 {u"ProductVersion", u"3"}});
}

TEST(Stamp, NoOptionsRebuildsWithTheSameResources) {
  for (bool pe32Plus : {false, true}) {
    test::PeFixture fixture;
    fixture.pe32Plus = pe32Plus;
    fixture.after = {test::PeFixture::relocationSection(pe32Plus)};
    const std::string launcher = test::buildPe(fixture);
    const Stamped result = stamp(optionsFor({}), filesWith(launcher));
    ASSERT_TRUE(result.ok) << toUtf8(result.error);
    EXPECT_EQ(test::resourcesOf(result.file), fixture.resources);
  }
}

TEST(Stamp, TwiceIsOnce) {
  for (bool pe32Plus : {false, true}) {
    SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
    test::PeFixture fixture;
    fixture.pe32Plus = pe32Plus;
    fixture.after = {test::PeFixture::relocationSection(pe32Plus)};
    fixture.certificate = "a signature";
    const StampOptions options = optionsFor(kAllOptions);
    const Stamped once = stamp(options, filesWith(test::buildPe(fixture)));
    ASSERT_TRUE(once.ok) << toUtf8(once.error);
    const Stamped twice = stamp(options, filesWith(once.file));
    ASSERT_TRUE(twice.ok) << toUtf8(twice.error);
    EXPECT_TRUE(twice.file == once.file);
  }
}

TEST(Stamp, DropsASignatureWithANote) {
  test::PeFixture fixture;
  fixture.certificate = "a signature";
  const Stamped result = stamp(optionsFor({}), filesWith(test::buildPe(fixture)));
  ASSERT_TRUE(result.ok) << toUtf8(result.error);
  ASSERT_EQ(result.notes.size(), 1u);
  EXPECT_EQ(result.notes[0],
            L"in.exe was signed; the signature is dropped (signing comes after stamping: sign out/run.exe)");
  EXPECT_EQ(result.file.find("a signature"), std::string::npos);
}

TEST(Stamp, Refusals) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  auto withResources = [](const std::function<void(ResourceTree&)>& change) {
    test::PeFixture fixture;
    change(fixture.resources);
    return test::buildPe(fixture);
  };
  const struct {
    const char* name;
    std::vector<std::wstring> options;
    StampFiles files;
    const wchar_t* error;
  } cases[] = {
      {"not a Windows executable",
       {},
       {"#!/bin/sh\n", "", ""},
       L"in.exe is not a Windows executable: too short for a DOS header"},
      {"an executable without resources",
       {},
       {withResources([](ResourceTree& tree) { tree.clear(); }), "", ""},
       L"in.exe is not a Tarn launcher"},
      {"an executable without the mark",
       {},
       {withResources([](ResourceTree& tree) { tree[id(kRtRcData)].erase(id(8001)); }), "", ""},
       L"in.exe is not a Tarn launcher"},
      {"a mark of another text",
       {},
       {withResources(
            [](ResourceTree& tree) { tree[id(kRtRcData)][id(8001)][id(1033)] = test::resourceData("Tarn launche"); }),
        "", ""},
       L"in.exe is not a Tarn launcher"},
      {"unreadable resources",
       {},
       {[&] {
          std::string file = launcher;
          PeImage image;
          std::wstring why;
          parsePeImage(file, image, why);
          putU16(file, image.sections[1].pointerToRawData + 14, 0x7FFF);
          return file;
        }(),
        "", ""},
       L"cannot read the resources of in.exe: a directory table's entries lie outside the section"},
      {"someone else's program whose other resources do not read",
       {},
       {[] {
          // Only the mark's way is read: the first type's table (after the
          // root's) claims more entries than the section holds.
          test::PeFixture fixture;
          fixture.resources.erase(id(kRtRcData));
          std::string file = test::buildPe(fixture);
          PeImage image;
          std::wstring why;
          parsePeImage(file, image, why);
          putU16(file, image.sections[1].pointerToRawData + 16 + 8 * fixture.resources.size() + 14, 0x7FFF);
          return file;
        }(),
        "", ""},
       L"in.exe is not a Tarn launcher"},
      {"resources that grow the image past 2 GiB",
       {L"--icon", L"app.ico"},
       {[&] {
          // The last section moved to just below the largest address; a
          // resource section one page longer pushes it past.
          std::string file = launcher;
          PeImage image;
          std::wstring why;
          parsePeImage(file, image, why);
          putU32(file, image.sectionHeaderOffset(2) + 12, 0x7FFFF000);
          putU32(file, image.directoryOffset(kBaseRelocationDirectory), 0x7FFFF000);
          return file;
        }(),
        test::iconFile({kPng + std::string(0x1000, 'p')}), ""},
       L"cannot rebuild in.exe: the new resources make the file too large"},
      {"a section the rebuild cannot move",
       {},
       {[] {
          test::PeFixture fixture;
          fixture.after.push_back({".data2", test::kWritableDataCharacteristics, "x"});
          return test::buildPe(fixture);
        }(),
        "", ""},
       L"cannot rebuild in.exe: section .data2 follows the resource section"},
      {"not an icon",
       {L"--icon", L"app.ico"},
       {launcher, "GIF89a", ""},
       L"app.ico is not an icon file: no icon header"},
      {"an INI that does not parse",
       {L"--settings", L"run.ini"},
       {launcher, "", kIni + "Heap=1\n"},
       L"run.ini line 3: unknown key \"Heap\" in [Java Runtime Environment]"},
      {"an INI without a Main Class",
       {L"--settings", L"run.ini"},
       {launcher, "", "[Application]\n"},
       L"run.ini: it gives no Main Class"},
      {"an INI whose bytes are no UTF-8",
       {L"--settings", L"run.ini"},
       {launcher, "", kIni + "Cmd=\xE9t\xE9\n"},
       L"run.ini line 3: it holds bytes that are not valid text"},
      // Version texts: a line break, a C1 control, what invalid UTF-8 becomes.
      {"a control character", {L"--company", L"ACME\r\nSigned by Microsoft"}, {launcher, "", ""},
       L"the text for --company holds a control character or bytes that are not valid text"},
      {"a C1 control", {L"--description", L"App\x85"}, {launcher, "", ""}, L"the text for --description holds"},
      {"no UTF-8", {L"--product-name", L"Soci\xFFFDt\xFFFD"}, {launcher, "", ""}, L"the text for --product-name"},
      {"a bad product version",
       {L"--product-version", L"1.2.x"},
       {launcher, "", ""},
       L"bad version text \"1.2.x\" for --product-version"},
      {"a bad file version",
       {L"--product-version", L"1", L"--file-version", L"1.2.3.4.5"},
       {launcher, "", ""},
       L"bad version text \"1.2.3.4.5\" for --file-version"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Stamped result = stamp(optionsFor(c.options), c.files);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.compare(0, std::wcslen(c.error), c.error), 0) << toUtf8(result.error);
  }
}

}  // namespace
}  // namespace tarn::stamper
