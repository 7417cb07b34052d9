// IniFile on the real profile-string functions.
#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tarn {
namespace {

// A value of the given length whose last character shows where it was cut.
std::string valueOf(size_t length) {
  std::string value;
  for (size_t i = 0; i + 1 < length; ++i) value += static_cast<char>('0' + i % 10);
  return value + "Z";
}

// run.ini in a fresh folder.
class IniFileWinTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& bytes) { folder_.writeFile("run.ini", bytes); }

  std::wstring read(const wchar_t* section, const wchar_t* key) {
    IniFile file(path_);
    std::wstring out = L"stale";
    file.readString(section, key, out);
    return out;
  }

  test::TempFolder folder_;
  const std::wstring path_ = folder_.pathOf("run.ini");
};

TEST_F(IniFileWinTest, LongValuesAreReadWhole) {
  const struct {
    size_t length;
    const char* quote;
  } cases[] = {
      {254, ""}, {255, ""}, {256, ""},  {300, ""},   {511, ""},    {512, ""},
      {100000, ""}, {254, "\""}, {255, "\""}, {256, "\""}, {511, "'"}, {100000, "\""},
  };
  std::string text = "[Long]\r\n";
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    text += "V" + std::to_string(i) + "=" + cases[i].quote + valueOf(cases[i].length) + cases[i].quote + "\r\n";
  }
  writeFile(text);
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(std::to_string(cases[i].length) + " characters, quote " + cases[i].quote);
    std::wstring value = read(L"Long", (L"V" + std::to_wstring(i)).c_str());
    std::string expected = valueOf(cases[i].length);
    EXPECT_EQ(value, std::wstring(expected.begin(), expected.end()));
  }
}

TEST_F(IniFileWinTest, SectionNamesBeyondTheFirstBuffer) {
  std::string text;
  std::vector<std::wstring> expected;
  for (int i = 0; i < 60; ++i) {
    std::string name = "Section " + std::to_string(i % 50);  // ten names repeat
    text += "[" + name + "]\r\nK=" + std::to_string(i) + "\r\n";
    expected.emplace_back(name.begin(), name.end());
  }
  const std::string longName = valueOf(300);
  text += "[ \t ]\r\n[" + longName + "]\r\n";
  expected.emplace_back(longName.begin(), longName.end());
  writeFile(text);

  IniFile file(path_);
  std::vector<std::wstring> names = {L"stale"};
  file.sectionNames(names);
  EXPECT_EQ(names, expected);
  EXPECT_EQ(read(L"section 7", L"k"), L"7");
}

TEST_F(IniFileWinTest, WriteReadsBack) {
  IniFile file(path_);
  EXPECT_TRUE(file.writeString(L"Java Runtime Environment", L"JRE Path", L"C:\\Java\\jre"));
  EXPECT_TRUE(file.writeString(L"Java Runtime Environment", L"JRE Path", L"D:\\jre"));
  EXPECT_EQ(read(L"java runtime environment", L"jre path"), L"D:\\jre");
  std::vector<std::wstring> names;
  file.sectionNames(names);
  EXPECT_EQ(names, std::vector<std::wstring>{L"Java Runtime Environment"});
}

// The profile functions cannot open such a path; the file is read all the same.
TEST_F(IniFileWinTest, FileBeyondMaxPathIsRead) {
  const std::wstring folder = folder_.pathOf(std::wstring(250, L'p'));
  const std::wstring path = folder + L"\\run.ini";
  ASSERT_GE(path.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  HANDLE handle = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const std::string text = "[Java Runtime Environment]\r\nJRE Path = \"C:\\jre\" \r\n[Other]\r\n";
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(handle);

  IniFile file(path);
  std::wstring value = L"stale";
  file.readString(L"java runtime environment", L"jre path", value);
  EXPECT_EQ(value, L"C:\\jre");
  file.readString(L"Other", L"missing", value);
  EXPECT_EQ(value, L"");
  std::vector<std::wstring> names;
  file.sectionNames(names);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Java Runtime Environment", L"Other"}));
  DeleteFileW((L"\\\\?\\" + path).c_str());
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

TEST_F(IniFileWinTest, MissingFileReadsAsEmpty) {
  IniFile file(folder_.pathOf("absent\\run.ini"));
  std::wstring out = L"stale";
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"");
  std::vector<std::wstring> names = {L"stale"};
  file.sectionNames(names);
  EXPECT_TRUE(names.empty());
}

TEST_F(IniFileWinTest, HostileFilesGiveEmptyOrCorrectAnswers) {
  std::string large = "[S]\r\n";
  for (int i = 0; large.size() < (1u << 20); ++i) large += "Key" + std::to_string(i) + "=" + valueOf(40) + "\r\n";
  large += "Last=found\r\n";

  std::mt19937 random(20240601);
  std::string binary;
  for (int i = 0; i < (1 << 20); ++i) binary += static_cast<char>(random() & 0xFF);

  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;  // nullptr: any answer
  } cases[] = {
      {"1 MB file", large, L"S", L"Last", L"found"},
      {"1 MB line", std::string(1u << 20, 'x'), L"S", L"K", L""},
      {"random bytes", binary, L"S", L"K", nullptr},
      {"empty file", "", L"S", L"K", L""},
      {"UTF-16 with mark", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\x2D\x4E\x87\x65", 20), L"S", L"K",
       L"\x4E2D\x6587"},
      {"UTF-8 with mark", "\xEF\xBB\xBF[S]\r\nK=\xE4\xB8\xAD\xE6\x96\x87\r\n", L"S", L"K", L"\x4E2D\x6587"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(c.bytes);
    std::wstring value = read(c.section, c.key);
    if (c.expected != nullptr) {
      EXPECT_EQ(value, c.expected);
    }
    IniFile file(path_);
    std::vector<std::wstring> names;
    file.sectionNames(names);
    if (c.expected != nullptr && c.expected[0] != L'\0') {
      EXPECT_EQ(names, std::vector<std::wstring>{L"S"});
    }
  }
}

}  // namespace
}  // namespace tarn
