#include "base/error_output.h"

#include <gtest/gtest.h>

#include "base/message_table.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

std::string printed(void (*print)()) {
  test::StdoutCapture capture;
  print();
  return capture.finish();
}

TEST(PrintError, WritesTheErrorLineByteForByte) {
  const struct {
    const char* name;
    void (*print)();
    std::string expected;
  } cases[] = {
      {"no arguments", [] { printError(loadMessage(MessageId::MainClassMissing)); },
       "Error: Main class was not specified in INI file. \n"},
      {"percent stays literal", [] { printError(std::wstring(L"100%s done %d")); }, "Error: 100%s done %d \n"},
      {"one text", [] { printError(loadMessage(MessageId::MainClassLoadFailed), std::wstring(L"com/example/App")); },
       "Error: Failed to load Main Class: com/example/App.\n \n"},
      {"two texts",
       [] {
         printError(loadMessage(MessageId::JniException), loadMessage(MessageId::CreateJavaVmFailed),
                    loadMessage(MessageId::JniErrNoMemory));
       },
       "Error: JNI exception: failed to create the Java VM\nReason: not enough memory.\n \n"},
      {"text and number",
       [] {
         printError(loadMessage(MessageId::WindowsException), loadMessage(MessageId::ModulePathFailed), 122);
       },
       "Error: Windows exception: failed to get the module path (errno = 122).\n \n"},
      {"absent message", [] { printError(loadMessage(uint16_t{223})); }, "Error:  \n"},
      {"non-ASCII path as UTF-8",
       [] { printError(loadMessage(MessageId::JvmLibraryLoadFailed), std::wstring(L"C:\\J\u00e4va\\jvm.dll"), 193); },
       "Error: Failed to load Java VM library: C:\\J\xc3\xa4va\\jvm.dll (errno = 193).\n \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(printed(c.print), c.expected);
  }
}

}  // namespace
}  // namespace tarn
