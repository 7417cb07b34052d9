// The layered read on a real file: the platform's IniFile under the built-in
// document.
#include "config/layered_ini_file.h"

#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

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
    LayeredIniFile file(onDisk, c.builtIn);
    std::wstring out = L"stale";
    file.readString(L"S", L"K", out);
    EXPECT_EQ(out, c.expected);
  }
}

// Any store can lie above the built-in settings, one in memory too.
TEST(LayeredIniStore, LayersAnyStore) {
  IniDocument above;
  above.parse(L"[S]\r\nK=above\r\n[S+]\r\nL=added\r\n");
  LayeredIniFile layered(above, L"[S]\r\nK=built-in\r\nL=built-in\r\n");
  std::wstring out;
  layered.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"above");
  layered.readString(L"S", L"L", out);
  EXPECT_EQ(out, L"built-in added");
}

TEST(BuiltInSettingsText, OurExecutablesCarryNone) { EXPECT_EQ(builtInSettingsText(L"{7A2B}"), L""); }

}  // namespace
}  // namespace tarn
