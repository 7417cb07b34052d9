#include "jvm/jvm_creation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "jni/jvm_hook_listener.h"
#include "unit/fake_jni.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

using test::FakeJni;

// A fake VM library and the setup and results of one creation.
struct Creation {
  Creation() { entries.createJavaVm = &test::fakeCreateJavaVm; }
  bool create() { return createJvm(entries, setup, vm, env); }
  FakeJni fake;
  JvmEntryPoints entries;
  VmSetup setup;
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
};

TEST(CreateJvm, HandsTheOptionsInOrderThenAbortAndExit) {
  const struct {
    const char* name;
    std::vector<std::string> options;
  } cases[] = {
      {"empty list: the two hooks alone", {}},
      {"options first, in list order", {"-Djava.class.path=C:\\App\\lib\\a.jar", "-Xmx512m", "-Dx=\xE4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Creation creation;
    for (const std::string& option : c.options) creation.setup.options.add(option);
    ASSERT_TRUE(creation.create());

    std::vector<std::string> texts;
    for (const auto& option : creation.fake.createdWithOptions) texts.push_back(option.text);
    std::vector<std::string> expected = c.options;
    expected.push_back("abort");
    expected.push_back("exit");
    EXPECT_EQ(texts, expected);
    const auto& given = creation.fake.createdWithOptions;
    for (size_t i = 0; i + 2 < given.size(); ++i) EXPECT_EQ(given[i].extraInfo, nullptr) << given[i].text;
    EXPECT_EQ(given[given.size() - 2].extraInfo, reinterpret_cast<void*>(&jvmAbortHook));
    EXPECT_EQ(given[given.size() - 1].extraInfo, reinterpret_cast<void*>(&jvmExitHook));
    EXPECT_EQ(creation.fake.createdWithVersion, JNI_VERSION_1_2);
    EXPECT_EQ(creation.fake.createdWithIgnoreUnrecognized, JNI_FALSE);
    EXPECT_EQ(creation.vm, creation.fake.vm());
    EXPECT_EQ(creation.env, creation.fake.env());
    // No output or error file: no stream is touched.
    EXPECT_EQ(creation.fake.mainCalls(), std::vector<std::string>{"JNI_CreateJavaVM"});
  }
}

TEST(CreateJvm, RefusalIsReportedWithTheReasonOfItsCode) {
  const std::string head = "Error: JNI exception: failed to create the Java VM\nReason: ";
  const struct {
    jint result;
    std::string reason;
  } cases[] = {
      {JNI_ERR, "unknown"},
      {JNI_EDETACHED, "thread detached from VM"},
      {JNI_EVERSION, "JNI version error"},
      {JNI_ENOMEM, "not enough memory"},
      {JNI_EEXIST, "VM already created"},
      {JNI_EINVAL, "invalid arguments"},
      {-7, ""},
      {1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    Creation creation;
    creation.fake.createResult = c.result;
    creation.fake.rubbishOnRefusal = true;
    test::StdoutCapture capture;
    EXPECT_FALSE(creation.create());
    EXPECT_EQ(capture.finish(), head + c.reason + ".\n \n");
    // The teardown must not destroy a VM that was never made.
    EXPECT_EQ(creation.vm, nullptr);
    EXPECT_EQ(creation.env, nullptr);
  }
}

struct RecordingListener : JvmHookListener {
  void onJvmExit(jint code) override { events.push_back("exit " + std::to_string(code)); }
  void onJvmAbort() override { events.push_back("abort"); }
  std::vector<std::string> events;
};

TEST(JvmHooks, ReachTheListenerOnlyWhileOneIsInstalled) {
  RecordingListener listener;
  // Nothing installed: nothing happens.
  jvmExitHook(0);
  jvmAbortHook();
  setJvmHookListener(&listener);
  jvmExitHook(3);
  jvmExitHook(0);
  jvmAbortHook();
  setJvmHookListener(nullptr);
  jvmExitHook(4);
  jvmAbortHook();
  EXPECT_EQ(listener.events, (std::vector<std::string>{"exit 3", "exit 0", "abort"}));
}

TEST(CreateJvm, RedirectsOutputThenErrorAndGoesOnAfterAFailure) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::wstring outputName = (folder / "tarn-out-%HH'h'mm'm'ss's'L%.log").wstring();
  const std::wstring errorName = (folder / "tarn-err-%HH'h'mm'm'ss's'L%.log").wstring();
  Creation creation;
  FakeJni& fake = creation.fake;
  fake.classes.insert({"java/io/FileOutputStream", "java/io/PrintStream", "java/lang/System"});
  fake.methods.insert({"java/io/FileOutputStream.<init> (Ljava/lang/String;Z)V",
                       "java/io/PrintStream.<init> (Ljava/io/OutputStream;)V",
                       "java/lang/System.setErr (Ljava/io/PrintStream;)V"});
  creation.setup.output.file = outputName;
  creation.setup.error.file = errorName;
  creation.setup.error.append = true;

  test::StdoutCapture capture;
  EXPECT_TRUE(creation.create());
  // System.setOut is missing: its exception is described, and the error
  // stream is redirected all the same.
  EXPECT_EQ(capture.finish(), "[exception java/lang/NoSuchMethodError]\n");
  std::vector<std::string> steps;
  std::vector<std::string> names;
  std::vector<std::string> appendFlags;
  for (const std::string& call : fake.mainCalls()) {
    if (call.rfind("New ", 0) == 0) {
      steps.push_back(call.substr(0, call.find('(')));
      if (call.rfind("New java/io/FileOutputStream", 0) == 0) {
        const size_t open = call.find('(') + 1;
        names.push_back(call.substr(open, call.rfind(", ") - open));
        appendFlags.push_back(call.substr(call.rfind(' ') + 1));
      }
    } else if (call.rfind("GetStaticMethodID", 0) == 0 || call == "ExceptionDescribe" ||
               call.rfind("CallStaticVoidMethodA", 0) == 0) {
      steps.push_back(call);
    }
  }
  EXPECT_EQ(appendFlags, (std::vector<std::string>{"false)", "true)"}));
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "New java/io/FileOutputStream",
                       "New java/io/PrintStream",
                       "GetStaticMethodID java/lang/System.setOut (Ljava/io/PrintStream;)V",
                       "ExceptionDescribe",
                       "New java/io/FileOutputStream",
                       "New java/io/PrintStream",
                       "GetStaticMethodID java/lang/System.setErr (Ljava/io/PrintStream;)V",
                       "CallStaticVoidMethodA java/lang/System.setErr",
                   }));

  // Both names stamped from one reading of the clock, down to the millisecond.
  ASSERT_EQ(names.size(), 2u);
  const std::string outputStamp = names[0].substr(names[0].rfind("tarn-out-") + 9);
  const std::string errorStamp = names[1].substr(names[1].rfind("tarn-err-") + 9);
  EXPECT_EQ(outputStamp.find('%'), std::string::npos);
  EXPECT_EQ(outputStamp.find('\''), std::string::npos);
  EXPECT_EQ(outputStamp, errorStamp);
  EXPECT_EQ(names[0].substr(0, names[0].rfind("tarn-out-") + 9), (folder / "tarn-out-").string());
  EXPECT_EQ(fake.violations, std::vector<std::string>{});
}

TEST(DefaultJavaStackSize, IsTheVmsPositiveValueOrZero) {
  const struct {
    jint offered;
    uint64_t expected;
  } cases[] = {{1048576, 1048576}, {0, 0}, {-1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offered);
    FakeJni fake;
    fake.defaultJavaStackSize = c.offered;
    JvmEntryPoints entries;
    entries.defaultInitArgs = &test::fakeDefaultInitArgs;
    EXPECT_EQ(defaultJavaStackSize(entries), c.expected);
    EXPECT_EQ(fake.defaultInitArgsVersion, JNI_VERSION_1_1);
  }
}

}  // namespace
}  // namespace tarn
