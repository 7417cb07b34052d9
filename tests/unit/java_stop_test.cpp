#include "run/java_stop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/fake_jni.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

// The stop thread against the fake VM: what it calls, what the VM is left
// to describe, and that the thread leaves the VM as it found it.
TEST(CallJavaStopTest, CallsStopAndLetsTheVmDescribeWhatWentWrong) {
  struct Case {
    const char* row;
    bool classExists;
    bool stopExists;
    const char* stopThrows;  // or null
    bool detach;
    std::vector<std::string> calls;
    std::string output;
  };
  const Case cases[] = {
      {"stop returns",
       true,
       true,
       nullptr,
       true,
       {"AttachCurrentThread", "GetStringUTFChars com/example/App", "FindClass com/example/App",
        "ReleaseStringUTFChars", "GetStaticMethodID com/example/App.stop ()V",
        "CallStaticVoidMethodA com/example/App.stop", "DetachCurrentThread"},
       ""},
      {"stop throws",
       true,
       true,
       "java/lang/IllegalStateException",
       true,
       {"AttachCurrentThread", "GetStringUTFChars com/example/App", "FindClass com/example/App",
        "ReleaseStringUTFChars", "GetStaticMethodID com/example/App.stop ()V",
        "CallStaticVoidMethodA com/example/App.stop", "ExceptionDescribe", "DetachCurrentThread"},
       "[exception java/lang/IllegalStateException]\n"},
      {"no stop method",
       true,
       false,
       nullptr,
       true,
       {"AttachCurrentThread", "GetStringUTFChars com/example/App", "FindClass com/example/App",
        "ReleaseStringUTFChars", "GetStaticMethodID com/example/App.stop ()V", "ExceptionDescribe",
        "DetachCurrentThread"},
       "[exception java/lang/NoSuchMethodError]\n"},
      {"no main class",
       false,
       false,
       nullptr,
       true,
       {"AttachCurrentThread", "GetStringUTFChars com/example/App", "FindClass com/example/App",
        "ReleaseStringUTFChars", "ExceptionDescribe", "DetachCurrentThread"},
       "[exception java/lang/NoClassDefFoundError]\n"},
      // A runtime whose threads stay attached.
      {"stop throws, no detach",
       true,
       true,
       "java/lang/IllegalStateException",
       false,
       {"AttachCurrentThread", "GetStringUTFChars com/example/App", "FindClass com/example/App",
        "ReleaseStringUTFChars", "GetStaticMethodID com/example/App.stop ()V",
        "CallStaticVoidMethodA com/example/App.stop", "ExceptionDescribe"},
       "[exception java/lang/IllegalStateException]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    test::FakeJni fake;
    if (c.classExists) fake.classes.insert("com/example/App");
    if (c.stopExists) fake.methods.insert("com/example/App.stop ()V");
    if (c.stopThrows != nullptr) fake.throwing["com/example/App.stop"] = c.stopThrows;

    test::StdoutCapture capture;
    callJavaStop(fake.vm(), L"com/example/App", c.detach);
    EXPECT_EQ(capture.finish(), c.output);

    EXPECT_EQ(fake.mainCalls(), c.calls);
    EXPECT_EQ(fake.violations, std::vector<std::string>{});
    EXPECT_FALSE(fake.exceptionPending());
    if (c.detach) {
      EXPECT_EQ(fake.liveReferencesAtDetach, 0);
      EXPECT_EQ(fake.utfBuffersAtDetach, 0);
    }
  }
}

TEST(CallJavaStopTest, AThreadTheVmDoesNotTakeCallsNothing) {
  test::FakeJni fake;
  fake.classes.insert("com/example/App");
  fake.methods.insert("com/example/App.stop ()V");
  fake.attachResult = JNI_ERR;
  test::StdoutCapture capture;
  callJavaStop(fake.vm(), L"com/example/App", true);
  EXPECT_EQ(capture.finish(), "");
  EXPECT_EQ(fake.calls, std::vector<std::string>{"AttachCurrentThread"});
}

TEST(CallJavaStopTest, NoVmCallsNothing) {
  test::FakeJni fake;
  callJavaStop(nullptr, L"com/example/App", true);
  EXPECT_EQ(fake.calls, std::vector<std::string>{});
}

}  // namespace
}  // namespace tarn
