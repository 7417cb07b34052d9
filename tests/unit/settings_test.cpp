// The configuration as typed settings: readSettings over INI text held in
// memory, and loadSettings over a configuration file and a per-user file.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "config/ini_document.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

const char kMainClassMissing[] = "Error: Main class was not specified in INI file. \n";

// The lines joined with "\r\n", the only line end of INI text in memory.
std::wstring iniText(const std::vector<std::string>& lines) {
  std::wstring text;
  for (const std::string& line : lines) text += fromUtf8(line) + L"\r\n";
  return text;
}

std::string show(const JavaVersion& version) {
  std::string text;
  for (int32_t part : version.parts) text += (text.empty() ? "" : ".") + std::to_string(part);
  return text;
}

// Every member, one per line, so that a failure names the members that differ.
std::string describe(const Settings& s) {
  const RuntimeCriteria& r = s.runtime;
  std::string preferred;
  for (const std::wstring& version : r.preferredVersions) preferred += "[" + toUtf8(version) + "]";
  auto flag = [](bool value) { return value ? "1" : "0"; };
  std::string text;
  text += "product " + toUtf8(s.product.code) + " | " + toUtf8(s.product.upgradeCode) + " | " +
          toUtf8(s.product.name) + "\n";
  text += "jvmType " + std::to_string(static_cast<int>(r.jvmType)) + "\n";
  text += "minVersion " + show(r.minVersion) + "\n";
  text += "maxVersion " + show(r.maxVersion) + "\n";
  text += "preferredVersions " + preferred + "\n";
  text += std::string("source any/jdk/jre ") + flag(r.source.any) + flag(r.source.jdk) + flag(r.source.jre) + "\n";
  text += std::string("provider jrockit/sun/ibm accept,favor ") + flag(r.provider.acceptJRockit) +
          flag(r.provider.favorJRockit) + " " + flag(r.provider.acceptSun) + flag(r.provider.favorSun) + " " +
          flag(r.provider.acceptIbm) + flag(r.provider.favorIbm) + "\n";
  text += std::string("classic keys only ") + flag(r.classicKeysOnly) + "\n";
  text += std::string("JAVA_HOME ") + flag(r.javaHomeVariable) + "\n";
  text += "jrePath " + toUtf8(s.jrePath) + "\n";
  text += "mainClass " + toUtf8(s.mainClass) + "\n";
  text += "mainModule " + toUtf8(s.mainModule) + "\n";
  text += "modulePath " + toUtf8(s.modulePath) + "\n";
  text += "systemPath " + toUtf8(s.systemPath) + "\n";
  text += "libraryPath " + toUtf8(s.libraryPath) + "\n";
  text += "vmParameters " + toUtf8(s.vmParameters) + "\n";
  text += std::string("classDataSharing ") + flag(s.classDataSharing) + "\n";
  text += std::string("service ") + flag(s.service) + " omitServiceName " + flag(s.omitServiceName) + "\n";
  text += std::string("failureCheck ") + flag(s.failureCheck) + "\n";
  text += std::string("overrideWorkingDir ") + flag(s.overrideWorkingDir) + "\n";
  text += std::string("singleInstance ") + flag(s.singleInstance) + "\n";
  text += std::string("embeddedJar ") + flag(s.embeddedJar) + "\n";
  text += "pairProduct " + toUtf8(s.pairProduct) + "\n";
  text += std::string("pairReturnCode ") + flag(s.pairReturnCode) + "\n";
  text += "output " + toUtf8(s.output.file) + " append " + flag(s.output.append) + "\n";
  text += "error " + toUtf8(s.error.file) + " append " + flag(s.error.append) + "\n";
  text += "cmd " + toUtf8(s.cmd) + "\n";
  text += "classPath " + toUtf8(s.classPath) + "\n";
  return text;
}

struct ReadResult {
  bool read = false;
  std::string output;  // what was written to standard output
  Settings settings;
};

ReadResult readFromText(const std::vector<std::string>& lines) {
  IniDocument document;
  document.parse(iniText(lines));
  ReadResult result;
  test::StdoutCapture capture;
  result.read = readSettings(document, result.settings);
  result.output = capture.finish();
  return result;
}

