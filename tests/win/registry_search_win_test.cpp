// The registry reader on the real API: the two views, enumeration and the
// raw value bytes. Under Wine the prefix's owner may write HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/scoped_handle_win.h"
#include "discovery/registry_reader.h"

namespace tarn {
namespace {

constexpr bool kIs64BitProcess = sizeof(void*) == 8;

// A key of its own under HKLM\Software in both views, removed afterwards.
class RegistryReaderWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rootName_ = L"TarnRegistryTest-" + std::to_wstring(GetCurrentProcessId());
    root_ = L"Software\\" + rootName_ + L"\\";
    // Writing HKEY_LOCAL_MACHINE takes an administrator (or Wine's prefix owner).
    ScopedRegistryKey probe;
    const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, root_.c_str(), 0, nullptr, 0,
                                         KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, probe.put(), nullptr);
    if (created == ERROR_ACCESS_DENIED) {
      GTEST_SKIP() << "HKEY_LOCAL_MACHINE cannot be written by this user (error 5): the test needs an administrator";
    }
    ASSERT_EQ(created, ERROR_SUCCESS);
    written_ = true;
  }
  void TearDown() override {
    if (!written_) return;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      ScopedRegistryKey software;
      ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, software.put()), ERROR_SUCCESS);
      const LONG result = RegDeleteTreeW(software.get(), rootName_.c_str());
      EXPECT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
    }
  }

  // Creates root + path in the view; with a type, sets the value "JavaHome".
  void write(REGSAM view, const std::wstring& path, DWORD type = REG_NONE, const std::vector<uint8_t>& data = {}) {
    ScopedRegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (root_ + path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS)
        << "cannot write HKEY_LOCAL_MACHINE";
    if (type == REG_NONE) return;
    ASSERT_EQ(RegSetValueExW(key.get(), L"JavaHome", 0, type, data.empty() ? nullptr : data.data(),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }

  std::wstring rootName_;
  std::wstring root_;
  bool written_ = false;
};

std::vector<uint8_t> utf16(const std::wstring& text, bool terminated) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)});
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TEST_F(RegistryReaderWinTest, EachViewSeesItsOwnKeys) {
  write(KEY_WOW64_64KEY, L"Runtimes\\1.8");
  write(KEY_WOW64_32KEY, L"Runtimes\\1.7");
  const std::vector<std::wstring> sixtyFour{L"1.8"};
  const std::vector<std::wstring> thirtyTwo{L"1.7"};

  // The own view is the process's: the 64-bit one for x64, the 32-bit one for x86.
  EXPECT_EQ(machineRegistry(false)->subkeyNames(root_ + L"Runtimes\\"), kIs64BitProcess ? sixtyFour : thirtyTwo);
  EXPECT_EQ(machineRegistry(true)->subkeyNames(root_ + L"Runtimes\\"), thirtyTwo);
  EXPECT_EQ(machineRegistry(true)->subkeyNames(root_ + L"Runtimes"), thirtyTwo);
}

TEST_F(RegistryReaderWinTest, ListsEverySubkeyWithNamesOf255Characters) {
  const std::wstring longName = L"1.6.0_" + std::wstring(249, L'x');
  std::vector<std::wstring> written{longName};
  for (int i = 0; i < 1000; ++i) written.push_back(L"1.6.0_" + std::to_wstring(i));
  for (const std::wstring& name : written) {
    write(KEY_WOW64_32KEY, L"Many\\" + name);
    if (HasFatalFailure()) return;
  }
  std::vector<std::wstring> listed = machineRegistry(true)->subkeyNames(root_ + L"Many\\");
  ASSERT_EQ(listed.size(), written.size());
  std::sort(listed.begin(), listed.end());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(listed, written);
}

TEST_F(RegistryReaderWinTest, ReadsTheValueBytesOfAnyType) {
  std::vector<uint8_t> large = utf16(std::wstring(16 * 1024, L'a'), false);
  struct Row {
    const char* name;
    DWORD type;
    std::vector<uint8_t> data;
    std::wstring text;
  };
  const Row rows[] = {
      {"REG_SZ", REG_SZ, utf16(L"C:\\Java", true), L"C:\\Java"},
      {"REG_SZ without terminator", REG_SZ, utf16(L"C:\\Java", false), L"C:\\Java"},
      {"REG_EXPAND_SZ, not expanded", REG_EXPAND_SZ, utf16(L"%SystemRoot%\\Java", true), L"%SystemRoot%\\Java"},
      {"REG_DWORD", REG_DWORD, {5, 0, 0, 0}, L"\x05"},
      {"REG_BINARY of odd length", REG_BINARY, {'A', 0, 'B'}, L"A"},
      {"REG_SZ of 32 KB without terminator", REG_SZ, large, std::wstring(16 * 1024, L'a')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    write(KEY_WOW64_32KEY, L"Values\\1.6", row.type, row.data);
    if (HasFatalFailure()) return;
    std::vector<uint8_t> data;
    ASSERT_TRUE(machineRegistry(true)->readValue(root_ + L"Values\\1.6", L"JavaHome", data));
    // The stored bytes; a string may come back with a terminator added.
    ASSERT_GE(data.size(), row.data.size());
    EXPECT_TRUE(std::equal(row.data.begin(), row.data.end(), data.begin()));
    EXPECT_EQ(javaHomeText(data), row.text);
  }
}

TEST_F(RegistryReaderWinTest, MissingKeysAndValuesReadAsNothing) {
  write(KEY_WOW64_32KEY, L"Empty\\1.6", REG_SZ, {});
  write(KEY_WOW64_32KEY, L"NoValue\\1.6");
  write(KEY_WOW64_64KEY, L"OtherView\\1.6", REG_SZ, utf16(L"C:\\Java", true));
  write(KEY_WOW64_32KEY, L"Valid\\1.6", REG_SZ, utf16(L"C:\\Java", true));
  const auto registry = machineRegistry(true);
  struct Row {
    const char* name;
    std::wstring key;
  };
  const Row rows[] = {
      {"empty value", root_ + L"Empty\\1.6"},
      {"no value", root_ + L"NoValue\\1.6"},
      {"no key", root_ + L"Missing\\1.6"},
      {"key of the 64-bit view only", root_ + L"OtherView\\1.6"},
      // Cut at the zero, the path would name the key Valid\1.6.
      {"a zero character in the path", root_ + std::wstring(L"Valid\\1.6\0x", 11)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> data{1, 2};
    EXPECT_FALSE(registry->readValue(row.key, L"JavaHome", data));
    EXPECT_TRUE(registry->subkeyNames(row.key + L"\\").empty());
  }
}

}  // namespace
}  // namespace tarn
