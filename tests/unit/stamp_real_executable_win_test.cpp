// The stamp of an executable the toolchain made: this test program, which
// carries the launcher's resources (resources/tarn.rc), stamped and read back
// by the system's own resource and version functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/scoped_handle_win.h"
#include "base/text.h"
#include "stamper/embedded_settings.h"
#include "stamper/file_io.h"
#include "stamper/pe_image.h"
#include "stamper/stamp.h"
#include "support/temp_folder.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

std::wstring ownPath() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

std::string resourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name) {
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return "<missing>";
  const void* data = LockResource(LoadResource(module, resource));
  return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(names)->push_back(reinterpret_cast<ULONG_PTR>(name));
  return TRUE;
}

// The integer names of a type's resources.
std::vector<ULONG_PTR> namesOf(HMODULE module, const wchar_t* type) {
  std::vector<ULONG_PTR> names;
  EnumResourceNamesW(module, type, collectName, reinterpret_cast<LONG_PTR>(&names));
  return names;
}

std::wstring versionString(const std::vector<char>& info, const std::wstring& key) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\040904B0\\" + key;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return L"<missing>";
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(StampRealExecutable, ChecksumAgreesWithTheLinkers) {
  std::string bytes;
  std::wstring why;
  ASSERT_TRUE(readWholeFile(ownPath(), bytes, why)) << toUtf8(why);
  PeImage image;
  ASSERT_TRUE(parsePeImage(bytes, image, why)) << toUtf8(why);
  ASSERT_NE(image.checksum, 0u);
  EXPECT_EQ(peChecksum(bytes, image.checksumOffset()), image.checksum);
}

TEST(StampRealExecutable, TheSystemReadsWhatWasStamped) {
  test::TempFolder folder;
  const std::wstring output = folder.pathOf("run.exe");
  StampOptions options;
  std::wstring why;
  ASSERT_TRUE(
      parseStampCommandLine({L"--icon", L"app.ico", L"--product-name", L"Stamped \u00DCn\u00EFcode", L"--company",
                             L"ACME", L"--product-version", L"2.3.4", L"--file-version", L"5.6.7.8",
                             L"--execution-level", L"highestAvailable", L"--settings", L"run.ini", ownPath(), output},
                            options, why))
      << toUtf8(why);
  StampFiles files;
  ASSERT_TRUE(readWholeFile(ownPath(), files.launcher, why)) << toUtf8(why);
  files.icon =
      test::iconFile({std::string("\x89PNG\r\n\x1A\nimage", 13), std::string("\x28\0\0\0", 4) + std::string(60, 'd')});
  files.settings = "[Java Runtime Environment]\r\nMain Class=app.Main\r\n";
  std::string stamped;
  std::vector<std::wstring> notes;
  ASSERT_TRUE(stampLauncher(options, files, stamped, notes, why)) << toUtf8(why);
  ASSERT_TRUE(replaceFile(output, stamped, why)) << toUtf8(why);

  {
    ScopedModule module(
        LoadLibraryExW(output.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module.valid()) << GetLastError();
    HMODULE self = GetModuleHandleW(nullptr);

    std::wstring settings;
    SettingsProblem problem;
    ASSERT_TRUE(embeddedSettingsText(fromUtf8(files.settings), false, settings, problem));
    EXPECT_EQ(resourceBytes(module.get(), RT_RCDATA, MAKEINTRESOURCEW(8000)), embeddedSettingsBytes(settings));
    EXPECT_EQ(resourceBytes(module.get(), RT_RCDATA, MAKEINTRESOURCEW(8001)).substr(0, 13), "Tarn launcher");
    EXPECT_EQ(resourceBytes(module.get(), RT_GROUP_ICON, MAKEINTRESOURCEW(1)).size(), 6u + 2 * 14);
    EXPECT_EQ(namesOf(module.get(), RT_ICON), (std::vector<ULONG_PTR>{1, 2}));
    EXPECT_NE(resourceBytes(module.get(), RT_MANIFEST, MAKEINTRESOURCEW(1)).find("level=\"highestAvailable\""),
              std::string::npos);

    // The string table and the dialogs are what this program carries.
    const std::vector<ULONG_PTR> strings = namesOf(self, RT_STRING);
    ASSERT_FALSE(strings.empty());
    EXPECT_EQ(namesOf(module.get(), RT_STRING), strings);
    for (ULONG_PTR name : strings) {
      EXPECT_EQ(resourceBytes(module.get(), RT_STRING, MAKEINTRESOURCEW(name)),
                resourceBytes(self, RT_STRING, MAKEINTRESOURCEW(name)));
    }
    for (ULONG_PTR dialog : {201, 231}) {
      EXPECT_EQ(resourceBytes(module.get(), RT_DIALOG, MAKEINTRESOURCEW(dialog)),
                resourceBytes(self, RT_DIALOG, MAKEINTRESOURCEW(dialog)));
    }
  }

  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(output.c_str(), &handle);
  ASSERT_NE(size, 0u) << GetLastError();
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(output.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050006u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00070008u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020003u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00040000u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(versionString(info, L"ProductName"), L"Stamped \u00DCn\u00EFcode");
  EXPECT_EQ(versionString(info, L"CompanyName"), L"ACME");
  EXPECT_EQ(versionString(info, L"ProductVersion"), L"2.3.4");
  EXPECT_EQ(versionString(info, L"FileVersion"), L"5.6.7.8");
  EXPECT_EQ(versionString(info, L"OriginalFilename"), L"run.exe");
  EXPECT_EQ(versionString(info, L"InternalName"), L"run");
  EXPECT_EQ(versionString(info, L"FileDescription"), L"<missing>");
  DWORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(*translation, 0x04B00409u);
}

}  // namespace
}  // namespace tarn::stamper
