// The paths the VM receives in the code page, against the real file system.
// Each test needs a code page, short names or a free drive letter, and skips
// with the reason where the machine lacks it.
#include <windows.h>

#include <gtest/gtest.h>

#include "jvm/jvm_parameters.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

const wchar_t kGreek[] = L"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae";

bool isPrintableAscii(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// True when every character of `text` is in the ANSI code page.
bool codePageHolds(const std::wstring& text) {
  if (GetACP() == CP_UTF8) return true;
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, &lost);
  return size > 0 && !lost;
}

// True when the volume of `folder` (an existing folder) gives it a short
// name other than its long one.
bool hasShortName(const std::wstring& folder) {
  wchar_t shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH && folder != shortPath;
}

// A drive letter with no drive, as "X:\\"; empty when every letter is taken.
std::wstring freeDriveRoot() {
  const DWORD drives = GetLogicalDrives();
  for (int letter = 25; letter >= 3; --letter) {
    if ((drives & (1u << letter)) == 0) return std::wstring(1, static_cast<wchar_t>(L'A' + letter)) + L":\\";
  }
  return std::wstring();
}

TEST(CodePageSafePath, APathTheCodePageCarriesStaysAsItIs) {
  if (!codePageHolds(L"caf\u00e9")) GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no \u00e9";
  test::TempFolder folder;
  const std::wstring path = folder.writeFile(L"lib\\caf\u00e9.jar", "PK");
  EXPECT_EQ(codePageSafePath(path), path);
  EXPECT_EQ(codePageSafePath(L"relative\\lib"), L"relative\\lib");
}

TEST(CodePageSafePath, OtherLettersGiveTheShortForm) {
  if (codePageHolds(kGreek)) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds Greek letters";
  test::TempFolder folder;
  const std::wstring path = folder.writeFile(std::wstring(kGreek) + L"\\lib\\a.jar", "PK");
  if (!hasShortName(folder.pathOf(kGreek))) GTEST_SKIP() << "the temporary folder's volume keeps no short names";
  const std::wstring safe = codePageSafePath(path);
  ASSERT_FALSE(safe.empty());
  EXPECT_TRUE(isPrintableAscii(safe));
  EXPECT_NE(safe.find(L'~'), std::wstring::npos);
  // The short form names the same file.
  EXPECT_NE(GetFileAttributesW(safe.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CodePageSafePath, AMissingFileKeepsItsNameAfterTheShortFolder) {
  if (codePageHolds(kGreek)) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds Greek letters";
  test::TempFolder folder;
  folder.makeFolder(kGreek);
  if (!hasShortName(folder.pathOf(kGreek))) GTEST_SKIP() << "the temporary folder's volume keeps no short names";
  const std::wstring safe = codePageSafePath(folder.pathOf(std::wstring(kGreek) + L"\\out\\later.log"));
  ASSERT_FALSE(safe.empty());
  EXPECT_TRUE(isPrintableAscii(safe));
  EXPECT_EQ(safe.substr(safe.size() - 14), L"\\out\\later.log");
}

TEST(CodePageSafePath, NoneWhereNothingHasAShortForm) {
  if (codePageHolds(kGreek)) GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds Greek letters";
  const std::wstring noDrive = freeDriveRoot();
  if (noDrive.empty()) GTEST_SKIP() << "every drive letter names a drive";
  EXPECT_EQ(codePageSafePath(noDrive + kGreek + L"\\a.jar"), L"");
  test::TempFolder folder;
  EXPECT_EQ(codePageSafePath(folder.pathOf(std::wstring(L"missing\\") + kGreek + L".jar")), L"");
}

}  // namespace
}  // namespace tarn
