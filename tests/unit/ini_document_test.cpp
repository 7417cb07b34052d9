#include "config/ini_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

const wchar_t kUnchanged[] = L"<unchanged>";

TEST(IniDocument, ParseAndRead) {
  const struct {
    const char* name;
    std::wstring text;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;  // kUnchanged when absent
  } cases[] = {
      {"plain entry", L"[A]\r\nK=1\r\n", L"A", L"K", L"1"},
      {"no final line end", L"[A]\r\nK=1", L"A", L"K", L"1"},
      {"section names are case-sensitive", L"[Application]\r\nK=1\r\n", L"application", L"K", kUnchanged},
      {"keys are case-sensitive", L"[A]\r\nKey=1\r\n", L"A", L"key", kUnchanged},
      {"first of two sections", L"[A]\r\nK=1\r\n[A]\r\nK=2\r\n", L"A", L"K", L"1"},
      {"only the first section is searched", L"[A]\r\nX=1\r\n[A]\r\nK=2\r\n", L"A", L"K", kUnchanged},
      {"first of two keys", L"[A]\r\nK=1\r\nK=2\r\n", L"A", L"K", L"1"},
      {"lone LF does not end a line", L"[A]\nK=1\n", L"A", L"K", kUnchanged},
      {"lone CR stays in the value", L"[A]\r\nK=1\rL=2\r\n", L"A", L"K", L"1\rL=2"},
      {"byte order mark dropped", L"\xFEFF[A]\r\nK=1\r\n", L"A", L"K", L"1"},
      {"section name kept untrimmed", L"[ Java ]\r\nK=1\r\n", L" Java ", L"K", L"1"},
      {"trimmed name does not match", L"[ Java ]\r\nK=1\r\n", L"Java", L"K", kUnchanged},
      {"controls around a section line", L"\t \x01[A]\x1F \t\r\nK=1\r\n", L"A", L"K", L"1"},
      {"name between first [ and last ]", L"[A]]\r\nK=1\r\n", L"A]", L"K", L"1"},
      {"empty section name", L"[]\r\nK=1\r\n", L"", L"K", L"1"},
      {"key and value trimmed", L"[A]\r\n \t K \t = \t v w \t \r\n", L"A", L"K", L"v w"},
      {"empty value is found", L"[A]\r\nK=\r\n", L"A", L"K", L""},
      {"value after the first =", L"[A]\r\nK==v=w\r\n", L"A", L"K", L"=v=w"},
      {"no comment syntax", L"[A]\r\n;x=1\r\n", L"A", L";x", L"1"},
      {"quotes are kept", L"[A]\r\nK=\"v\"\r\n", L"A", L"K", L"\"v\""},
      {"line without = ignored", L"[A]\r\nK\r\n", L"A", L"K", kUnchanged},
      {"lines before the first section ignored", L"K=0\r\n[A]\r\nL=1\r\n", L"", L"K", kUnchanged},
      {"[A] x is no section line", L"[A]\r\nK=1\r\n[B] x\r\nK=2\r\n", L"A", L"K", L"1"},
      {"lone [ is no section line", L"[A]\r\n[\r\nK=1\r\n", L"A", L"K", L"1"},
      {"empty text", L"", L"A", L"K", kUnchanged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IniDocument document;
    document.parse(c.text);
    std::wstring out = kUnchanged;
    document.readString(c.section, c.key, out);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(IniDocument, SectionsKeepTheirOrderAndRepeats) {
  IniDocument document;
  document.parse(L"[B]\r\nK=1\r\n[A]\r\n[B]\r\nK=2\r\nL=3\r\n[ B ]\r\n");
  std::vector<std::wstring> names;
  for (const IniSection& section : document.sections()) names.push_back(section.name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"B", L"A", L"B", L" B "}));
  ASSERT_EQ(document.sections().size(), 4u);
  EXPECT_EQ(document.sections()[2].entries.size(), 2u);
  EXPECT_EQ(document.sections()[2].entries[1].value, L"3");
}

TEST(IniDocument, ParseReplacesTheOldContent) {
  IniDocument document;
  document.parse(L"[A]\r\nK=1\r\n");
  document.parse(L"[B]\r\nK=2\r\n");
  std::wstring out = kUnchanged;
  document.readString(L"A", L"K", out);
  EXPECT_EQ(out, kUnchanged);
  document.parse(L"");
  EXPECT_TRUE(document.sections().empty());
}

}  // namespace
}  // namespace tarn
