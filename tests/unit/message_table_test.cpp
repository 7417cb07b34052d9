// Runs natively against the compiled-in table and under Wine against the
// executable's string table, so both carry the same texts.
#include "base/message_table.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(MessageTable, TextsByIdentifier) {
  const struct {
    uint16_t id;
    const wchar_t* text;
  } cases[] = {
      {202, L"Windows exception: %s (errno = %d).\n"},
      {203, L"JNI exception: %s\nReason: %s.\n"},
      {206, L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM (%s) from:"},
      {207, L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (%s) from:"},
      {208, L"failed to get the module path"},
      {209, L"Java Class Path was not specified in INI file."},
      {210, L"Main class was not specified in INI file."},
      {211, L"Failed to load Main Class: %s.\n"},
      {212, L"cannot find CreateJavaVM JNI"},
      {213, L"failed to create the Java VM"},
      {214, L"Browse for JRE folder"},
      {215, L"Could not find the main class %s.\n"},
      {216, L"No main method found in specified class.\n"},
      {217, L"latest version"},
      {218, L"maximum version %s"},
      {219, L"minimum version %s"},
      {220, L"version %s is required"},
      {221, L"version between %s and %s"},
      {222, L"Failed to load Java VM library: %s (errno = %d).\n"},
      {225, L"unknown"},
      {226, L"thread detached from VM"},
      {227, L"JNI version error"},
      {228, L"not enough memory"},
      {229, L"VM already created"},
      {230, L"invalid arguments"},
      {232, L"%s is not supported on this platform."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(loadMessage(c.id), c.text);
  }
}

TEST(MessageTable, AbsentIdentifiersAreEmpty) {
  // 201 and 204 share blocks with present texts; 223 lies between two; 0 and
  // 65535 are in blocks that do not exist.
  for (uint16_t id : {0, 1, 200, 201, 204, 205, 223, 224, 231, 255, 65535}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(loadMessage(id), L"");
  }
}

TEST(MessageTable, FormatMessageFillsThePlaceholders) {
  EXPECT_EQ(formatMessage(MessageId::LatestVersion, {}), L"latest version");
  EXPECT_EQ(formatMessage(MessageId::VersionBetween, {L"1.5", L"1.6"}), L"version between 1.5 and 1.6");
  EXPECT_EQ(formatMessage(MessageId::JreNotFound, {L"minimum version 1.6"}),
            L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
            L"(minimum version 1.6) from:");
}

}  // namespace
}  // namespace tarn
