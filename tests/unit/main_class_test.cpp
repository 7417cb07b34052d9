#include "run/main_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "unit/fake_jni.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

using test::FakeJni;

const char kMainMethod[] = "com/example/App.main ([Ljava/lang/String;)V";
const char kCheckAndLoadMain[] = "sun/launcher/LauncherHelper.checkAndLoadMain (ZILjava/lang/String;)Ljava/lang/Class;";

// The worker thread of a fake VM whose world holds the class com/example/App
// with a main method.
struct World {
  World() {
    call.env = fake.env();
    call.vm = fake.vm();
    call.mainClass = L"com/example/App";
    fake.classes.insert("com/example/App");
    fake.methods.insert(kMainMethod);
  }

  void offerBootLoaderRoute() {
    call.findClassFromBootLoader = &test::fakeFindClassFromBootLoader;
    fake.bootClasses.insert("sun/launcher/LauncherHelper");
    fake.methods.insert(kCheckAndLoadMain);
  }

  // The JNI rules the launcher must keep on every path.
  void expectCleanUse() {
    EXPECT_EQ(fake.violations, std::vector<std::string>{});
    if (fake.liveReferencesAtDetach != -1) {
      EXPECT_EQ(fake.liveReferencesAtDetach, 0) << "local references left at the detach";
      EXPECT_EQ(fake.utfBuffersAtDetach, 0) << "UTF bytes not released";
    }
  }

  FakeJni fake;
  MainClassCall call;
};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::vector<std::string> kBootLoaderLookUp = {
    "JVM_FindClassFromBootLoader sun/launcher/LauncherHelper",
    std::string("GetStaticMethodID ") + kCheckAndLoadMain,
};
const std::vector<std::string> kCheckAndLoadMainCall = {
    "CallStaticObjectMethodA sun/launcher/LauncherHelper.checkAndLoadMain(true, 1, com.example.App)"};
const std::vector<std::string> kFindClassRoute = {
    "GetStringUTFChars com/example/App",
    "FindClass com/example/App",
    "ReleaseStringUTFChars",
};
const std::vector<std::string> kMainCall = {
    std::string("GetStaticMethodID ") + kMainMethod,
    "CallStaticVoidMethodA com/example/App.main",
    "ExceptionOccurred",
};
const std::vector<std::string> kDetach = {"DetachCurrentThread"};
const char kMissingClassOutput[] =
    "[exception java/lang/NoClassDefFoundError]\n"
    "Error: Could not find the main class com/example/App.\n \n";

