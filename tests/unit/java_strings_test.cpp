// Java strings and string arrays built through the fake VM: the code units
// arrive whole, and a failing step leaves no reference behind.
#include "jni/java_strings.h"

#include <gtest/gtest.h>

#include "unit/fake_jni.h"

namespace tarn {
namespace {

using test::FakeJni;

TEST(NewJavaString, HoldsTheTextsUtf16CodeUnits) {
  const struct {
    const char* name;
    std::wstring text;
    std::u16string units;
  } cases[] = {
      {"empty: a zero-length char array", L"", u""},
      {"ASCII", L"com.example.App", u"com.example.App"},
      // More code units than wide characters where wchar_t is 32-bit.
      {"outside the basic plane: a surrogate pair", L"a\U0001F600b\U00010400", u"a\U0001F600b\U00010400"},
  };
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

}  // namespace
}  // namespace tarn
