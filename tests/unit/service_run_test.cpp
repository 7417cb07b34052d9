#include "run/service_run.h"

#include <gtest/gtest.h>

#include <string>

#include "run/start_gate.h"

namespace tarn {
namespace {

TEST(ServiceArgumentsTest, TheNameComesFirstUnlessOmitted) {
  struct Case {
    const char* row;
    std::vector<std::wstring> fromManager;
    bool omit;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {"name and parameters", {L"svc", L"a", L"b"}, false, {L"svc", L"a", L"b"}},
      {"name omitted", {L"svc", L"a", L"b"}, true, {L"a", L"b"}},
      {"name only", {L"svc"}, false, {L"svc"}},
      {"name only, omitted", {L"svc"}, true, {}},
      {"nothing from the manager", {}, false, {}},
      {"nothing from the manager, omit set", {}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(serviceArguments(c.fromManager, c.omit), c.expected);
  }
}

// The codes the configuration guide promises to operators, written out as it
// lists them. The end-to-end service scenarios see each through a real run.
TEST(ServiceSpecificCodeTest, TheCodesOfTheConfigurationGuide) {
  struct Case {
    const char* meaning;
    RunFailure failure;
    uint32_t code;
  };
  const Case cases[] = {
      {"main was called", RunFailure::None, 0},
      {"a stop before main", RunFailure::Abandoned, 0},
      {"no Java runtime was found", RunFailure::NoRuntime, 1},
      {"the JVM library could not be loaded", RunFailure::JvmLibrary, 2},
      {"the Java VM could not be created", RunFailure::VmCreation, 3},
      {"no class path: the VM was not created", RunFailure::NoClassPath, 3},
      {"the main class or main could not be run", RunFailure::MainClass, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.meaning);
    EXPECT_EQ(serviceSpecificCode(c.failure), c.code);
  }
}

TEST(ServiceLogTest, PathBesideTheConfigurationFile) {
  EXPECT_EQ(serviceLogPath(L"C:\\App\\run.ini"), L"C:\\App\\run.service.log");
  EXPECT_EQ(serviceLogPath(L"C:\\App\\run.beta.ini"), L"C:\\App\\run.beta.service.log");
  EXPECT_EQ(serviceLogPath(L"/opt/app/run"), L"/opt/app/run.service.log");
}

TEST(ServiceLogTest, TheFileTurnsWhenALineWouldPassTheLimit) {
  const uint64_t limit = 1024 * 1024;
  struct Case {
    uint64_t size;
    uint64_t adding;
    bool full;
  };
  const Case cases[] = {
      {0, 10, false},
      {0, limit + 10, false},  // a line longer than the limit in a file of its own
      {limit - 10, 10, false},
      {limit - 10, 11, true},
      {limit, 1, true},
      {limit + 500, 1, true},
      {1, limit, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " + " + std::to_string(c.adding));
    EXPECT_EQ(serviceLogIsFull(c.size, c.adding), c.full);
  }
  EXPECT_EQ(previousServiceLogPath(L"C:\\App\\run.service.log"), L"C:\\App\\run.service.log.1");
}

TEST(ServiceLogTest, LinesBeginWithTheLocalTime) {
  const LocalTime time{2024, 3, 2, 5, 7, 8, 9, 123};
  EXPECT_EQ(serviceLogLine(time, L"Error: x \n"), L"2024-03-05 07:08:09 Error: x \n");
}

TEST(StartGateTest, AStopAfterMainWasAdmittedGetsTheVm) {
  StartGate gate;
  JavaVM* vm = reinterpret_cast<JavaVM*>(0x1000);
  EXPECT_TRUE(gate.admitMain(vm));
  EXPECT_EQ(gate.vmForStop(), vm);
  EXPECT_EQ(gate.vmForStop(), vm);
}

TEST(StartGateTest, AStopBeforeTheVmAbandonsTheStart) {
  StartGate gate;
  EXPECT_EQ(gate.vmForStop(), nullptr);
  EXPECT_FALSE(gate.admitMain(reinterpret_cast<JavaVM*>(0x1000)));
}

}  // namespace
}  // namespace tarn
