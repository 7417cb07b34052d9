#include "jvm/output_redirection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "jvm/time_pictures.h"

namespace tarn {
namespace {

constexpr LocalTime kExampleTime{2024, 3, 2, 5, 14, 7, 9, 42};

TEST(StampFileName, ReplacesThePictureBetweenTheFirstAndLastPercent) {
  const std::wstring longPicture(300, L'x');
  const struct {
    std::wstring name;
    LocalTime time;
    std::wstring expected;
  } cases[] = {
      {L"C:\\logs\\app-%yyyyMMdd-HHmmss.L%.log", kExampleTime, L"C:\\logs\\app-20240305-140709.42.log"},
      {L"C:\\logs\\app.log", kExampleTime, L"C:\\logs\\app.log"},
      {L"C:\\logs\\app%.log", kExampleTime, L"C:\\logs\\app.log"},
      {L"C:\\logs\\app%%.log", kExampleTime, L"C:\\logs\\app.log"},
      {L"%%", kExampleTime, L""},
      {L"a%HH%b%mm%c", kExampleTime, L"a14%b%07c"},  // inner "%" belong to the picture
      {L"%L-l%", {2024, 3, 2, 5, 14, 7, 9, 7}, L"7-l"},
      {L"%L%", {2024, 3, 2, 5, 14, 7, 9, 0}, L"0"},
      {L"%L%", {2024, 3, 2, 5, 14, 7, 9, 999}, L"999"},
      {L"%'HH'%", kExampleTime, L"HH"},
      // Quoted in the time pass, read again by the date pass.
      {L"%'yyyy'%", kExampleTime, L"2024"},
      {L"%h-H%", {2024, 3, 2, 5, 0, 7, 9, 42}, L"12-0"},
      {L"%" + longPicture + L"yyyy%.log", kExampleTime, longPicture + L"2024.log"},
      // A clock reading out of range leaves the picture text as written.
      {L"app-%HH.L%.log", {2024, 3, 2, 5, 25, 7, 9, 42}, L"app-HH.L.log"},
      {L"app-%dd.L%.log", {2024, 2, 2, 30, 14, 7, 9, 42}, L"app-dd.L.log"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    std::wstring name = c.name;
    stampFileName(name, c.time);
    EXPECT_EQ(name, c.expected);
  }
}

TEST(StampFileName, LongStampsAreWrittenWhole) {
  std::wstring picture;
  for (int i = 0; i < 200; ++i) picture += L"yyyy-";
  std::wstring name = L"%" + picture + L"%";
  stampFileName(name, kExampleTime);
  std::wstring expected;
  for (int i = 0; i < 200; ++i) expected += L"2024-";
  EXPECT_EQ(name, expected);
}

TEST(CurrentLocalTime, FieldsAgreeWithEachOther) {
  // The weekday the clock gives is the weekday of the date it gives.
  const LocalTime now = currentLocalTime();
  ASSERT_TRUE(now.dayOfWeek >= 0 && now.dayOfWeek <= 6);
  std::wstring weekday;
  ASSERT_TRUE(formatDatePicture(L"dddd", now, englishTimePictureNames(), weekday));
  EXPECT_EQ(weekday, englishTimePictureNames().dayNames[now.dayOfWeek]);
  EXPECT_TRUE(formatTimePicture(L"HH", now, englishTimePictureNames(), weekday));
}

// ---- redirectStream against a small JNI world ----

// Holds the objects a JNIEnv hands out, records each call, and notes a call
// made while an exception is pending that JNI does not allow then.
class StreamWorld {
 public:
  std::set<std::string> missingClasses;
  std::set<std::string> missingMethods;  // "class.name"
  std::string throwingCall;              // "new java/io/FileOutputStream", "System.setOut", ...
  std::vector<std::string> calls;
  std::vector<std::string> violations;
  std::string pending;

  struct Object {
    std::string kind;     // class name of the object, or "class X"
    std::u16string text;  // String, char[]
    jobject wrapped;      // the constructor's first argument
    bool appendFlag;      // FileOutputStream
    bool deleted;
  };
  std::vector<Object> objects;
  std::vector<std::string> methodNames;
  jobject installed = nullptr;
  std::string installedBy;

  StreamWorld() {
    current = this;
    table_.FindClass = &findClass;
    table_.GetMethodID = &getMethodId;
    table_.GetStaticMethodID = &getMethodId;
    table_.NewCharArray = &newCharArray;
    table_.SetCharArrayRegion = &setCharArrayRegion;
    table_.NewObjectA = &newObjectA;
    table_.CallStaticVoidMethodA = &callStaticVoidMethodA;
    table_.DeleteLocalRef = &deleteLocalRef;
    table_.ExceptionOccurred = &exceptionOccurred;
    table_.ExceptionCheck = &exceptionCheck;
    table_.ExceptionDescribe = &exceptionDescribe;
    table_.ExceptionClear = &exceptionClear;
    env_.functions = &table_;
  }
  ~StreamWorld() { current = nullptr; }

  JNIEnv* env() { return &env_; }
  int liveReferences() const {
    int live = 0;
    for (const Object& object : objects) live += object.deleted ? 0 : 1;
    return live;
  }
  // For the test's own look afterwards, deleted objects included.
  Object* peek(jobject reference) {
    const auto index = reinterpret_cast<std::uintptr_t>(reference);
    if (index == 0 || index > objects.size()) return nullptr;
    return &objects[index - 1];
  }
  Object* at(jobject reference) {
    Object* object = peek(reference);
    if (object != nullptr && object->deleted) violations.push_back("use of a deleted reference");
    return object;
  }

 private:
  static StreamWorld* current;

  bool enter(const std::string& call, bool exceptionSafe = false) {
    calls.push_back(call);
    if (!pending.empty() && !exceptionSafe) violations.push_back(call + " with " + pending + " pending");
    return pending.empty() || exceptionSafe;
  }
  jobject make(std::string kind, std::u16string text = {}, jobject wrapped = nullptr, bool appendFlag = false) {
    objects.push_back(Object{std::move(kind), std::move(text), wrapped, appendFlag, false});
    return reinterpret_cast<jobject>(static_cast<std::uintptr_t>(objects.size()));
  }
  jmethodID method(const std::string& key) {
    methodNames.push_back(key);
    return reinterpret_cast<jmethodID>(static_cast<std::uintptr_t>(methodNames.size()));
  }
  const std::string& methodName(jmethodID id) {
    return methodNames.at(reinterpret_cast<std::uintptr_t>(id) - 1);
  }

  static jclass JNICALL findClass(JNIEnv*, const char* name) {
    StreamWorld& w = *current;
    if (!w.enter(std::string("FindClass ") + name)) return nullptr;
    if (w.missingClasses.count(name) != 0) {
      w.pending = "NoClassDefFoundError";
      return nullptr;
    }
    return static_cast<jclass>(w.make(std::string("class ") + name));
  }
  static jmethodID JNICALL getMethodId(JNIEnv*, jclass clazz, const char* name, const char* signature) {
    StreamWorld& w = *current;
    Object* owner = w.at(clazz);
    const std::string key = (owner != nullptr ? owner->kind.substr(6) : "?") + "." + name;
    if (!w.enter("method " + key + " " + signature)) return nullptr;
    if (w.missingMethods.count(key) != 0) {
      w.pending = "NoSuchMethodError";
      return nullptr;
    }
    return w.method(key);
  }
  static jcharArray JNICALL newCharArray(JNIEnv*, jsize length) {
    StreamWorld& w = *current;
    if (!w.enter("NewCharArray")) return nullptr;
    return static_cast<jcharArray>(w.make("char[]", std::u16string(static_cast<size_t>(length), u'\0')));
  }
  static void JNICALL setCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* units) {
    StreamWorld& w = *current;
    if (!w.enter("SetCharArrayRegion")) return;
    Object* chars = w.at(array);
    for (jsize i = 0; chars != nullptr && i < length; ++i) {
      chars->text[static_cast<size_t>(start + i)] = static_cast<char16_t>(units[i]);
    }
  }
  static jobject JNICALL newObjectA(JNIEnv*, jclass clazz, jmethodID id, const jvalue* args) {
    StreamWorld& w = *current;
    const std::string constructor = w.methodName(id);
    const std::string type = constructor.substr(0, constructor.find('.'));
    if (!w.enter("new " + type)) return nullptr;
    w.at(clazz);
    if (w.throwingCall == "new " + type) {
      w.pending = "IOException";
      return nullptr;
    }
    Object* argument = w.at(args[0].l);
    if (type == "java/lang/String") return w.make(type, argument != nullptr ? argument->text : u"");
    return w.make(type, {}, args[0].l, type == "java/io/FileOutputStream" && args[1].z == JNI_TRUE);
  }
  static void JNICALL callStaticVoidMethodA(JNIEnv*, jclass clazz, jmethodID id, const jvalue* args) {
    StreamWorld& w = *current;
    const std::string name = w.methodName(id);
    if (!w.enter("call " + name)) return;
    w.at(clazz);
    if (w.throwingCall == "call " + name) {
      w.pending = "SecurityException";
      return;
    }
    w.installed = args[0].l;
    w.installedBy = name;
  }
  static void JNICALL deleteLocalRef(JNIEnv*, jobject reference) {
    StreamWorld& w = *current;
    w.enter("DeleteLocalRef", true);
    if (Object* object = w.at(reference)) object->deleted = true;
  }
  static jthrowable JNICALL exceptionOccurred(JNIEnv*) {
    StreamWorld& w = *current;
    w.enter("ExceptionOccurred", true);
    return w.pending.empty() ? nullptr : static_cast<jthrowable>(w.make("Throwable"));
  }
  static jboolean JNICALL exceptionCheck(JNIEnv*) {
    StreamWorld& w = *current;
    w.enter("ExceptionCheck", true);
    return w.pending.empty() ? JNI_FALSE : JNI_TRUE;
  }
  static void JNICALL exceptionDescribe(JNIEnv*) {
    StreamWorld& w = *current;
    w.enter("ExceptionDescribe", true);
    w.pending.clear();
  }
  static void JNICALL exceptionClear(JNIEnv*) {
    StreamWorld& w = *current;
    w.enter("ExceptionClear", true);
    w.pending.clear();
  }

  JNINativeInterface_ table_{};
  JNIEnv env_{};
};

StreamWorld* StreamWorld::current = nullptr;

TEST(RedirectStream, InstallsAPrintStreamOnTheFile) {
  const struct {
    StandardStream which;
    bool append;
    const char* setter;
  } cases[] = {
      {StandardStream::Output, false, "java/lang/System.setOut"},
      {StandardStream::Error, true, "java/lang/System.setErr"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setter);
    StreamWorld world;
    ASSERT_TRUE(redirectStream(world.env(), L"out.log", c.append, c.which));
    EXPECT_EQ(world.installedBy, c.setter);
    StreamWorld::Object* printStream = world.peek(world.installed);
    ASSERT_NE(printStream, nullptr);
    EXPECT_EQ(printStream->kind, "java/io/PrintStream");
    StreamWorld::Object* fileStream = world.peek(printStream->wrapped);
    ASSERT_NE(fileStream, nullptr);
    EXPECT_EQ(fileStream->kind, "java/io/FileOutputStream");
    EXPECT_EQ(fileStream->appendFlag, c.append);
    StreamWorld::Object* fileName = world.peek(fileStream->wrapped);
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(fileName->text, u"out.log");
    EXPECT_EQ(world.liveReferences(), 0);
    EXPECT_TRUE(world.pending.empty());
    EXPECT_EQ(world.violations, std::vector<std::string>{});
  }
}

TEST(RedirectStream, LooksUpTheStreamClassesWithTheirSignatures) {
  StreamWorld world;
  ASSERT_TRUE(redirectStream(world.env(), L"out.log", false, StandardStream::Output));
  std::vector<std::string> lookups;
  for (const std::string& call : world.calls) {
    if (call.rfind("method ", 0) == 0 || call.rfind("FindClass ", 0) == 0) lookups.push_back(call);
  }
  const std::vector<std::string> expected = {
      "FindClass java/lang/String",
      "method java/lang/String.<init> ([C)V",
      "FindClass java/io/FileOutputStream",
      "method java/io/FileOutputStream.<init> (Ljava/lang/String;Z)V",
      "FindClass java/io/PrintStream",
      "method java/io/PrintStream.<init> (Ljava/io/OutputStream;)V",
      "FindClass java/lang/System",
      "method java/lang/System.setOut (Ljava/io/PrintStream;)V",
  };
  EXPECT_EQ(lookups, expected);
}

TEST(RedirectStream, EveryFailingStepGivesFalseAndReleasesItsReferences) {
  const struct {
    const char* name;
    std::set<std::string> missingClasses;
    std::set<std::string> missingMethods;
    std::string throwingCall;
    bool stillPending;  // left for the caller to describe
  } cases[] = {
      {"no String class", {"java/lang/String"}, {}, "", true},
      {"no FileOutputStream class", {"java/io/FileOutputStream"}, {}, "", true},
      {"no FileOutputStream constructor", {}, {"java/io/FileOutputStream.<init>"}, "", true},
      {"the file cannot be opened", {}, {}, "new java/io/FileOutputStream", true},
      {"no PrintStream class", {"java/io/PrintStream"}, {}, "", true},
      {"no PrintStream constructor", {}, {"java/io/PrintStream.<init>"}, "", true},
      {"the PrintStream constructor throws", {}, {}, "new java/io/PrintStream", true},
      {"no System class", {"java/lang/System"}, {}, "", true},
      {"no setOut", {}, {"java/lang/System.setOut"}, "", true},
      {"setOut throws", {}, {}, "call java/lang/System.setOut", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StreamWorld world;
    world.missingClasses = c.missingClasses;
    world.missingMethods = c.missingMethods;
    world.throwingCall = c.throwingCall;
    EXPECT_FALSE(redirectStream(world.env(), L"out.log", false, StandardStream::Output));
    EXPECT_EQ(world.installed, nullptr);
    EXPECT_EQ(world.liveReferences(), 0);
    EXPECT_EQ(!world.pending.empty(), c.stillPending);
    EXPECT_EQ(world.violations, std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tarn
