#include "run/worker_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "launcher/launcher.h"
#include "unit/fake_jni.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

using test::FakeJni;

// A launcher whose VM library is the fake, with a main class that exists.
struct Application {
  Application() {
    launcher.createJavaVmEntry = &test::fakeCreateJavaVm;
    launcher.defaultInitArgsEntry = &test::fakeDefaultInitArgs;
    launcher.mainClassName = L"com/example/App";
    fake.classes.insert("com/example/App");
    fake.methods.insert("com/example/App.main ([Ljava/lang/String;)V");
  }
  bool asked(const std::string& call) const {
    return std::find(fake.calls.begin(), fake.calls.end(), call) != fake.calls.end();
  }
  FakeJni fake;
  Launcher launcher;
};

TEST(WorkerMain, WithoutALauncherEndsWithOne) { EXPECT_EQ(workerMain(nullptr), 1u); }

TEST(RunJavaApplication, RunsTheVmOnAThreadOfItsOwnAndReturnsItsCode) {
  const struct {
    const char* name;
    std::function<void(Application&)> arrange;
    int32_t code;
    std::string output;
    bool mainCalled;
  } cases[] = {
      {"main returns", [](Application&) {}, 0, "", true},
      {"main throws", [](Application& a) { a.fake.throwing["com/example/App.main"] = "java/lang/Error"; }, 0, "",
       true},
      {"VM refused", [](Application& a) { a.fake.createResult = JNI_ENOMEM; }, 1,
       "Error: JNI exception: failed to create the Java VM\nReason: not enough memory.\n \n", false},
      {"main class missing", [](Application& a) { a.fake.classes.erase("com/example/App"); }, 1,
       "[exception java/lang/NoClassDefFoundError]\nError: Could not find the main class com/example/App.\n \n",
       false},
      {"detach refused", [](Application& a) { a.fake.detachResult = JNI_ERR; }, 1, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Application application;
    c.arrange(application);
    test::StdoutCapture capture;
    EXPECT_EQ(application.launcher.runJavaApplication(), c.code);
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(application.fake.mainCalled, c.mainCalled);
    EXPECT_TRUE(application.asked("JNI_CreateJavaVM"));
    EXPECT_NE(application.fake.createThread, std::this_thread::get_id());
  }
}

TEST(RunJavaApplication, AsksTheVmForTheStackSizeOnlyWhenNoneIsSet) {
  Application unset;
  unset.fake.defaultJavaStackSize = 512 * 1024;
  EXPECT_EQ(unset.launcher.runJavaApplication(), 0);
  EXPECT_TRUE(unset.asked("JNI_GetDefaultJavaVMInitArgs"));
  EXPECT_EQ(unset.launcher.threadStackSize, 512u * 1024u);

  Application set;
  set.launcher.threadStackSize = 2 * 1024 * 1024;
  EXPECT_EQ(set.launcher.runJavaApplication(), 0);
  EXPECT_FALSE(set.asked("JNI_GetDefaultJavaVMInitArgs"));
  EXPECT_EQ(set.launcher.threadStackSize, 2u * 1024u * 1024u);
}

}  // namespace
}  // namespace tarn
