// tarn-stamp --check: what it tells a person about a configuration file.
#include "stamper/configuration_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/path.h"
#include "stamper/stamp_command.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace tarn::stamper {
namespace {

class ConfigurationCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_.writeFile("lib/app.jar", "PK");
    folder_.writeFile("lib/extra.jar", "PK");
  }

  std::vector<std::wstring> check(const std::wstring& text) {
    return checkConfiguration(text, folder_.path().wstring());
  }

  test::TempFolder folder_;
};

TEST_F(ConfigurationCheckTest, AFileAsTheLauncherReadsItHasNothingToSay) {
  EXPECT_EQ(check(L"[Java Runtime Environment]\r\n"
                  L"Main Class=app.Main\r\n"
                  L"Minimum Version=17\r\n"
                  L"[Application]\r\n"
                  L"Single Instance=yes\r\n"
                  L"Failure Check=Yes\r\n"
                  L"[Class Path]\r\n"
                  L"Class Path=\\lib\\*.jar;lib\\extra.jar\r\n"
                  L"[Class Path+]\r\n"
                  L"Class Path=\\lib\\app.jar\r\n"),
            std::vector<std::wstring>{});
}

TEST_F(ConfigurationCheckTest, WhatAPersonMayNotExpect) {
  const struct {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> findings;
  } cases[] = {
      {"a misspelt section, its keys left alone",
       L"[Aplication]\r\nSingle Instance=Yes\r\n",
       {L"[Aplication]: the launcher reads no such section (did you mean [Application]?)"}},
      {"a section far from any", L"[Settings]\r\nx=1\r\n", {L"[Settings]: the launcher reads no such section"}},
      {"a key of another section",
       L"[Application]\r\nMain Class=app.Main\r\n",
       {L"[Application] Main Class: the launcher reads no such key in this section"}},
      {"a misspelt key",
       L"[java runtime environment]\r\nMain Clas=app.Main\r\n",
       {L"[java runtime environment] Main Clas: the launcher reads no such key in this section"}},
      {"a key before any section",
       L"Main Class=app.Main\r\n[Application]\r\n",
       {L"Main Class: a key before any section, which the launcher never reads"}},
      {"a flag in the other case",
       L"[Application]\r\nSingle Instance=Yes\r\n",
       {L"[Application] Single Instance=Yes means off: only yes, in lower case, turns it on"}},
      {"a word that is none of the key's",
       L"[Java Runtime Environment]\r\nClass Data Sharing=on\r\n",
       {L"[Java Runtime Environment] Class Data Sharing=on means the VM's own default, no archive kept: the word is "
        L"auto"}},
      {"a value with a comment after it",
       L"[Application]\r\nFailure Check=Yes ; ask the user\r\n",
       {L"[Application] Failure Check=Yes ; ask the user means off: only Yes, in any case of letters, turns it "
        L"on; the file has no comments, all after = is the value"}},
      {"a key given twice",
       L"[Application]\r\nCmd=-a\r\ncmd=-b\r\n",
       {L"[Application] cmd: given again; the launcher reads only the first"}},
      {"a section given twice",
       L"[Application]\r\nCmd=-a\r\n[APPLICATION]\r\nCmd=-b\r\n",
       {L"[APPLICATION]: given again; the launcher reads only the first"}},
      {"class path entries that match nothing, and an empty one",
       L"[Class Path]\r\nClass Path=\\lib\\*.jar;\\libs\\*.jar;;missing.jar\r\n",
       {L"[Class Path] Class Path: the entry \\libs\\*.jar matches no file in " + folder_.path().wstring(),
        L"[Class Path] Class Path: an empty entry (left out)",
        L"[Class Path] Class Path: the entry missing.jar matches no file in " + folder_.path().wstring()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(check(c.text), c.findings);
  }
}

TEST_F(ConfigurationCheckTest, EntriesWithVariablesAreExpandedFirst) {
  test::ScopedEnvironment environment(L"TARN_TEST_LIB", L"lib");
  EXPECT_EQ(check(L"[Class Path]\r\nClass Path=%TARN_TEST_LIB%\\app.jar;%TARN_TEST_NONE%\\app.jar\r\n"),
            (std::vector<std::wstring>{L"[Class Path] Class Path: the entry %TARN_TEST_NONE%\\app.jar matches no "
                                       L"file in " + folder_.path().wstring()}));
}

TEST_F(ConfigurationCheckTest, ExitStatusOfTheCommand) {
  const std::wstring clean = folder_.writeFile("clean.ini", "[Java Runtime Environment]\r\nMain Class=a.B\r\n");
  const std::wstring odd = folder_.writeFile("odd.ini", "[Application]\r\nSingle Instance=Yes\r\n");
  const struct {
    const char* name;
    std::vector<std::wstring> arguments;
    int status;
  } cases[] = {
      {"nothing found", {L"--check", clean}, kStampWritten},
      {"a finding", {L"--check", odd}, kStampRefused},
      {"with the folder given", {L"--check", odd, folder_.path().wstring()}, kStampRefused},
      {"a missing file", {L"--check", folder_.pathOf("missing.ini")}, kStampRefused},
      {"no file", {L"--check"}, kStampUsageError},
      {"too many operands", {L"--check", clean, L"a", L"b"}, kStampUsageError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runStampCommand(c.arguments), c.status);
  }
}

}  // namespace
}  // namespace tarn::stamper
