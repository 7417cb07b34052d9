#include "stamper/embedded_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "config/ini_document.h"
#include "config/profile_text.h"

namespace tarn::stamper {
namespace {

TEST(EmbeddedSettings, WritesTheLaunchersSpellingInTheFilesOrder) {
  const std::wstring ini =
      L"; built into run.exe\n"
      L"\n"
      L"  [ application ]  \r\n"
      L"single instance = yes\r"
      L"OUTPUT FILE=\"C:\\logs\\%date%.log\"\n"
      L"# the runtime\n"
      L"[Java Runtime Environment]\n"
      L"main class=com.example.Main\n"
      L"Virtual Machine Parameters='-Xmx1g -Dx=\"a b\"'\n"
      L"jre path=\"\n"
      L"Minimum Version=\n"
      L"[class path]\n"
      L"class path=lib\\*.jar;\u00E9t\u00E9.jar\n";
  std::wstring text;
  SettingsProblem problem;
  ASSERT_TRUE(embeddedSettingsText(ini, false, text, problem)) << toUtf8(problem.why);
  EXPECT_EQ(text,
            L"[Application]\r\n"
            L"Single Instance=yes\r\n"
            L"Output File=C:\\logs\\%date%.log\r\n"
            L"[Java Runtime Environment]\r\n"
            L"Main Class=com.example.Main\r\n"
            L"Virtual Machine Parameters=-Xmx1g -Dx=\"a b\"\r\n"
            L"JRE Path=\"\r\n"
            L"Minimum Version=\r\n"
            L"[Class Path]\r\n"
            L"Class Path=lib\\*.jar;\u00E9t\u00E9.jar\r\n"
            L"[Built-in Settings]\r\n"
            L"Open To File=No\r\n");

  // The launcher's exact reader finds every value as the file's reader would.
  IniDocument document;
  document.parse(decodeUtf16LE(embeddedSettingsBytes(text)));
  const struct {
    const wchar_t* section;
    const wchar_t* key;
  } reads[] = {
      {L"Application", L"Single Instance"},         {L"Application", L"Output File"},
      {L"Java Runtime Environment", L"Main Class"}, {L"Java Runtime Environment", L"Virtual Machine Parameters"},
      {L"Java Runtime Environment", L"JRE Path"},   {L"Class Path", L"Class Path"}};
  for (const auto& read : reads) {
    std::wstring fromFile;
    std::wstring builtIn = L"<absent>";
    profileReadString(ini, read.section, read.key, fromFile);
    document.readString(read.section, read.key, builtIn);
    EXPECT_EQ(builtIn, fromFile) << toUtf8(read.key);
  }
}

TEST(EmbeddedSettings, BytesAreUtf16LittleEndianWithAMark) {
  EXPECT_EQ(embeddedSettingsBytes(L"[A]\r\n\u20AC"), std::string("\xFF\xFE[\0A\0]\0\r\0\n\0\xAC\x20", 14));
}

TEST(EmbeddedSettings, OpenToFileNeedsNoMainClass) {
  std::wstring text;
  SettingsProblem problem;
  ASSERT_TRUE(embeddedSettingsText(L"[Application]\nCmd=x\n", true, text, problem));
  EXPECT_EQ(text, L"[Application]\r\nCmd=x\r\n[Built-in Settings]\r\nOpen To File=Yes\r\n");
  ASSERT_TRUE(embeddedSettingsText(L"", true, text, problem));
  EXPECT_EQ(text, L"[Built-in Settings]\r\nOpen To File=Yes\r\n");
}

TEST(EmbeddedSettings, RefusesWhatTheLauncherWouldNotReadAsWritten) {
  const std::wstring jre = L"[Java Runtime Environment]\nMain Class=M\n";
  const struct {
    const char* name;
    std::wstring ini;
    size_t line;
    const wchar_t* why;
  } cases[] = {
      {"no Main Class", L"[Application]\nCmd=x\n", 0, L"gives no Main Class in [Java Runtime Environment]"},
      {"an empty file", L"", 0, L"gives no Main Class"},
      {"empty Main Class", L"[Java Runtime Environment]\nMain Class=\"\"\n", 2, L"Main Class is empty"},
      {"Product Information", jre + L"[product information]\nProduct Name=x\n", 3,
       L"[Product Information] is read from the configuration file beside the executable only"},
      {"a companion section", jre + L"[Application+]\n", 3, L"[Application+] adds to the built-in settings"},
      {"an unknown section", jre + L"[Extras]\n", 3, L"unknown section [Extras]"},
      {"the stamp's own section", jre + L"[Built-in Settings]\n", 3, L"unknown section [Built-in Settings]"},
      {"a section twice", jre + L"[Application]\n[java runtime environment]\n", 4,
       L"[Java Runtime Environment] given twice, first on line 1"},
      {"a key twice", L"[Java Runtime Environment]\r\nMain Class=M\r\n\r\nMAIN CLASS=N\r\n", 4,
       L"Main Class given twice in [Java Runtime Environment], first on line 2"},
      {"an unknown key", jre + L"Heap Size=1g\n", 3, L"unknown key \"Heap Size\" in [Java Runtime Environment]"},
      {"a key of another section", jre + L"Cmd=x\n", 3,
       L"unknown key \"Cmd\" in [Java Runtime Environment] (it belongs in [Application])"},
      {"a key before any section", L"Main Class=M\n" + jre, 1, L"a key=value line before any section"},
      {"no key", jre + L" = x\n", 3, L"no key before the ="},
      {"a line without =", jre + L"Main Class\n", 3, L"neither a section, a key=value line nor a comment"},
      {"an open section line", jre + L"[Application\n", 3, L"a section line without its closing ]"},
      {"text after a section line", jre + L"[Application] ; app\n", 3, L"text follows the section line's closing ]"},
      {"a NUL", jre + std::wstring(L"Cmd=a\0b\n", 8), 3, L"NUL"},
      {"a character that failed to decode", jre + L"Cmd=\uFFFD\n", 3, L"not valid text"},
      {"a blank inside quotes", jre + L"[Application]\nCmd=\" x\"\n", 4,
       L"the value of Cmd begins or ends with a blank"},
      {"a wide space at the end", jre + L"[Application]\nCmd=x\u3000\n", 4, L"begins or ends with a blank"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text = L"<untouched>";
    SettingsProblem problem;
    EXPECT_FALSE(embeddedSettingsText(c.ini, false, text, problem));
    EXPECT_EQ(problem.line, c.line);
    EXPECT_NE(problem.why.find(c.why), std::wstring::npos) << toUtf8(problem.why);
    EXPECT_EQ(text, L"<untouched>");
  }
}

}  // namespace
}  // namespace tarn::stamper
