#include "run/main_class.h"

#include <gtest/gtest.h>

#include <functional>

#include "launcher/launcher.h"
#include "unit/fake_jni.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

using test::FakeJni;

const char kMainMethod[] = "com/example/App.main ([Ljava/lang/String;)V";
const char kCheckAndLoadMain[] = "sun/launcher/LauncherHelper.checkAndLoadMain (ZILjava/lang/String;)Ljava/lang/Class;";

// A launcher on the worker thread of a fake VM whose world holds the class
// com/example/App with a main method.
struct World {
  World() {
    launcher.jniEnv = fake.env();
    launcher.javaVm = fake.vm();
    launcher.mainClassName = L"com/example/App";
    fake.classes.insert("com/example/App");
    fake.methods.insert(kMainMethod);
  }

  void offerBootLoaderRoute() {
    launcher.findClassFromBootLoaderEntry = &test::fakeFindClassFromBootLoader;
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
  Launcher launcher;
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
    bool result;
    std::string output;
    std::vector<std::string> calls;
  } cases[] = {
      {"boot loader route finds the class", [](World& t) { t.offerBootLoaderRoute(); }, true, "",
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall, kMainCall, kDetach})},
      {"runtime without the boot loader export", [](World&) {}, true, "",
       joined({kFindClassRoute, kMainCall, kDetach})},
      {"boot loader without LauncherHelper",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.bootClasses.clear();
       },
       true, "", joined({{kBootLoaderLookUp[0]}, kFindClassRoute, kMainCall, kDetach})},
      {"LauncherHelper without checkAndLoadMain: its exception is cleared before FindClass",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.methods.erase(kCheckAndLoadMain);
       },
       true, "", joined({kBootLoaderLookUp, {"ExceptionClear"}, kFindClassRoute, kMainCall, kDetach})},
      {"checkAndLoadMain throws: cleared, then FindClass",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.throwing["sun/launcher/LauncherHelper.checkAndLoadMain"] = "java/lang/IllegalStateException";
       },
       true, "",
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall, {"ExceptionClear"}, kFindClassRoute, kMainCall, kDetach})},
      {"class on neither route",
       [](World& t) {
         t.offerBootLoaderRoute();
         t.fake.classes.erase("com/example/App");
       },
       false, kMissingClassOutput,
       joined({kBootLoaderLookUp, kCheckAndLoadMainCall,
               {"GetStringUTFChars com/example/App", "FindClass com/example/App", "ExceptionDescribe",
                "ReleaseStringUTFChars"},
               kDetach})},
      {"FindClass fails: the VM's description, then 215",
       [](World& t) { t.fake.classes.erase("com/example/App"); }, false, kMissingClassOutput,
       {"GetStringUTFChars com/example/App", "FindClass com/example/App", "ExceptionDescribe",
        "ReleaseStringUTFChars", "DetachCurrentThread"}},
      {"name that cannot become a Java string gives 211",
       [](World& t) { t.fake.failing.insert("NewCharArray"); }, false,
       "Error: Failed to load Main Class: com/example/App.\n \n",
       {"DetachCurrentThread (java/lang/OutOfMemoryError pending)"}},
      {"GetStringUTFChars fails: described, no message",
       [](World& t) { t.fake.failing.insert("GetStringUTFChars"); }, false,
       "[exception java/lang/OutOfMemoryError]\n",
       {"GetStringUTFChars", "ExceptionDescribe", "DetachCurrentThread"}},
      {"no main method, the VM throws: described, no 216",
       [](World& t) { t.fake.methods.erase(kMainMethod); }, false,
       "[exception java/lang/NoSuchMethodError]\n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod, "ExceptionDescribe"}, kDetach})},
      {"no main method, nothing pending: 216 unformatted",
       [](World& t) {
         t.fake.methods.erase(kMainMethod);
         t.fake.missingMethodThrows = false;
       },
       false, "Error: No main method found in specified class.\n \n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod}, kDetach})},
      {"argument array not built",
       [](World& t) {
         t.launcher.arguments = {L"x"};
         t.fake.failing.insert("NewObjectArray");
       },
       false, "[exception java/lang/OutOfMemoryError]\n",
       joined({kFindClassRoute, {std::string("GetStaticMethodID ") + kMainMethod, "ExceptionDescribe"}, kDetach})},
      {"main throws: left pending for the detach",
       [](World& t) { t.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException"; }, true, "",
       joined({kFindClassRoute, kMainCall, {"DetachCurrentThread (java/lang/RuntimeException pending)"}})},
      {"main throws with Failure Check on: the run goes on the same way",
       [](World& t) {
         t.launcher.failureCheck = true;
         t.fake.throwing["com/example/App.main"] = "java/lang/RuntimeException";
       },
       true, "", joined({kFindClassRoute, kMainCall, {"DetachCurrentThread (java/lang/RuntimeException pending)"}})},
      {"failed detach", [](World& t) { t.fake.detachResult = JNI_ERR; }, false, "",
       joined({kFindClassRoute, kMainCall, kDetach})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    c.arrange(world);
    test::StdoutCapture capture;
    const bool result = world.launcher.runMainClass();
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(world.fake.mainCalls(), c.calls);
    world.expectCleanUse();
  }
}

TEST(RunMainClass, NameOutsideTheBasicPlaneIsShownAsConfigured) {
  World world;
  world.launcher.mainClassName = L"com/\U00010400/App";
  test::StdoutCapture capture;
  EXPECT_FALSE(world.launcher.runMainClass());
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
    world.launcher.arguments = c.arguments;
    EXPECT_TRUE(world.launcher.runMainClass());
    EXPECT_TRUE(world.fake.mainCalled);
    EXPECT_FALSE(world.fake.mainArgumentsNull);
    EXPECT_EQ(world.fake.mainArguments, c.received);
    world.expectCleanUse();
  }
}

int sleeps = 0;
void countSleep() { ++sleeps; }

TEST(RunMainClass, AdmittedIbmRuntimeKeepsTheThreadInsteadOfDetaching) {
  World world;
  world.launcher.acceptIbm = true;
  sleeps = 0;
  EXPECT_FALSE(runMainClassWith(world.launcher, &countSleep));
  EXPECT_EQ(sleeps, 1);
  EXPECT_TRUE(world.fake.mainCalled);
  EXPECT_EQ(world.fake.mainCalls().back(), "ExceptionOccurred");

  // Only once main has run: a failed lookup still ends the thread.
  World missing;
  missing.launcher.favorIbm = true;
  missing.fake.classes.erase("com/example/App");
  sleeps = 0;
  test::StdoutCapture capture;
  EXPECT_FALSE(runMainClassWith(missing.launcher, &countSleep));
  capture.finish();
  EXPECT_EQ(sleeps, 0);
  EXPECT_EQ(missing.fake.mainCalls().back(), "DetachCurrentThread");
}

TEST(NewJavaString, HoldsTheTextsUtf16CodeUnits) {
  struct Case {
    std::string name;
    std::wstring text;
    std::u16string units;
  };
  std::vector<Case> cases = {
      {"empty", L"", u""},
      {"ASCII", L"com.example.App", u"com.example.App"},
      {"basic plane", L"\u00e4\u20ac\uFFFF", u"\u00e4\u20ac\uFFFF"},
      {"outside the basic plane: a surrogate pair", L"a\U0001F600b", u"a\U0001F600b"},
      {"unpaired surrogate passes unchanged", std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x",
       std::u16string(1, u'\xD800') + u"x"},
  };
  if (sizeof(wchar_t) == 4) {
    cases.push_back({"beyond Unicode", std::wstring(1, static_cast<wchar_t>(0x110000)), u"\uFFFD"});
    cases.push_back({"negative wide character", std::wstring(1, static_cast<wchar_t>(-1)), u"\uFFFD"});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeJni fake;
    jstring string = newJavaString(fake.env(), c.text);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(fake.stringValue(string), c.units);
    EXPECT_EQ(fake.liveReferences(), 1) << "only the result stays";
    EXPECT_EQ(fake.violations, std::vector<std::string>{});
  }
}

TEST(NewJavaString, FailingStepGivesNull) {
  for (const char* step : {"FindClass", "NewCharArray", "SetCharArrayRegion", "NewObjectA"}) {
    SCOPED_TRACE(step);
    FakeJni fake;
    fake.failing.insert(step);
    EXPECT_EQ(newJavaString(fake.env(), L"text"), nullptr);
    EXPECT_EQ(fake.liveReferences(), 0);
    EXPECT_EQ(fake.violations, std::vector<std::string>{});
  }
  FakeJni noConstructor;
  noConstructor.methods.clear();
  EXPECT_EQ(newJavaString(noConstructor.env(), L"text"), nullptr);
}

TEST(NewJavaStringArray, FailedElementGivesNullAndDropsTheArray) {
  FakeJni fake;
  jobjectArray built = newJavaStringArray(fake.env(), {L"a", L"b"});
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(fake.liveReferences(), 1);

  FakeJni failing;
  failing.failing.insert("NewObjectA");
  EXPECT_EQ(newJavaStringArray(failing.env(), {L"a", L"b"}), nullptr);
  EXPECT_EQ(failing.liveReferences(), 0);
  EXPECT_EQ(failing.violations, std::vector<std::string>{});
}

TEST(FromModifiedUtf8, DecodesWhatTheVmYields) {
  const struct {
    const char* name;
    const char* bytes;
    std::wstring text;
  } cases[] = {
      {"ASCII", "com/example/App", L"com/example/App"},
      {"two and three bytes", "\xC3\xA4\xE2\x82\xAC", L"\u00e4\u20ac"},
      {"encoded NUL", "a\xC0\x80" "b", std::wstring(L"a") + L'\0' + L"b"},
      {"surrogate pair, one unit at a time", "\xED\xA0\xBD\xED\xB8\x80", L"\U0001F600"},
      {"stray continuation byte", "\x80x", L"\uFFFDx"},
      {"cut short", "x\xE2\x82", L"x\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fromModifiedUtf8(c.bytes), c.text);
  }
}

}  // namespace
}  // namespace tarn
