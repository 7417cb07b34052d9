// IniFile on the real profile-string functions.
#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tarn {
namespace {

// A value of the given length whose last character shows where it was cut.
std::string valueOf(size_t length) {
  std::string value;
  for (size_t i = 0; i + 1 < length; ++i) value += static_cast<char>('0' + i % 10);
  return value + "Z";
}

class IniFileWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, base), 0u);
    folder_ = std::wstring(base) + L"tarn-ini-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    path_ = folder_ + L"\\run.ini";
  }

  void TearDown() override {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder_ + L"\\" + data.cFileName).c_str());
      } while (FindNextFileW(search, &data));
      FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
  }

  void writeFile(const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path_), std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  std::wstring read(const wchar_t* section, const wchar_t* key) {
    IniFile file(path_);
    std::wstring out = L"stale";
    file.readString(section, key, out);
    return out;
  }

  std::wstring folder_;
  std::wstring path_;
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

TEST_F(IniFileWinTest, Signature) {
  writeFile("\xFF\xFE[\0");
  IniFile file(path_);
  uint32_t signature = 0;
  EXPECT_EQ(file.readSignature(signature), 0u);
  EXPECT_EQ(signature, 0x005BFEFFu);

  IniFile missing(folder_ + L"\\missing.ini");
  signature = 7;
  EXPECT_EQ(missing.readSignature(signature), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(signature, 0u);
  IniFile missingFolder(folder_ + L"\\absent\\run.ini");
  EXPECT_EQ(missingFolder.readSignature(signature), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
}

TEST_F(IniFileWinTest, WriteReadBackAndRemove) {
  IniFile file(path_);
  EXPECT_TRUE(file.writeString(L"Java Runtime Environment", L"JRE Path", L"C:\\Java\\jre"));
  EXPECT_TRUE(file.writeString(L"Java Runtime Environment", L"JRE Path", L"D:\\jre"));
  EXPECT_EQ(read(L"java runtime environment", L"jre path"), L"D:\\jre");
  std::vector<std::wstring> names;
  file.sectionNames(names);
  EXPECT_EQ(names, std::vector<std::wstring>{L"Java Runtime Environment"});

  EXPECT_TRUE(file.remove());
  EXPECT_EQ(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(file.remove());
  EXPECT_EQ(read(L"Java Runtime Environment", L"JRE Path"), L"");
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
