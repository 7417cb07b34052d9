// What a value means to the launcher where a person may read it otherwise.
#include "config/setting_readings.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tarn {
namespace {

const wchar_t kJre[] = L"Java Runtime Environment";
const wchar_t kApp[] = L"Application";

TEST(SettingReading, SaysWhatAValueMeansWhereItReadsOtherwise) {
  struct Row {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    const char* reading;  // empty: the value reads as it looks
  };
  const Row rows[] = {
      // Flags of the lower-case yes, and of Yes in any case.
      {kApp, L"Single Instance", L"yes", ""},
      {kApp, L"Single Instance", L"Yes", "off: only yes, in lower case, turns it on"},
      {kApp, L"Output Append", L"true", "off: only yes, in lower case, turns it on"},
      {kApp, L"Pair Return Code", L"Yes", ""},
      {kApp, L"Pair Return Code", L"yes", "on: Yes turns it on in any case of letters"},
      {kApp, L"Failure Check", L"1", "off: only Yes, in any case of letters, turns it on"},
      {kApp, L"Failure Check", L"Yess", "off: only Yes, in any case of letters, turns it on"},
      {kApp, L"Omit Service Name", L"No", "on: any value turns it on, No and 0 too"},
      // Words.
      {kJre, L"JVM Type", L"favor_server", ""},
      {kJre, L"JVM Type", L"server", ""},
      {kJre, L"JVM Type", L"Server", "client VMs first: the words are server and favor_server, compared exactly"},
      {kJre, L"JVM Type", L"favor", "client VMs first: the words are server and favor_server, compared exactly"},
      {kJre, L"JVM Source", L"JRE",
       "no registry search at all: the words are favor_JRE, favor_JDK, only_JRE and only_JDK, compared exactly"},
      {kJre, L"VM Provider", L"FAVOR_IBM", ""},
      {kJre, L"VM Provider", L"Any", ""},
      {kJre, L"VM Provider", L"sun",
       "JavaSoft/Oracle runtimes only: the words are jrockit, ibm, any and the favor_ ones"},
      {kApp, L"Application Type", L"Service", "a normal program: the word is service, compared exactly"},
      // Versions.
      {kJre, L"Maximum Version", L"any", ""},
      {kJre, L"Maximum Version", L"1.8", ""},
      {kJre, L"Maximum Version", L"Any",
       "0.0.0.0, as it has no digits: every installed runtime lies above it (for no upper bound write any, in "
       "lower case)"},
      {kJre, L"Minimum Version", L"none",
       "0.0.0.0, as it has no digits: no lower bound (the word any is written in lower case)"},
      {kJre, L"Preferred versions", L"1.8;1.7;", ""},
      {kJre, L"Preferred versions", L"1.8;;", ""},
      {kJre, L"Preferred versions", L"1.6;;1.5",
       "that entry 2, empty, matches every runtime: the entries after it are never looked at"},
      {kJre, L"Preferred versions", L"latest;1.8",
       "that entry 1, without digits, matches every runtime: the entries after it are never looked at"},
      // Comments, which the file does not have.
      {kApp, L"Single Instance", L"yes ; one copy",
       "off: only yes, in lower case, turns it on; the file has no comments, all after = is the value"},
      {kJre, L"Main Class", L"com.example.App # the entry",
       "the whole text: the file has no comments, all after = is the value"},
      {kJre, L"Main Class", L"com.example.App;x", ""},
      {L"Class Path", L"Class Path", L"\\lib\\a.jar ;\\lib\\b.jar", ""},
      {L"Class Path", L"Class Path", L"\\lib\\*.jar # jars",
       "the whole text: the file has no comments, all after = is the value"},
      // Empty is absent; other keys read as they look.
      {kApp, L"Single Instance", L"", ""},
      {kJre, L"JRE Path", L"C:\\Java\\jre", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(std::wstring(row.key) + L"=" + row.value));
    EXPECT_EQ(settingReading(row.section, row.key, row.value), row.reading);
  }
}

}  // namespace
}  // namespace tarn
