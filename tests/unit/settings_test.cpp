// readSettings on a real configuration file: the one that belongs to this
// test executable (its path with the extension replaced by "ini", or with
// ".ini" appended on Linux), written beside it by the fixture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/launcher_paths.h"
#include "launcher/launcher.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

const char kMainClassMissing[] = "Error: Main class was not specified in INI file. \n";

void writeLines(const std::wstring& path, const std::vector<std::string>& lines) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring executable;
    uint32_t error = 0;
    ASSERT_TRUE(queryModulePath(executable, error));
    ASSERT_TRUE(configPathFor(executable, nativePathStyle(), iniPath_));
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove(fs::path(iniPath_), ignored);
  }

  void writeIni(const std::vector<std::string>& lines) { writeLines(iniPath_, lines); }

  // readSettings with everything it writes to standard output.
  static bool readSettings(Launcher& launcher, std::string& output) {
    test::StdoutCapture capture;
    bool result = launcher.readSettings();
    output = capture.finish();
    return result;
  }

  std::wstring iniPath_;
};

TEST_F(SettingsTest, FullFileSetsEveryMember) {
  writeIni({
      "[Product Information]",
      "Product Code={0F1E}",
      "Upgrade Code={7A2B}",
      "Product Name=Tool: Pro",
      "[Java Runtime Environment]",
      "Minimum Version=1.6",
      "Maximum Version=1.8.0_20",
      "Preferred versions=1.7;;1.6;",
      "JRE Path=jre\\x64",
      "JVM Type=favor_server",
      "JVM Source=only_JRE",
      "VM Provider=Favor_IBM",
      "Main Class=com.example.App",
      "System Path=bin;tools",
      "Library Path=lib\\native",
      "[Application]",
      "Application Type=application",
      "Omit Service Name=No",
      "Failure Check=YES",
      "Override WorkingDir=yes",
      "Pair Product=..\\x86\\run32.exe",
      "Pair Return Code=Yes",
  });
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  EXPECT_EQ(output, "");

  EXPECT_EQ(launcher.productCode, L"{0F1E}");
  EXPECT_EQ(launcher.upgradeCode, L"{7A2B}");
  EXPECT_EQ(launcher.productName, L"Tool: Pro");
  EXPECT_EQ(launcher.minVersion.parts, (std::array<int32_t, 4>{1, 6, 0, 0}));
  EXPECT_EQ(launcher.maxVersion.parts, (std::array<int32_t, 4>{1, 8, 0, 20}));
  EXPECT_EQ(launcher.preferredVersions, (std::vector<std::wstring>{L"1.7", L"", L"1.6"}));
  EXPECT_EQ(launcher.jrePath, L"jre\\x64");
  EXPECT_EQ(launcher.jvmType, 2);
  EXPECT_FALSE(launcher.sourceAny);
  EXPECT_FALSE(launcher.sourceJdk);
  EXPECT_TRUE(launcher.sourceJre);
  EXPECT_TRUE(launcher.acceptJRockit);
  EXPECT_FALSE(launcher.favorJRockit);
  EXPECT_TRUE(launcher.acceptSun);
  EXPECT_FALSE(launcher.favorSun);
  EXPECT_TRUE(launcher.acceptIbm);
  EXPECT_TRUE(launcher.favorIbm);
  EXPECT_EQ(launcher.mainClassName, L"com/example/App");
  EXPECT_FALSE(launcher.isService);
  // Read only in service mode.
  EXPECT_FALSE(launcher.omitServiceName);
  EXPECT_TRUE(launcher.failureCheck);
  EXPECT_TRUE(launcher.overrideWorkingDir);
  EXPECT_EQ(launcher.systemPath, L"bin;tools");
  EXPECT_EQ(launcher.libraryPath, L"lib\\native");
  EXPECT_EQ(launcher.pairProduct, L"..\\x86\\run32.exe");
  EXPECT_TRUE(launcher.pairReturnCode);
}

