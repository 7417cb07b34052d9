#include "stamper/stamp.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "stamper/byte_order.h"
#include "stamper/embedded_settings.h"
#include "stamper/icon_file.h"
#include "stamper/manifest_text.h"
#include "stamper/pe_image.h"
#include "stamper/resource_tree.h"
#include "stamper/version_resource.h"
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

StampFiles filesWith(const std::string& launcher) {
  return StampFiles{launcher, test::iconFile({kPng, std::string("\x28\0\0\0", 4) + std::string(40, 'd')}), kIni};
}

ResourceTree resourcesOf(const std::string& file) {
  PeImage image;
  std::wstring why;
  EXPECT_TRUE(parsePeImage(file, image, why));
  ResourceTree tree;
  for (const SectionHeader& section : image.sections) {
    if (section.virtualAddress != image.directory(kResourceDirectory).address) continue;
    EXPECT_TRUE(parseResourceSection(sectionBytes(file, section), section.virtualAddress, tree, why)) << toUtf8(why);
  }
  return tree;
}

const std::vector<std::wstring> kAllOptions = {
    L"--icon", L"app.ico",         L"--product-name", L"My App",     L"--product-version",
    L"1.2",    L"--dpi-awareness", L"system",         L"--settings", L"run.ini"};

TEST(Stamp, ReplacesWhatTheOptionsNameAndKeepsTheRest) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  const StampFiles files = filesWith(launcher);
  const Stamped result = stamp(optionsFor(kAllOptions), files);
  ASSERT_TRUE(result.ok) << toUtf8(result.error);
  EXPECT_TRUE(result.notes.empty());

  ResourceTree expected = test::PeFixture::launcherResources();
  // Both images replace both old icons; the group lists them as 1 and 2.
  std::vector<IconImage> images;
  std::wstring why;
  ASSERT_TRUE(parseIconFile(files.icon, images, why));
  expected[id(kRtIcon)].clear();
  expected[id(kRtIcon)][id(1)][id(1033)] = test::resourceData(images[0].data);
  expected[id(kRtIcon)][id(2)][id(1033)] = test::resourceData(images[1].data);
  expected[id(kRtGroupIcon)].clear();
  expected[id(kRtGroupIcon)][id(1)][id(1033)] = test::resourceData(iconGroupDirectory(images, 1));

  VersionInfo version;
  parseVersionText(L"1.2", version.productVersion);
  version.fileVersion = version.productVersion;
  version.strings = {{L"FileVersion", L"1.2"},
                     {L"InternalName", L"run"},
                     {L"OriginalFilename", L"run.exe"},
                     {L"ProductName", L"My App"},
                     {L"ProductVersion", L"1.2"}};
  std::string versionBytes;
  ASSERT_TRUE(versionResource(version, versionBytes));
  expected[id(kRtVersion)].clear();
  expected[id(kRtVersion)][id(1)][id(1033)] = test::resourceData(versionBytes);

  // The manifest keeps its language (2057 in the fixture).
  expected[id(kRtManifest)][id(1)][id(2057)] =
      test::resourceData(manifestText({ExecutionLevel::AsInvoker, DpiAwareness::System, false}));

  std::wstring settings;
  SettingsProblem problem;
  ASSERT_TRUE(embeddedSettingsText(fromUtf8(kIni), false, settings, problem));
  expected[id(kRtRcData)][id(8000)][id(1033)] = test::resourceData(embeddedSettingsBytes(settings));

  EXPECT_EQ(resourcesOf(result.file), expected);
}

TEST(Stamp, VersionHoldsOnlyWhatIsGiven) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  const Stamped result =
      stamp(optionsFor({L"--company", L"ACME", L"--file-version", L"3", L"--original-file-name", L"app.launcher.exe"}),
            filesWith(launcher));
  ASSERT_TRUE(result.ok) << toUtf8(result.error);
  VersionInfo version;
  parseVersionText(L"3", version.fileVersion);
  version.strings = {{L"CompanyName", L"ACME"},
                     {L"FileVersion", L"3"},
                     {L"InternalName", L"app.launcher"},
                     {L"OriginalFilename", L"app.launcher.exe"}};
  std::string expected;
  ASSERT_TRUE(versionResource(version, expected));
  const ResourceTree tree = resourcesOf(result.file);
  const ResourceData* written = findResource(tree, kRtVersion, 1);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(written->bytes, expected);
}

TEST(Stamp, NoOptionsRebuildsWithTheSameResources) {
  for (bool pe32Plus : {false, true}) {
    test::PeFixture fixture;
    fixture.pe32Plus = pe32Plus;
    fixture.after = {test::PeFixture::relocationSection(pe32Plus)};
    const std::string launcher = test::buildPe(fixture);
    const Stamped result = stamp(optionsFor({}), filesWith(launcher));
    ASSERT_TRUE(result.ok) << toUtf8(result.error);
    EXPECT_EQ(resourcesOf(result.file), fixture.resources);
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
