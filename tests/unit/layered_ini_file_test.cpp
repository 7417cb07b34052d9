// The layered read on a real file: the platform's IniFile under the built-in
// document.
#include "config/layered_ini_file.h"

#include "config/closed_file_keys.h"
#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// Built-in settings that leave every key to the file.
const std::wstring kOpenToFile = L"[Built-in Settings]\r\nOpen To File=Yes\r\n";

// run.ini in a fresh folder.
class LayeredIniFileTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& bytes) { folder_.writeFile("run.ini", bytes); }

  test::TempFolder folder_;
  const std::wstring path_ = folder_.pathOf("run.ini");
};

TEST_F(LayeredIniFileTest, BuiltInFileAndAddition) {
  const struct {
    const char* name;
    const wchar_t* builtIn;
    const char* file;  // nullptr: no file
    const wchar_t* expected;
  } cases[] = {
      {"built-in only", L"[S]\r\nK=-Xms64m\r\n", "", L"-Xms64m"},
      {"built-in, no file", L"[S]\r\nK=-Xms64m\r\n", nullptr, L"-Xms64m"},
      {"file replaces, addition unread", L"[S]\r\nK=-Xms64m\r\n", "[S]\r\nK=-Xmx2g\r\n[S+]\r\nK=-Xss1m\r\n",
       L"-Xmx2g"},
      {"empty file value counts as absent", L"[S]\r\nK=-Xms64m\r\n", "[S]\r\nK=\r\n", L"-Xms64m"},
      {"addition after one space", L"[S]\r\nK=-Xms64m\r\n", "[S+]\r\nK=-Xmx1g\r\n", L"-Xms64m -Xmx1g"},
      {"addition that begins with a space", L"[S]\r\nK=-Xms64m\r\n", "[S+]\r\nK=\" -Xmx1g\"\r\n",
       L"-Xms64m -Xmx1g"},
      {"addition alone keeps its space", L"", "[S+]\r\nK=-Xmx1g\r\n", L" -Xmx1g"},
      {"empty addition", L"[S]\r\nK=-Xms64m\r\n", "[S+]\r\nK=\r\n", L"-Xms64m"},
      {"file names ignore case", L"", "[s]\r\nk=file\r\n", L"file"},
      {"built-in names keep case", L"[s]\r\nk=built-in\r\n", "", L""},
      {"first built-in section", L"[S]\r\nK=1\r\n[S]\r\nK=2\r\n", "", L"1"},
      {"built-in with LF lines is one line", L"[S]\nK=1\n", "", L""},
      {"nothing anywhere", L"", nullptr, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::error_code ignored;
    fs::remove(fs::path(path_), ignored);
    if (c.file != nullptr) writeFile(c.file);
    IniFile onDisk(path_);
    LayeredIniFile file(onDisk, c.builtIn + kOpenToFile);
    std::wstring out = L"stale";
    file.readString(L"S", L"K", out);
    EXPECT_EQ(out, c.expected);
  }
}

// Any store can lie above the built-in settings, one in memory too.
TEST(LayeredIniStore, LayersAnyStore) {
  IniDocument above;
  above.parse(L"[S]\r\nK=above\r\n[S+]\r\nL=added\r\n");
  LayeredIniFile layered(above, L"[S]\r\nK=built-in\r\nL=built-in\r\n" + kOpenToFile);
  std::wstring out;
  layered.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"above");
  layered.readString(L"S", L"L", out);
  EXPECT_EQ(out, L"built-in added");
}