// What a configuration of nothing but "Main Class=App" gives.
Settings defaultSettings() {
  Settings s;
  s.mainClass = L"App";
  s.runtime.jvmType = JvmType::Any;
  s.runtime.minVersion = JavaVersion{{0, 0, 0, 0}};
  // An absent maximum is 0.0.0.0, not the open 65535.65535.65535.65535.
  s.runtime.maxVersion = JavaVersion{{0, 0, 0, 0}};
  s.runtime.preferredVersions.clear();
  s.runtime.source = JvmSourceFlags{true, true, true};
  s.runtime.provider = VmProviderFlags{false, false, true, true, false, false};
  return s;
}

TEST(ReadSettings, OnlyAMainClassGivesTheDefaults) {
  const ReadResult result = readFromText({"[Java Runtime Environment]", "Main Class=App"});
  ASSERT_TRUE(result.read);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(describe(result.settings), describe(defaultSettings()));
}

TEST(ReadSettings, EachKeySetsItsOwnMember) {
  const JavaVersion open{{65535, 65535, 65535, 65535}};
  const struct {
    const char* name;
    std::vector<std::string> lines;  // after "[Java Runtime Environment]" and "Main Class=App"
    std::function<void(Settings&)> expect;
  } rows[] = {
      {"Minimum Version",
       {"Minimum Version=1.6"},
       [](Settings& s) { s.runtime.minVersion = JavaVersion{{1, 6, 0, 0}}; }},
      {"Minimum Version of a release name",
       {"Minimum Version=jdk1.7.0_45"},
       [](Settings& s) { s.runtime.minVersion = JavaVersion{{1, 7, 0, 45}}; }},
      {"Minimum Version any", {"Minimum Version=any"}, [](Settings&) {}},
      {"Maximum Version fills with 65535",
       {"Maximum Version=1.6"},
       [](Settings& s) { s.runtime.maxVersion = JavaVersion{{1, 6, 65535, 65535}}; }},
      {"Maximum Version any is open", {"Maximum Version=any"}, [&](Settings& s) { s.runtime.maxVersion = open; }},
      {"Maximum Version Any is no keyword", {"Maximum Version=Any"}, [](Settings&) {}},
      {"Maximum Version beyond a 32-bit part", {"Maximum Version=99999999999"}, [](Settings&) {}},
      {"Preferred versions keep empty entries",
       {"Preferred versions=1.7;;1.6;"},
       [](Settings& s) { s.runtime.preferredVersions = {L"1.7", L"", L"1.6"}; }},
      {"JRE Path", {"JRE Path=jre\\x64"}, [](Settings& s) { s.jrePath = L"jre\\x64"; }},
      {"JVM Type server", {"JVM Type=server"}, [](Settings& s) { s.runtime.jvmType = JvmType::Server; }},
      {"JVM Type favor_server",
       {"JVM Type=favor_server"},
       [](Settings& s) { s.runtime.jvmType = JvmType::FavorServer; }},
      {"JVM Source only_JRE", {"JVM Source=only_JRE"}, [](Settings& s) { s.runtime.source = {false, false, true}; }},
      {"JVM Source favor_JDK", {"JVM Source=favor_JDK"}, [](Settings& s) { s.runtime.source = {true, true, false}; }},
      {"JVM Source unknown", {"JVM Source=Only_JRE"}, [](Settings& s) { s.runtime.source = {false, false, false}; }},
      {"VM Provider",
       {"VM Provider=Favor_IBM"},
       [](Settings& s) { s.runtime.provider = {true, false, true, false, true, true}; }},
      {"VM Provider unknown", {"VM Provider=sun"}, [](Settings&) {}},
      {"Registry Search classic in any case",
       {"Registry Search= Classic "},
       [](Settings& s) { s.runtime.classicKeysOnly = true; }},
      {"Registry Search other values", {"Registry Search=all"}, [](Settings&) {}},
      // Read by the Linux launcher only.
      {"Use JAVA_HOME in any case",
       {"Use JAVA_HOME=YES"},
       [](Settings& s) { s.runtime.javaHomeVariable = !nativePathStyle().windowsForms; }},
      {"Use JAVA_HOME other values", {"Use JAVA_HOME=1"}, [](Settings&) {}},
      {"Class Data Sharing auto in any case",
       {"Class Data Sharing= Auto "},
       [](Settings& s) { s.classDataSharing = true; }},
      {"Class Data Sharing other values", {"Class Data Sharing=yes"}, [](Settings&) {}},
      {"System Path", {"System Path=bin;tools"}, [](Settings& s) { s.systemPath = L"bin;tools"; }},
      {"Module Path", {"Module Path=mods;%FX%\\lib"}, [](Settings& s) { s.modulePath = L"mods;%FX%\\lib"; }},
      // It names the main class, and Main Class is not read.
      {"Main Module with a class",
       {"Main Module= app.mod/com.example.App "},
       [](Settings& s) {
         s.mainModule = L"app.mod/com.example.App";
         s.mainClass = L"com/example/App";
       }},
      {"Main Module alone",
       {"Main Module=app.mod"},
       [](Settings& s) {
         s.mainModule = L"app.mod";
         s.mainClass.clear();
       }},
      {"Library Path", {"Library Path=lib\\native"}, [](Settings& s) { s.libraryPath = L"lib\\native"; }},
      {"Virtual Machine Parameters",
       {"Virtual Machine Parameters=-Xmx1g -Da=b"},
       [](Settings& s) { s.vmParameters = L"-Xmx1g -Da=b"; }},
      {"Application Type service",
       {"[Application]", "Application Type=service"},
       [](Settings& s) { s.service = true; }},
      {"Application Type Service is no service", {"[Application]", "Application Type=Service"}, [](Settings&) {}},
      {"Omit Service Name: any value of a service",
       {"[Application]", "Application Type=service", "Omit Service Name=No"},
       [](Settings& s) { s.service = s.omitServiceName = true; }},
      {"Omit Service Name empty", {"[Application]", "Application Type=service", "Omit Service Name="},
       [](Settings& s) { s.service = true; }},
      {"Omit Service Name without a service", {"[Application]", "Omit Service Name=Yes"}, [](Settings&) {}},
      {"Failure Check in any case", {"[Application]", "Failure Check=YES"}, [](Settings& s) { s.failureCheck = true; }},
      {"Failure Check y", {"[Application]", "Failure Check=y"}, [](Settings&) {}},
      {"Override WorkingDir in any case",
       {"[Application]", "Override WorkingDir=yEs"},
       [](Settings& s) { s.overrideWorkingDir = true; }},
      {"Embedded Jar in any case", {"[Application]", "Embedded Jar=YES"}, [](Settings& s) { s.embeddedJar = true; }},
      {"Embedded Jar only as the word", {"[Application]", "Embedded Jar=Yess"}, [](Settings&) {}},
      {"Pair Return Code in any case",
       {"[Application]", "Pair Return Code=Yes"},
       [](Settings& s) { s.pairReturnCode = true; }},
      {"Single Instance yes", {"[Application]", "Single Instance=yes"}, [](Settings& s) { s.singleInstance = true; }},
      {"Single Instance only in lower case", {"[Application]", "Single Instance=Yes"}, [](Settings&) {}},
      {"Pair Product",
       {"[Application]", "Pair Product=..\\x86\\run32.exe"},
       [](Settings& s) { s.pairProduct = L"..\\x86\\run32.exe"; }},
      {"Output File and Output Append",
       {"[Application]", "Output File=%TEMP%\\out.log", "Output Append=yes"},
       [](Settings& s) { s.output = {L"%TEMP%\\out.log", true}; }},
      {"Output Append only in lower case",
       {"[Application]", "Output File=out.log", "Output Append=Yes"},
       [](Settings& s) { s.output = {L"out.log", false}; }},
      {"Error File and Error Append",
       {"[Application]", "Error File=err.log", "Error Append=yes"},
       [](Settings& s) { s.error = {L"err.log", true}; }},
      {"Error Append only in lower case", {"[Application]", "Error Append=YES"}, [](Settings&) {}},
      {"Cmd", {"[Application]", "Cmd=start /min"}, [](Settings& s) { s.cmd = L"start /min"; }},
      {"Class Path",
       {"[Class Path]", "Class Path=lib\\a.jar;lib\\b.jar"},
       [](Settings& s) { s.classPath = L"lib\\a.jar;lib\\b.jar"; }},
      {"a key in another section is not read", {"[Application]", "JRE Path=jre", "[Class Path]", "Cmd=x"},
       [](Settings&) {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> lines = {"[Java Runtime Environment]", "Main Class=App"};
    lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    const ReadResult result = readFromText(lines);
    ASSERT_TRUE(result.read);
    EXPECT_EQ(result.output, "");
    Settings expected = defaultSettings();
    row.expect(expected);
    EXPECT_EQ(describe(result.settings), describe(expected));
  }
}

TEST(ReadSettings, MainClassHasSlashesBetweenItsPackages) {
  const struct {
    const char* configured;
    const wchar_t* mainClass;
  } rows[] = {
      {"com.example.App", L"com/example/App"},
      {"App", L"App"},
      {"a..b.", L"a//b/"},
      {"com/example/App", L"com/example/App"},
      {"com.example.App$Inner", L"com/example/App$Inner"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.configured);
    const ReadResult result = readFromText({"[Java Runtime Environment]", std::string("Main Class=") + row.configured});
    ASSERT_TRUE(result.read);
    EXPECT_EQ(result.settings.mainClass, row.mainClass);
  }
}

TEST(ReadSettings, AMainModuleStandsInForTheMainClass) {
  const ReadResult result = readFromText({"[Java Runtime Environment]", "Main Module=app.mod"});
  ASSERT_TRUE(result.read);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.settings.mainModule, L"app.mod");
  EXPECT_EQ(result.settings.mainClass, L"");
}

// stop and secondaryMain are looked up in the main class, which a module
// alone names only in its descriptor.
TEST(ReadSettings, AServiceOrASingleInstanceNeedsTheClassOfTheModule) {
  const struct {
    const char* name;
    const char* mainModule;
    const char* application;
    bool read;
  } rows[] = {
    {"service, module alone", "app.mod", "Application Type=service", false},
    {"single instance, module alone", "app.mod", "Single Instance=yes", false},
    {"service, module and class", "app.mod/com.example.App", "Application Type=service", true},
    {"single instance, module and class", "app.mod/com.example.App", "Single Instance=yes", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ReadResult result = readFromText(
        {"[Java Runtime Environment]", std::string("Main Module=") + row.mainModule, "[Application]", row.application});
    EXPECT_EQ(result.read, row.read);
    EXPECT_EQ(result.output, row.read ? "" : "Error: Main Module app.mod names no class: a service and Single Instance "
                                             "call stop and secondaryMain in the class of module/class. Write the "
                                             "class after the module. \n");
  }
}

TEST(ReadSettings, WithoutAMainClassItStopsWithTheMessage) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
  } rows[] = {
      {"no text at all", {}},
      {"empty value", {"[Java Runtime Environment]", "JVM Type=server", "Main Class=", "Library Path=lib"}},
      {"only in another section", {"[Application]", "Main Class=App"}},
      {"names match with their case", {"[Java Runtime Environment]", "main class=App"}},
      {"a blank Main Module", {"[Java Runtime Environment]", "Main Module=  "}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ReadResult result = readFromText(row.lines);
    EXPECT_FALSE(result.read);
    EXPECT_EQ(result.output, kMainClassMissing);
  }
}

TEST(ReadProductInformation, TheThreeKeysAsWritten) {
  IniDocument document;
  document.parse(iniText({"[Product Information]", "Product Code={0F1E}", "Upgrade Code={7A2B}",
                          "Product Name=\\?\"|><:/*", "[Java Runtime Environment]", "Product Name=other"}));
  const ProductInformation product = readProductInformation(document);
  EXPECT_EQ(product.code, L"{0F1E}");
  EXPECT_EQ(product.upgradeCode, L"{7A2B}");
  // Kept as configured: only the per-user folder's name leaves characters out.
  EXPECT_EQ(product.name, L"\\?\"|><:/*");

  document.parse(L"");
  const ProductInformation none = readProductInformation(document);
  EXPECT_EQ(none.code + none.upgradeCode + none.name, L"");
}

// The per-user file of the product "Tarn: Settings Test" {5E77}, with
// APPDATA in `folder` for the owner's life; `kept` is false where the
// platform keeps no per-user file.
struct PerUserFile {
  PerUserFile(const test::TempFolder& folder, const LauncherPaths& paths)
      : appData(L"APPDATA", folder.pathOf("AppData")),
        path(userConfigPathFor(folder.pathOf("AppData"), L"Tarn: Settings Test", L"{5E77}", paths.executable,
                               nativePathStyle())) {
    std::wstring settingsFolder;
    kept = perUserSettingsFolder(settingsFolder);
  }

  test::ScopedEnvironment appData;
  std::wstring path;
  bool kept = false;
};

// A launcher "run" in a fresh folder, with its configuration file run.ini.
class LoadSettingsTest : public ::testing::Test {
 protected:
  void writeConfiguration(const std::vector<std::string>& lines) {
    folder_.writeFile("run.ini", toUtf8(iniText(lines)));
  }

  bool load(Settings& settings, std::string& output) {
    test::StdoutCapture capture;
    const bool loaded = loadSettings(paths_, settings);
    output = capture.finish();
    return loaded;
  }

  test::TempFolder folder_;
  const LauncherPaths paths_{folder_.pathOf("run"), folder_.path().wstring() + nativePathStyle().separator,
                             folder_.pathOf("run.ini")};
};

TEST_F(LoadSettingsTest, ReadsTheConfigurationFile) {
  writeConfiguration({
      "[Product Information]",
      "Product Code={0F1E}",
      "Upgrade Code={7A2B}",
      "Product Name=Tool: Pro",
      "[Java Runtime Environment]",
      "JRE Path=jre",
      "Main Class=com.example.App",
  });
  Settings settings;
  std::string output;
  ASSERT_TRUE(load(settings, output));
  EXPECT_EQ(output, "");
  EXPECT_EQ(settings.product.code, L"{0F1E}");
  EXPECT_EQ(settings.product.upgradeCode, L"{7A2B}");
  EXPECT_EQ(settings.product.name, L"Tool: Pro");
  EXPECT_EQ(settings.jrePath, L"jre");
  EXPECT_EQ(settings.mainClass, L"com/example/App");
}

TEST_F(LoadSettingsTest, NamesInTheFileMatchWithoutCase) {
  writeConfiguration({"[java runtime environment]", "MAIN CLASS=a.B", "jvm type=server", "[APPLICATION]",
                      "failure check=Yes"});
  Settings settings;
  std::string output;
  ASSERT_TRUE(load(settings, output));
  EXPECT_EQ(settings.mainClass, L"a/B");
  EXPECT_EQ(settings.runtime.jvmType, JvmType::Server);
  EXPECT_TRUE(settings.failureCheck);
}

TEST_F(LoadSettingsTest, CompanionSectionAddsToTheValue) {
  writeConfiguration({
      "[Java Runtime Environment]",
      "JRE Path=Java",
      "[Java Runtime Environment+]",
      "JRE Path=Other",
      "Main Class=com.example.App",
  });
  Settings settings;
  std::string output;
  ASSERT_TRUE(load(settings, output));
  // A value in the section itself replaces the layers below and the "+" is not read.
  EXPECT_EQ(settings.jrePath, L"Java");
  // With no built-in settings, a value found only in the "+" section is added
  // to the empty value after one separating space.
  EXPECT_EQ(settings.mainClass, L" com/example/App");
}

TEST_F(LoadSettingsTest, MissingFileStopsWithTheMessage) {
  Settings settings;
  std::string output;
  EXPECT_FALSE(load(settings, output));
  EXPECT_EQ(output, kMainClassMissing);
  EXPECT_EQ(settings.product.name, L"");
}

TEST_F(LoadSettingsTest, HugeValueIsReadWhole) {
  std::string mainClass;
  for (int i = 0; i < 50000; ++i) mainClass += "a.";
  const std::string preferred(100000, ';');
  writeConfiguration({"[Java Runtime Environment]", "Main Class=" + mainClass, "Preferred versions=" + preferred});
  Settings settings;
  std::string output;
  ASSERT_TRUE(load(settings, output));
  ASSERT_EQ(settings.mainClass.size(), 100000u);
  EXPECT_EQ(settings.mainClass.find(L'.'), std::wstring::npos);
  EXPECT_EQ(settings.mainClass.substr(0, 4), L"a/a/");
  EXPECT_EQ(settings.runtime.preferredVersions.size(), 100000u);
}

// User VM Parameters: the per-user file's Virtual Machine Parameters are
// taken only when the key says yes, never by a service, and only where a
// per-user file is kept (Windows).
TEST_F(LoadSettingsTest, UserVmParametersFromThePerUserFile) {
  const PerUserFile user(folder_, paths_);
  const bool perUser = user.kept;
  const std::wstring& userFile = user.path;
  const struct {
    const char* name;
    const char* key;
    const char* applicationType;
    const wchar_t* expected;
  } rows[] = {
      {"taken", "yes", "", L"-Xmx4g"},
      {"any case", "YES", "", L"-Xmx4g"},
      {"off by default", "", "", L""},
      {"anything but yes is off", "1", "", L""},
      {"never for a service", "yes", "service", L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    writeConfiguration({
        "[Product Information]",
        "Product Name=Tarn: Settings Test",
        "Product Code={5E77}",
        "[Java Runtime Environment]",
        "Main Class=App",
        "Virtual Machine Parameters=-Xmx1g",
        std::string("User VM Parameters=") + row.key,
        "[Application]",
        std::string("Application Type=") + row.applicationType,
    });
    folder_.writeFile(std::filesystem::relative(userFile, folder_.path()),
                      toUtf8(iniText({"[Java Runtime Environment]", "Virtual Machine Parameters=-Xmx4g"})));
    Settings settings;
    std::string output;
    ASSERT_TRUE(load(settings, output));
    EXPECT_EQ(settings.vmParameters, L"-Xmx1g");
    EXPECT_EQ(settings.userVmParameters, perUser ? row.expected : L"");
    EXPECT_EQ(settings.userFile, perUser && *row.expected != L'\0' ? userFile : L"");
  }
}

// The per-user file of the missing-runtime dialog, below %APPDATA% on
// Windows NT. Linux keeps none: there the file beside always counts.
TEST_F(LoadSettingsTest, JrePathFromThePerUserFileWhereOneIsKept) {
  const PerUserFile user(folder_, paths_);
  const bool perUser = user.kept;
  const std::wstring& userFile = user.path;
  const struct {
    const char* name;
    const char* applicationType;
    std::vector<std::string> perUserLines;  // empty: no per-user file
    const wchar_t* jrePath;
  } rows[] = {
      {"the per-user file gives JRE Path", "", {"[Java Runtime Environment]", "JRE Path=PerUser"}, L"PerUser"},
      {"without the key it still hides the file beside", "", {"[Java Runtime Environment]", "Other=1"}, L""},
      {"a service reads the file beside", "service", {"[Java Runtime Environment]", "JRE Path=PerUser"},
       L"Beside"},
      {"no per-user file: the file beside", "", {}, L"Beside"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    writeConfiguration({
        "[Product Information]",
        "Product Name=Tarn: Settings Test",
        "Product Code={5E77}",
        "[Java Runtime Environment]",
        "JRE Path=Beside",
        "Main Class=App",
        "[Application]",
        std::string("Application Type=") + row.applicationType,
    });
    std::filesystem::remove_all(folder_.path() / "AppData");
    if (!row.perUserLines.empty()) {
      folder_.writeFile(std::filesystem::relative(userFile, folder_.path()), toUtf8(iniText(row.perUserLines)));
    }
    Settings settings;
    std::string output;
    ASSERT_TRUE(load(settings, output));
    EXPECT_EQ(settings.service, std::string(row.applicationType) == "service");
    EXPECT_EQ(settings.jrePath, perUser ? row.jrePath : L"Beside");
  }
}

}  // namespace
}  // namespace tarn