TEST(RunMainClass, FindsTheMainClassAndCallsMain) {
  const struct {
    const char* name;
    std::function<void(World&)> arrange;
    MainOutcome result;
    std::string output;
    std::vector<std::string> calls;
  } cases[] = {
      {"boot loader route finds the class", [](World& t) { t.offerBootLoaderRoute(); }, MainOutcome::Returned, "",
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall, kMainCall, kDetach})},
      {"runtime without the boot loader export", [](World&) {}, MainOutcome::Returned, "",
       joined({kFindClassRoute, kMainCall, kDetach})},
      {"boot loader without LauncherHelper",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.bootClasses.clear();
       },
       MainOutcome::Returned, "", joined({{kBootLoaderLookUp[0]}, kFindClassRoute, kMainCall, kDetach})},
      {"LauncherHelper without checkAndLoadMain: its exception is cleared before FindClass",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.methods.erase(kCheckAndLoadMain);
       },
       MainOutcome::Returned, "", joined({kBootLoaderLookUp, {"ExceptionClear"}, kFindClassRoute, kMainCall, kDetach})},
      {"checkAndLoadMain throws: cleared, then FindClass",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.throwing["sun/launcher/LauncherHelper.checkAndLoadMain"] = "java/lang/IllegalStateException";
       },
       MainOutcome::Returned, "",
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall, {"ExceptionClear"}, kFindClassRoute, kMainCall, kDetach})},
      {"class on neither route",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.classes.erase("com/example/App");
       },
       MainOutcome::NotCalled, kMissingClassOutput,
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall,
               {"GetStringUTFChars com/example/App", "FindClass com/example/App", "ExceptionDescribe",
                "ReleaseStringUTFChars"},
               kDetach})},
      {"FindClass fails: the VM's description, then 215",
       [](World& t) { t.fake.classes.erase("com/example/App"); }, MainOutcome::NotCalled, kMissingClassOutput,
       {"GetStringUTFChars com/example/App", "FindClass com/example/App", "ExceptionDescribe",
        "ReleaseStringUTFChars", "DetachCurrentThread"}},
      {"name that cannot become a Java string gives 211",
       [](World& t) { t.fake.failing.insert("NewCharArray"); }, MainOutcome::NotCalled,
       "Error: Failed to load Main Class: com/example/App.\n \n",
       {"DetachCurrentThread (java/lang/OutOfMemoryError pending)"}},
      {"GetStringUTFChars fails: described, no message",
       [](World& t) { t.fake.failing.insert("GetStringUTFChars"); }, MainOutcome::NotCalled,
       "[exception java/lang/OutOfMemoryError]\n",
       {"GetStringUTFChars", "ExceptionDescribe", "DetachCurrentThread"}},
      {"no main method, the VM throws: described, no 216",
       [](World& t) { t.fake.methods.erase(kMainMethod); }, MainOutcome::NotCalled,
       "[exception java/lang/NoSuchMethodError]\n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod, "ExceptionDescribe"}, kDetach})},
      {"no main method, nothing pending: 216 unformatted",
       [](World& t) {
         t.fake.methods.erase(kMainMethod);
         t.fake.missingMethodThrows = false;
       },
       MainOutcome::NotCalled, "Error: No main method found in specified class.\n \n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod}, kDetach})},
      {"argument array not built",
       [](World& t) {
         t.call.arguments = {L"x"};
         t.fake.failing.insert("NewObjectArray");
       },
       MainOutcome::NotCalled, "[exception java/lang/OutOfMemoryError]\n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod, "ExceptionDescribe"}, kDetach})},
      {"main throws: left pending for the detach",
       [](World& t) { t.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException"; }, MainOutcome::Threw, "",
       joined({kFindClassRoute, kMainCall, {"DetachCurrentThread (java/lang/RuntimeException pending)"}})},
      {"failed detach", [](World& t) { t.fake.detachResult = JNI_ERR; }, MainOutcome::NotCalled, "",
       joined({kFindClassRoute, kMainCall, kDetach})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    c.arrange(world);
    test::StdoutCapture capture;
    const MainOutcome result = runMainClass(world.call);
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(world.fake.mainCalls(), c.calls);
    world.expectCleanUse();
  }
}

TEST(RunMainClass, NameOutsideTheBasicPlaneIsShownAsConfigured) {
  World world;
  world.call.mainClass = L"com/\U00010400/App";
  test::StdoutCapture capture;
  EXPECT_EQ(runMainClass(world.call), MainOutcome::NotCalled);
  // The VM's modified UTF-8 encodes the two surrogates one by one; the
  // message shows the character itself again.
  EXPECT_EQ(capture.finish(),
            "[exception java/lang/NoClassDefFoundError]\n"
            "Error: Could not find the main class com/\xF0\x90\x90\x80/App.\n \n");
  EXPECT_EQ(world.fake.mainCalls().front(), "GetStringUTFChars com/\xED\xA0\x81\xED\xB0\x80/App");
  world.expectCleanUse();
}

TEST(RunMainClass, ArgumentsReachMainInOrderAsUtf16) {
  const struct {
    const char* name;
    std::vector<std::wstring> arguments;
    std::vector<std::u16string> received;
  } cases[] = {
      {"none: a zero-length array, not null", {}, {}},
      {"plain, empty and blank", {L"x", L"", L"a b"}, {u"x", u"", u"a b"}},
      {"outside any code page and outside the basic plane", {L"\u00e9\u4e2d", L"\U0001F600!"},
       {u"\u00e9\u4e2d", u"\U0001F600!"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    world.call.arguments = c.arguments;
    EXPECT_EQ(runMainClass(world.call), MainOutcome::Returned);
    EXPECT_TRUE(world.fake.mainCalled);
    EXPECT_FALSE(world.fake.mainArgumentsNull);
    EXPECT_EQ(world.fake.mainArguments, c.received);
    world.expectCleanUse();
  }
}

int sleeps = 0;
void countSleep() { ++sleeps; }

TEST(RunMainClass, ParkingKeepsTheThreadInsteadOfDetaching) {
  World world;
  world.call.threadsStayAttached = true;
  sleeps = 0;
  EXPECT_EQ(runMainClassWith(world.call, &countSleep), MainOutcome::NotCalled);
  EXPECT_EQ(sleeps, 1);
  EXPECT_TRUE(world.fake.mainCalled);
  EXPECT_EQ(world.fake.mainCalls().back(), "ExceptionOccurred");

  // An exception out of main is described before the thread parks: it
  // never detaches, so nothing else would ever tell of it.
  World throwing;
  throwing.call.threadsStayAttached = true;
  throwing.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException";
  sleeps = 0;
  test::StdoutCapture described;
  EXPECT_EQ(runMainClassWith(throwing.call, &countSleep), MainOutcome::NotCalled);
  EXPECT_EQ(described.finish(), "[exception java/lang/RuntimeException]\n");
  EXPECT_EQ(sleeps, 1);
  EXPECT_EQ(throwing.fake.mainCalls().back(), "ExceptionDescribe");

  // Only once main has run: a failed lookup still ends the thread.
  World missing;
  missing.call.threadsStayAttached = true;
  missing.fake.classes.erase("com/example/App");
  sleeps = 0;
  test::StdoutCapture capture;
  EXPECT_EQ(runMainClassWith(missing.call, &countSleep), MainOutcome::NotCalled);
  capture.finish();
  EXPECT_EQ(sleeps, 0);
  EXPECT_EQ(missing.fake.mainCalls().back(), "DetachCurrentThread");
}

// The step before main runs once, when everything main needs is ready, right
// before the call; never when main is not reached.
TEST(RunMainClass, BeforeMainRunsRightBeforeTheCallOnly) {
  const struct {
    const char* name;
    std::function<void(World&)> arrange;
    bool reached;
  } cases[] = {
      {"main called", [](World&) {}, true},
      {"main throws", [](World& t) { t.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException"; },
       true},
      {"class missing", [](World& t) { t.fake.classes.erase("com/example/App"); }, false},
      {"no main method", [](World& t) { t.fake.methods.erase(kMainMethod); }, false},
      {"argument array not built",
       [](World& t) {
         t.call.arguments = {L"x"};
         t.fake.failing.insert("NewObjectArray");
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    c.arrange(world);
    int runs = 0;
    world.call.beforeMain = [&world, &runs] {
      ++runs;
      world.fake.calls.push_back("beforeMain");
    };
    test::StdoutCapture capture;
    runMainClass(world.call);
    capture.finish();
    EXPECT_EQ(runs, c.reached ? 1 : 0);
    const std::vector<std::string> calls = world.fake.mainCalls();
    const auto step = std::find(calls.begin(), calls.end(), "beforeMain");
    if (c.reached) {
      ASSERT_NE(step, calls.end());
      ASSERT_NE(step + 1, calls.end());
      EXPECT_EQ(*(step + 1), "CallStaticVoidMethodA com/example/App.main");
    }
    world.expectCleanUse();
  }
}

// "Failure Check": the question a platform asks, recorded.
struct Question {
  static inline int asked = 0;
  static inline std::wstring trace;
  static inline bool stop = false;
  static bool ask(const std::wstring& text) {
    ++asked;
    trace = text;
    return stop;
  }
};

// The exception out of main is put to the question with its printed stack
// trace. Going on throws it again for the VM to report at the detach;
// stopping calls System.exit(-1).
TEST(RunMainClass, FailureCheckPutsTheExceptionToTheQuestion) {
  const struct {
    const char* name;
    bool stop;
    std::function<void(World&)> arrange;
    std::wstring trace;
    MainOutcome result;
    std::string output;
    std::vector<std::string> lastCalls;
  } cases[] = {
      {"go on: the exception is pending again at the detach", false, [](World&) {},
       L"java/lang/RuntimeException\n", MainOutcome::Threw, "",
       {"Throw java/lang/RuntimeException", "DetachCurrentThread (java/lang/RuntimeException pending)"}},
      {"stop: System.exit(-1), nothing pending", true, [](World&) {}, L"java/lang/RuntimeException\n",
       MainOutcome::Stopped, "", {"CallStaticVoidMethodA java/lang/System.exit(-1)", "DetachCurrentThread"}},
      {"no trace to be had: asked with none, the exception kept",
       false, [](World& t) { t.fake.failing.insert("FindClass java/io/StringWriter"); }, L"", MainOutcome::Threw, "",
       {"ExceptionClear", "Throw java/lang/RuntimeException",
        "DetachCurrentThread (java/lang/RuntimeException pending)"}},
      {"printStackTrace throws: cleared, the exception kept", false,
       [](World& t) { t.fake.throwing["java/lang/Throwable.printStackTrace"] = "java/lang/OutOfMemoryError"; }, L"",
       MainOutcome::Threw, "",
       {"ExceptionClear", "Throw java/lang/RuntimeException",
        "DetachCurrentThread (java/lang/RuntimeException pending)"}},
      {"System.exit refused: described", true,
       [](World& t) { t.fake.throwing["java/lang/System.exit"] = "java/lang/SecurityException"; },
       L"java/lang/RuntimeException\n", MainOutcome::Stopped, "[exception java/lang/SecurityException]\n",
       {"CallStaticVoidMethodA java/lang/System.exit(-1)", "ExceptionDescribe", "DetachCurrentThread"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    world.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException";
    world.fake.classes.insert({"java/io/StringWriter", "java/io/PrintWriter", "java/lang/Throwable", "java/lang/System"});
    world.fake.methods.insert({"java/io/StringWriter.<init> ()V", "java/io/StringWriter.toString ()Ljava/lang/String;",
                               "java/io/PrintWriter.<init> (Ljava/io/Writer;)V",
                               "java/lang/Throwable.printStackTrace (Ljava/io/PrintWriter;)V",
                               "java/lang/System.exit (I)V"});
    c.arrange(world);
    world.call.askToStop = &Question::ask;
    Question::asked = 0;
    Question::stop = c.stop;
    test::StdoutCapture capture;
    EXPECT_EQ(runMainClass(world.call), c.result);
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(Question::asked, 1);
    EXPECT_EQ(Question::trace, c.trace);
    const std::vector<std::string> calls = world.fake.mainCalls();
    ASSERT_GE(calls.size(), c.lastCalls.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - static_cast<std::ptrdiff_t>(c.lastCalls.size()), calls.end()),
              c.lastCalls);
    world.expectCleanUse();
  }
}

}  // namespace
}  // namespace tarn