TEST_F(SettingsTest, FileWithOnlyAMainClassGivesTheDefaults) {
  writeIni({"[Java Runtime Environment]", "Main Class=App"});
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  EXPECT_EQ(output, "");
  EXPECT_EQ(launcher.mainClassName, L"App");
  EXPECT_EQ(launcher.minVersion.parts, (std::array<int32_t, 4>{0, 0, 0, 0}));
  // An absent maximum is 0.0.0.0, not the open 65535.65535.65535.65535.
  EXPECT_EQ(launcher.maxVersion.parts, (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_TRUE(launcher.preferredVersions.empty());
  EXPECT_EQ(launcher.jrePath, L"");
  EXPECT_EQ(launcher.jvmType, 0);
  EXPECT_TRUE(launcher.sourceAny);
  EXPECT_TRUE(launcher.sourceJdk);
  EXPECT_TRUE(launcher.sourceJre);
  EXPECT_FALSE(launcher.acceptJRockit);
  EXPECT_FALSE(launcher.favorJRockit);
  EXPECT_TRUE(launcher.acceptSun);
  EXPECT_TRUE(launcher.favorSun);
  EXPECT_FALSE(launcher.acceptIbm);
  EXPECT_FALSE(launcher.favorIbm);
  EXPECT_FALSE(launcher.isService);
  EXPECT_FALSE(launcher.failureCheck);
  EXPECT_FALSE(launcher.overrideWorkingDir);
  EXPECT_FALSE(launcher.pairReturnCode);
  EXPECT_EQ(launcher.pairProduct, L"");
}

TEST_F(SettingsTest, MissingMainClassStopsWithMessage210) {
  writeIni({
      "[Java Runtime Environment]",
      "JVM Type=server",
      "Main Class=",
      "Library Path=lib",
      "[Application]",
      "Override WorkingDir=Yes",
      "Pair Product=run32.exe",
      "Pair Return Code=Yes",
  });
  Launcher launcher;
  std::string output;
  EXPECT_FALSE(readSettings(launcher, output));
  EXPECT_EQ(output, kMainClassMissing);
  // Keys before Main Class are read, the ones after it are not.
  EXPECT_EQ(launcher.jvmType, 1);
  EXPECT_FALSE(launcher.overrideWorkingDir);
  EXPECT_EQ(launcher.libraryPath, L"");
  EXPECT_EQ(launcher.pairProduct, L"");
  EXPECT_FALSE(launcher.pairReturnCode);
}

TEST_F(SettingsTest, MissingFileReadsAsEmptyAndStopsWithMessage210) {
  std::error_code ignored;
  fs::remove(fs::path(iniPath_), ignored);
  Launcher launcher;
  std::string output;
  EXPECT_FALSE(readSettings(launcher, output));
  EXPECT_EQ(output, kMainClassMissing);
  EXPECT_TRUE(launcher.sourceJdk);
  EXPECT_TRUE(launcher.sourceJre);
  EXPECT_EQ(launcher.productName, L"");
}

TEST_F(SettingsTest, VersionBoundsTakeOnlyTheLowerCaseWordAny) {
  struct Case {
    const char* minimum;  // nullptr: the key is absent
    const char* maximum;
    JavaVersion expectedMinimum;
    JavaVersion expectedMaximum;
  };
  const Case cases[] = {
      {"any", "any", JavaVersion{{0, 0, 0, 0}}, JavaVersion{{65535, 65535, 65535, 65535}}},
      {"Any", "Any", JavaVersion{{0, 0, 0, 0}}, JavaVersion{{0, 0, 0, 0}}},
      {nullptr, nullptr, JavaVersion{{0, 0, 0, 0}}, JavaVersion{{0, 0, 0, 0}}},
      {"", "", JavaVersion{{0, 0, 0, 0}}, JavaVersion{{0, 0, 0, 0}}},
      {"1.6", "1.6", JavaVersion{{1, 6, 0, 0}}, JavaVersion{{1, 6, 65535, 65535}}},
      {"jdk1.7.0_45", "99999999999", JavaVersion{{1, 7, 0, 45}}, JavaVersion{{0, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.minimum ? c.minimum : "(absent)") + " / " + (c.maximum ? c.maximum : "(absent)"));
    std::vector<std::string> lines{"[Java Runtime Environment]", "Main Class=App"};
    if (c.minimum != nullptr) lines.push_back(std::string("Minimum Version=") + c.minimum);
    if (c.maximum != nullptr) lines.push_back(std::string("Maximum Version=") + c.maximum);
    writeIni(lines);
    Launcher launcher;
    std::string output;
    ASSERT_TRUE(readSettings(launcher, output));
    EXPECT_EQ(launcher.minVersion.parts, c.expectedMinimum.parts);
    EXPECT_EQ(launcher.maxVersion.parts, c.expectedMaximum.parts);
  }
}

TEST_F(SettingsTest, ServiceModeAndOmitServiceName) {
  struct Case {
    const char* type;
    const char* omit;
    bool service;
    bool omitName;
  };
  const Case cases[] = {
      {"service", "No", true, true},
      {"service", "", true, false},
      {"Service", "Yes", false, false},
      {"", "Yes", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " / " + c.omit);
    writeIni({
        "[Java Runtime Environment]",
        "Main Class=App",
        "[Application]",
        std::string("Application Type=") + c.type,
        std::string("Omit Service Name=") + c.omit,
    });
    Launcher launcher;
    std::string output;
    ASSERT_TRUE(readSettings(launcher, output));
    EXPECT_EQ(launcher.isService, c.service);
    EXPECT_EQ(launcher.omitServiceName, c.omitName);
  }
}

TEST_F(SettingsTest, FlagsAreYesInAnyCase) {
  struct Case {
    const char* value;
    bool expected;
  };
  const Case cases[] = {{"Yes", true}, {"YES", true}, {"yes", true}, {"y", false}, {"No", false}, {"1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const std::string value = c.value;
    writeIni({
        "[Java Runtime Environment]",
        "Main Class=App",
        "[Application]",
        "Failure Check=" + value,
        "Override WorkingDir=" + value,
        "Pair Return Code=" + value,
    });
    Launcher launcher;
    std::string output;
    ASSERT_TRUE(readSettings(launcher, output));
    EXPECT_EQ(launcher.failureCheck, c.expected);
    EXPECT_EQ(launcher.overrideWorkingDir, c.expected);
    EXPECT_EQ(launcher.pairReturnCode, c.expected);
  }
}

TEST_F(SettingsTest, NamesInTheFileMatchWithoutCase) {
  writeIni({"[java runtime environment]", "MAIN CLASS=a.B", "jvm type=server", "[APPLICATION]", "failure check=Yes"});
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  EXPECT_EQ(launcher.mainClassName, L"a/B");
  EXPECT_EQ(launcher.jvmType, 1);
  EXPECT_TRUE(launcher.failureCheck);
}

TEST_F(SettingsTest, CompanionSectionAddsToTheValue) {
  writeIni({
      "[Java Runtime Environment]",
      "JRE Path=C:\\Java",
      "[Java Runtime Environment+]",
      "JRE Path=C:\\Other",
      "Main Class=com.example.App",
  });
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  // A value in the section itself replaces the layers below and the "+" is not read.
  EXPECT_EQ(launcher.jrePath, L"C:\\Java");
  // With no built-in settings, a value found only in the "+" section is added
  // to the empty value after one separating space.
  EXPECT_EQ(launcher.mainClassName, L" com/example/App");
}

TEST_F(SettingsTest, ProductNameOfInvalidCharactersOnly) {
  writeIni({
      "[Product Information]",
      "Product Name=\\?\"|><:/*",
      "Product Code={C0DE}",
      "[Java Runtime Environment]",
      "JRE Path=jre",
      "Main Class=App",
  });
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  EXPECT_EQ(launcher.productName, L"\\?\"|><:/*");
  EXPECT_EQ(launcher.jrePath, L"jre");
}

TEST_F(SettingsTest, HugeValueIsReadWhole) {
  std::string mainClass;
  for (int i = 0; i < 50000; ++i) mainClass += "a.";
  std::string preferred(100000, ';');
  writeIni({"[Java Runtime Environment]", "Main Class=" + mainClass, "Preferred versions=" + preferred});
  Launcher launcher;
  std::string output;
  ASSERT_TRUE(readSettings(launcher, output));
  ASSERT_EQ(launcher.mainClassName.size(), 100000u);
  EXPECT_EQ(launcher.mainClassName.find(L'.'), std::wstring::npos);
  EXPECT_EQ(launcher.mainClassName.substr(0, 4), L"a/a/");
  EXPECT_EQ(launcher.preferredVersions.size(), 100000u);
}

// The per-user file of the missing-runtime dialog, used only on Windows.
class PerUserSettingsTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    if (!isNtPlatform()) GTEST_SKIP() << "the per-user file is a Windows feature";
    Launcher probe;
    probe.productName = L"Tarn Settings Test";
    probe.productCode = L"{5E77}";
    probe.userConfigFilePath(userPath_, true);
    ASSERT_FALSE(userPath_.empty());
  }

  void TearDown() override {
    if (!userPath_.empty()) {
      std::error_code ignored;
      fs::path file(userPath_);
      fs::remove(file, ignored);
      fs::remove(file.parent_path(), ignored);
      fs::remove(file.parent_path().parent_path(), ignored);
    }
    SettingsTest::TearDown();
  }

  void writeConfiguration(const std::string& applicationType) {
    writeIni({
        "[Product Information]",
        "Product Name=Tarn: Settings Test",
        "Product Code={5E77}",
        "[Java Runtime Environment]",
        "JRE Path=C:\\Beside",
        "Main Class=App",
        "[Application]",
        "Application Type=" + applicationType,
    });
  }

  std::wstring userPath_;
};

TEST_F(PerUserSettingsTest, JrePathComesFromThePerUserFileWhenItExists) {
  const struct {
    const char* name;
    const char* applicationType;
    std::vector<std::string> perUserLines;  // empty: no per-user file
    const wchar_t* jrePath;
  } cases[] = {
      {"the per-user file gives JRE Path", "", {"[Java Runtime Environment]", "JRE Path=C:\\PerUser"}, L"C:\\PerUser"},
      {"without the key it still hides the file beside", "", {"[Java Runtime Environment]", "Other=1"}, L""},
      {"a service reads the file beside", "service", {"[Java Runtime Environment]", "JRE Path=C:\\PerUser"},
       L"C:\\Beside"},
      {"no per-user file: the file beside", "", {}, L"C:\\Beside"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeConfiguration(c.applicationType);
    std::error_code ignored;
    fs::remove(fs::path(userPath_), ignored);
    if (!c.perUserLines.empty()) writeLines(userPath_, c.perUserLines);
    Launcher launcher;
    std::string output;
    ASSERT_TRUE(readSettings(launcher, output));
    EXPECT_EQ(launcher.isService, std::string(c.applicationType) == "service");
    EXPECT_EQ(launcher.jrePath, c.jrePath);
  }
}

}  // namespace
}  // namespace tarn
