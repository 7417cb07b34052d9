#include "stamper/stamp_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "stamper/file_io.h"
#include "stamper/resource_tree.h"
#include "support/temp_folder.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

std::string contents(const std::wstring& path) {
  std::string bytes;
  std::wstring why;
  return readWholeFile(path, bytes, why) ? bytes : "<unreadable>";
}

TEST(StampCommand, ExitStatusAndFilesLeft) {
  const std::string launcher = test::buildPe(test::PeFixture{});
  const struct {
    const char* name;
    std::vector<std::wstring> options;  // before INPUT and OUTPUT
    const char* input;
    const char* output;
    int status;
  } cases[] = {
      {"stamped", {L"--company", L"ACME"}, "run.exe", "out.exe", kStampWritten},
      {"stamped in place", {L"--company", L"ACME"}, "run.exe", "run.exe", kStampWritten},
      {"an unknown option", {L"--colour", L"red"}, "run.exe", "out.exe", kStampUsageError},
      {"a missing input", {}, "missing.exe", "out.exe", kStampRefused},
      {"not a launcher", {}, "run.ini", "out.exe", kStampRefused},
      {"a bad version", {L"--file-version", L"one"}, "run.exe", "out.exe", kStampRefused},
      {"a missing icon", {L"--icon", L"missing.ico"}, "run.exe", "out.exe", kStampRefused},
      {"an output folder that is missing", {}, "run.exe", "missing/out.exe", kStampRefused},
      {"an output that is a folder", {}, "run.exe", "taken", kStampRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    folder.writeFile("run.exe", launcher);
    folder.writeFile("run.ini", "[Java Runtime Environment]\nMain Class=M\n");
    folder.makeFolder("taken");
    std::vector<std::wstring> arguments = c.options;
    for (std::wstring& argument : arguments) {
      if (argument == L"missing.ico") argument = folder.pathOf("missing.ico");
    }
    const std::wstring output = folder.pathOf(c.output);
    arguments.push_back(folder.pathOf(c.input));
    arguments.push_back(output);
    EXPECT_EQ(runStampCommand(arguments), c.status);

    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    const bool newFile = c.status == kStampWritten && std::string(c.output) != c.input;
    const std::vector<std::string> expectedLeft = newFile
                                                      ? std::vector<std::string>{"out.exe", "run.exe", "run.ini", "taken"}
                                                      : std::vector<std::string>{"run.exe", "run.ini", "taken"};
    EXPECT_EQ(left, expectedLeft);
    if (c.status != kStampWritten) continue;
    // The launcher's resources with the version information the options
    // give, read back.
    ResourceTree written = test::resourcesOf(contents(output));
    const ResourceData* version = findResource(written, kRtVersion, 1);
    ASSERT_NE(version, nullptr);
    const test::VersionRead read = test::readVersionResource(version->bytes);
    ASSERT_TRUE(read.ok);
    const std::u16string name = std::filesystem::path(c.output).u16string();
    const std::vector<std::pair<std::u16string, std::u16string>> strings = {
        {u"CompanyName", u"ACME"}, {u"InternalName", name.substr(0, name.find(u'.'))}, {u"OriginalFilename", name}};
    EXPECT_EQ(read.strings, strings);
    // The manifest names the company now; the rest is the launcher's.
    const ResourceData* manifest = findResource(written, kRtManifest, 1);
    ASSERT_NE(manifest, nullptr);
    EXPECT_NE(manifest->bytes.find("name=\"ACME\" version=\"0.0.0.0\""), std::string::npos) << manifest->bytes;
    ResourceTree expected = test::PeFixture::launcherResources();
    for (uint32_t type : {kRtVersion, kRtManifest}) {
      written.erase(ResourceName::number(type));
      expected.erase(ResourceName::number(type));
    }
    EXPECT_EQ(written, expected);
  }
}

}  // namespace
}  // namespace tarn::stamper