// A file planted beside a stamped launcher sets neither the code-choosing
// keys nor additions to them, unless the built-in settings open them.
TEST(LayeredIniStore, BuiltInSettingsCloseTheKeysThatChooseCode) {
  const std::wstring planted =
      L"[Java Runtime Environment]\r\nJRE Path=planted\r\nMain Class=Planted\r\nMinimum Version=21\r\n"
      L"Main Jar=planted.jar\r\nUser VM Parameters=yes\r\n"
      L"[Java Runtime Environment+]\r\nVirtual Machine Parameters=-javaagent:planted.jar\r\n"
      L"[Class Path]\r\nClass Path=planted.jar\r\n[Application]\r\nPair Product=planted.exe\r\n"
      L"Embedded Jar=Yes\r\nOutput File=out.log\r\nOutput Append=Yes\r\nFailure Check=Yes\r\nCmd=--planted\r\n"
      L"Later Key=x\r\n"
      L"[Application+]\r\nCmd=--more\r\n";
  const std::wstring builtIn =
      L"[Java Runtime Environment]\r\nJRE Path=jre\r\nMain Class=app.Main\r\nVirtual Machine Parameters=-Xmx1g\r\n";
  const struct {
    const char* name;
    const wchar_t* builtInEnd;  // appended to the built-in settings
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;
  } cases[] = {
      {"JRE Path closed", L"", L"Java Runtime Environment", L"JRE Path", L"jre"},
      {"Main Class closed", L"", L"Java Runtime Environment", L"Main Class", L"app.Main"},
      {"addition closed", L"", L"Java Runtime Environment", L"Virtual Machine Parameters", L"-Xmx1g"},
      {"Main Jar closed", L"", L"Java Runtime Environment", L"Main Jar", L""},
      // The per-user VM options are for the built-in settings alone to allow.
      {"User VM Parameters closed", L"", L"Java Runtime Environment", L"User VM Parameters", L""},
      {"User VM Parameters built in", L"User VM Parameters=yes\r\n", L"Java Runtime Environment",
       L"User VM Parameters", L"yes"},
      {"closed key absent from the built-in settings", L"", L"Class Path", L"Class Path", L""},
      {"Pair Product closed", L"", L"Application", L"Pair Product", L""},
      {"Embedded Jar closed", L"", L"Application", L"Embedded Jar", L""},
      // An allowlist: every key that is not named open stays closed.
      {"version bounds closed", L"", L"Java Runtime Environment", L"Minimum Version", L""},
      {"output file closed", L"", L"Application", L"Output File", L""},
      {"Cmd and its addition closed", L"", L"Application", L"Cmd", L""},
      {"unknown key closed", L"", L"Application", L"Later Key", L""},
      {"Output Append open", L"", L"Application", L"Output Append", L"Yes"},
      {"Failure Check open", L"", L"Application", L"Failure Check", L"Yes"},
      {"closed when said so", L"[Built-in Settings]\r\nOpen To File=No\r\n", L"Java Runtime Environment",
       L"Main Class", L"app.Main"},
      {"opened", L"[Built-in Settings]\r\nOpen To File=yes\r\n", L"Java Runtime Environment", L"Main Class",
       L"Planted"},
      {"opened: additions too", L"[Built-in Settings]\r\nOpen To File=Yes\r\n", L"Java Runtime Environment",
       L"Virtual Machine Parameters", L"-Xmx1g -javaagent:planted.jar"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IniDocument file;
    file.parse(planted);
    LayeredIniFile layered(file, builtIn + c.builtInEnd);
    std::wstring out = L"stale";
    layered.readString(c.section, c.key, out);
    EXPECT_EQ(out, c.expected);
  }
}

// The one addition a closed file may make: memory sizes after the built-in
// parameters, which it cannot replace.
TEST(LayeredIniStore, ClosedFileMayAddMemorySizesOnly) {
  const std::wstring builtIn = L"[Java Runtime Environment]\r\nVirtual Machine Parameters=-Dapp=1\r\n";
  const struct {
    const char* name;
    const wchar_t* file;
    const wchar_t* expected;
  } cases[] = {
      {"sizes added", L"[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Xmx2g  -Xss4m -Xms50P\r\n",
       L"-Dapp=1 -Xmx2g  -Xss4m -Xms50P"},
      {"a value replaces nothing", L"[Java Runtime Environment]\r\nVirtual Machine Parameters=-Xmx2g\r\n",
       L"-Dapp=1"},
      {"one other option refuses the whole addition",
       L"[Java Runtime Environment+]\r\nVirtual Machine Parameters=-Xmx2g -javaagent:a.jar\r\n", L"-Dapp=1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IniDocument file;
    file.parse(c.file);
    LayeredIniFile layered(file, builtIn);
    std::wstring out;
    layered.readString(L"Java Runtime Environment", L"Virtual Machine Parameters", out);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(ClosedFileKeys, MemorySizeParameters) {
  const struct {
    const wchar_t* text;
    bool sizes;
  } cases[] = {
      {L"-Xmx2g", true},          {L"-Xms512M -Xss1024k", true}, {L"-Xmn64m", true},
      {L"-Xmx4096", true},        {L"-Xmx50P", true},            {L"-Xmx25:64:1024t", true},
      {L"-Xmx50:64P", true},      {L" -Xmx1g ", true},           {L"", false},
      {L"  ", false},             {L"-Xmx", false},              {L"-Xmxg", false},
      {L"-Xmx1gb", false},        {L"-Xmx1:2:3:4P", false},      {L"-Xmx1:2", false},
      {L"-xmx1g", false},         {L"-Xmx1g\t-Dx=1", false},     {L"\"-Xmx1g\"", false},
      {L"-Xmx%HEAP%", false},     {L"-XX:+UseG1GC", false},      {L"-Xmx1g -agentlib:jdwp", false},
      {L"-Xbootclasspath/a:x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + wcslen(c.text)));
    EXPECT_EQ(memorySizeParameters(c.text), c.sizes);
  }
}

// Without built-in settings the file alone speaks, code-choosing keys too.
TEST(LayeredIniStore, NoBuiltInSettingsLeaveEveryKeyToTheFile) {
  IniDocument file;
  file.parse(L"[Java Runtime Environment]\r\nMain Class=app.Main\r\n");
  LayeredIniFile layered(file, L"");
  std::wstring out;
  layered.readString(L"Java Runtime Environment", L"Main Class", out);
  EXPECT_EQ(out, L"app.Main");
}

TEST(BuiltInSettingsText, OurExecutablesCarryNone) { EXPECT_EQ(builtInSettingsText(), L""); }

}  // namespace
}  // namespace tarn
