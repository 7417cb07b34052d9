// The paths the VM receives in the code page, against the real file system
// (the test prefix's code page is 1252, which has no Greek letters).
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

TEST(CodePageSafePath, APathTheCodePageCarriesStaysAsItIs) {
  test::TempFolder folder;
  const std::wstring path = folder.writeFile(L"lib\\caf\u00e9.jar", "PK");
  EXPECT_EQ(codePageSafePath(path), path);
  EXPECT_EQ(codePageSafePath(L"relative\\lib"), L"relative\\lib");
}

TEST(CodePageSafePath, OtherLettersGiveTheShortForm) {
  test::TempFolder folder;
  const std::wstring path = folder.writeFile(std::wstring(kGreek) + L"\\lib\\a.jar", "PK");
  const std::wstring safe = codePageSafePath(path);
  ASSERT_FALSE(safe.empty());
  EXPECT_TRUE(isPrintableAscii(safe));
  EXPECT_NE(safe.find(L'~'), std::wstring::npos);
  // The short form names the same file.
  EXPECT_NE(GetFileAttributesW(safe.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CodePageSafePath, AMissingFileKeepsItsNameAfterTheShortFolder) {
  test::TempFolder folder;
  folder.makeFolder(kGreek);
  const std::wstring safe = codePageSafePath(folder.pathOf(std::wstring(kGreek) + L"\\out\\later.log"));
  ASSERT_FALSE(safe.empty());
  EXPECT_TRUE(isPrintableAscii(safe));
  EXPECT_EQ(safe.substr(safe.size() - 14), L"\\out\\later.log");
}

TEST(CodePageSafePath, NoneWhereNothingHasAShortForm) {
  EXPECT_EQ(codePageSafePath(std::wstring(L"Q:\\") + kGreek + L"\\a.jar"), L"");
  test::TempFolder folder;
  EXPECT_EQ(codePageSafePath(folder.pathOf(std::wstring(L"missing\\") + kGreek + L".jar")), L"");
}

}  // namespace
}  // namespace tarn
