// The layered read on a real file: the platform's IniFile under the built-in
// document.
#include "config/layered_ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tarn {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = fs::temp_directory_path() / ("tarn-ini-" + std::to_string(stamp) + "-" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(folder_));
    path_ = (folder_ / "run.ini").wstring();
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void writeFile(const std::string& bytes) {
    std::ofstream out(fs::path(path_), std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  fs::path folder_;
  std::wstring path_;
};

using LayeredIniFileTest = TempFolderTest;

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
    LayeredIniFile file(path_, c.builtIn);
    for (IniStore* face : {static_cast<IniStore*>(&file.fileFace()), static_cast<IniStore*>(&file.builtInFace())}) {
      std::wstring out = L"stale";
      face->readString(L"S", L"K", out);
      EXPECT_EQ(out, c.expected);
    }
  }
}

TEST_F(LayeredIniFileTest, OtherOperationsActOnTheirFace) {
  writeFile("[File]\r\nK=f\r\n");
  LayeredIniFile file(path_, L"[BuiltIn]\r\nK=b\r\n");
  IniStore& onFile = file.fileFace();
  IniStore& onDocument = file.builtInFace();

  std::vector<std::wstring> names;
  onFile.sectionNames(names);
  EXPECT_EQ(names, std::vector<std::wstring>{L"File"});
  onDocument.sectionNames(names);
  EXPECT_EQ(names, std::vector<std::wstring>{L"BuiltIn"});

  uint32_t signature = 0;
  EXPECT_EQ(onFile.readSignature(signature), 0u);
  EXPECT_EQ(signature, 0x6C69465Bu);  // "[Fil" read as a little-endian number
  EXPECT_EQ(onDocument.readSignature(signature), 1u);

  EXPECT_TRUE(onDocument.writeString(L"Memory", L"K", L"m"));
  EXPECT_TRUE(onFile.writeString(L"Written", L"K", L"w"));
  std::wstring out;
  file.readString(L"Memory", L"K", out);
  EXPECT_EQ(out, L"m");
  file.readString(L"Written", L"K", out);
  EXPECT_EQ(out, L"w");
  onFile.sectionNames(names);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"File", L"Written"}));

  EXPECT_FALSE(onDocument.remove());
  EXPECT_TRUE(fs::exists(fs::path(path_)));
  EXPECT_TRUE(onFile.remove());
  EXPECT_FALSE(fs::exists(fs::path(path_)));
  file.readString(L"BuiltIn", L"K", out);
  EXPECT_EQ(out, L"b");
}

TEST(BuiltInSettingsText, OurExecutablesCarryNone) { EXPECT_EQ(builtInSettingsText(L"{7A2B}"), L""); }

}  // namespace
}  // namespace tarn
