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
    const wchar_t* reading;  // empty: the value reads as it looks
  };
  const Row rows[] = {
      // Flags of the lower-case yes, and of Yes in any case.
      {kApp, L"Single Instance", L"yes", L""},
      {kApp, L"Single Instance", L"Yes", L"off: only yes, in lower case, turns it on"},
      {kApp, L"Output Append", L"true", L"off: only yes, in lower case, turns it on"},
      {kApp, L"Pair Return Code", L"Yes", L""},
      {kApp, L"Pair Return Code", L"yes", L"on: Yes turns it on in any case of letters"},
      {kApp, L"Failure Check", L"1", L"off: only Yes, in any case of letters, turns it on"},
      {kApp, L"Omit Service Name", L"No", L"on: any value turns it on, No and 0 too"},
      // Words.
      {kJre, L"JVM Type", L"favor_server", L""},
      {kJre, L"JVM Type", L"Server",
       L"client VMs are tried first: it is none of the words server, favor_server, compared exactly, in their case "
       L"of letters"},
      {kJre, L"JVM Source", L"JRE",
       L"the registry is not searched at all: it is none of the words favor_JRE, favor_JDK, only_JRE, only_JDK, "
       L"compared exactly, in their case of letters"},
      {kJre, L"VM Provider", L"FAVOR_IBM", L""},
      {kJre, L"VM Provider", L"sun",
       L"JavaSoft/Oracle runtimes only: it is none of the words jrockit, ibm, favor_sun, favor_jrockit, favor_ibm, "
       L"any"},
      {kApp, L"Application Type", L"Service",
       L"it runs as a normal program: it is none of the words service, compared exactly, in their case of letters"},
      // Versions.
      {kJre, L"Maximum Version", L"any", L""},
      {kJre, L"Maximum Version", L"1.8", L""},
      {kJre, L"Maximum Version", L"Any",
       L"0.0.0.0, as it has no digits: every registered runtime lies above it (for no upper bound write any, in "
       L"lower case)"},
      {kJre, L"Minimum Version", L"none",
       L"0.0.0.0, as it has no digits: no lower bound (the word any is written in lower case)"},
      {kJre, L"Preferred versions", L"1.8;1.7;", L""},
      {kJre, L"Preferred versions", L"1.6;;1.5",
       L"that entry 2, empty, matches every runtime: the entries after it are never looked at"},
      {kJre, L"Preferred versions", L"latest;1.8",
       L"that entry 1, without digits, matches every runtime: the entries after it are never looked at"},
      // Comments, which the file does not have.
      {kApp, L"Single Instance", L"yes ; one copy",
       L"off: only yes, in lower case, turns it on; the file has no comments, all after = is the value"},
      {kJre, L"Main Class", L"com.example.App # the entry",
       L"the whole text: the file has no comments, all after = is the value"},
      {kJre, L"Main Class", L"com.example.App;x", L""},
      {L"Class Path", L"Class Path", L"\\lib\\a.jar ;\\lib\\b.jar", L""},
      {L"Class Path", L"Class Path", L"\\lib\\*.jar # jars",
       L"the whole text: the file has no comments, all after = is the value"},
      // Empty is absent; other keys read as they look.
      {kApp, L"Single Instance", L"", L""},
      {kJre, L"JRE Path", L"C:\\Java\\jre", L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(std::wstring(row.key) + L"=" + row.value));
    EXPECT_EQ(settingReading(row.section, row.key, row.value), row.reading);
  }
}

}  // namespace
}  // namespace tarn
