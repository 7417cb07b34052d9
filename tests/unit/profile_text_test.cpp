#include "config/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"

namespace tarn {
namespace {

// The same rules whatever the line ends: each case runs on CR LF, LF and CR.
const std::vector<std::wstring> kLines = {
    L"before=pre-section",
    L"[App]",
    L"Name=Tarn",
    L"  Spaced Key \t =  \t spaced value \t ",
    L"Empty=",
    L"NoEquals",
    L";x=1",
    L"Lone=\"",
    L"Double=\"double quoted\"",
    L"Single='single quoted'",
    L"Mixed=\"mixed'",
    L"Pair=\"\"",
    L"QuotedBlanks=\"  kept  \"",
    L"Equals=a=b",
    L"=no key",
    L"Vt\x0B=\x0C" L"feeds\x1A",
    L"Nbsp=\x00A0x\x00A0",
    L"[ Padded\t]",
    L"K=padded",
    L"[Dup]",
    L"K=first",
    L"K=second",
    L"[dup]",
    L"K=third",
    L"Only=in the second",
    L"[Shadow]",
    L"K",
    L"K=after a key without =",
    L"[Third",
    L"[Second]trailing",
    L"K=second",
    L"[First]]",
    L"K=bracket",
    L"[\x00C4rger]",
    L"\x0416uk=umlaut and cyrillic",
};

std::wstring joined(const std::wstring& lineEnd) {
  std::wstring text;
  for (const std::wstring& line : kLines) text += line + lineEnd;
  return text;
}

TEST(ProfileReadString, FollowsTheProfileRules) {
  const struct {
    const wchar_t* section;
    const wchar_t* key;
    bool found;
    const wchar_t* value;
  } cases[] = {
      {L"", L"before", true, L"pre-section"},
      {L" \t", L"before", true, L"pre-section"},
      {L"App", L"Name", true, L"Tarn"},
      {L"aPP", L"nAME", true, L"Tarn"},
      {L" App\t", L"\tName ", true, L"Tarn"},
      {L"App", L"spaced key", true, L"spaced value"},
      {L"App", L"Empty", true, L""},
      {L"App", L"NoEquals", false, L""},
      {L"App", L";x", true, L"1"},
      {L"App", L"Lone", true, L"\""},
      {L"App", L"Double", true, L"double quoted"},
      {L"App", L"Single", true, L"single quoted"},
      {L"App", L"Mixed", true, L"\"mixed'"},
      {L"App", L"Pair", true, L""},
      {L"App", L"QuotedBlanks", true, L"  kept  "},
      {L"App", L"Equals", true, L"a=b"},
      {L"App", L"", true, L"no key"},
      {L"App", L"Vt", true, L"feeds"},
      {L"App", L"Nbsp", true, L"\x00A0x\x00A0"},
      {L"App", L"Missing", false, L""},
      {L"Missing", L"Name", false, L""},
      {L"Padded", L"K", true, L"padded"},
      {L"Dup", L"K", true, L"first"},
      {L"DUP", L"Only", false, L""},  // sections of one name are not merged
      {L"Shadow", L"K", false, L""},   // the first K has no value
      {L"Second", L"K", true, L"second"},
      {L"Second", L"[Third", false, L""},
      {L"First]", L"K", true, L"bracket"},
      {L"\x00E4RGER", L"\x0436UK", true, L"umlaut and cyrillic"},
  };
  for (const wchar_t* lineEnd : {L"\r\n", L"\n", L"\r"}) {
    const std::wstring text = joined(lineEnd);
    for (const auto& c : cases) {
      SCOPED_TRACE(toUtf8(std::wstring(c.section) + L"/" + c.key + L" with line end " +
                          (lineEnd[0] == L'\n' ? L"LF" : lineEnd[1] ? L"CR LF" : L"CR")));
      std::wstring out = L"stale";
      EXPECT_EQ(profileReadString(text, c.section, c.key, out), c.found);
      EXPECT_EQ(out, c.value);
    }
  }
}

TEST(ProfileReadString, NulEndsNamesAndValues) {
  const std::wstring text(L"[A\0x]\nName=ab\0cd\nUP\0PER=1\n", 26);
  std::wstring out;
  EXPECT_TRUE(profileReadString(text, L"A", L"Name", out));
  EXPECT_EQ(out, L"ab");
  EXPECT_TRUE(profileReadString(text, L"A", L"UP", out));
  EXPECT_EQ(out, L"1");
  EXPECT_FALSE(profileReadString(text, L"A", L"UPPER", out));
}

TEST(ProfileSectionNames, InFileOrderWithoutUnnamedOnes) {
  const std::vector<std::wstring> expected = {L"App",   L"Padded", L"Dup",    L"dup",
                                              L"Shadow", L"Second", L"First]", L"\x00C4rger"};
  EXPECT_EQ(profileSectionNames(joined(L"\r\n")), expected);
  EXPECT_EQ(profileSectionNames(L"k=v\n[]\n[ \t ]\n"), std::vector<std::wstring>{});
}

TEST(DecodeProfileFile, ByteOrderMarksChooseTheEncoding) {
  const struct {
    const char* name;
    std::string bytes;
    ProfileEncoding encoding;
    std::string utf8;  // the text expected, as UTF-8
  } cases[] = {
      {"UTF-8 without mark", "[A]\r\nK=\xC3\xA9", ProfileEncoding::Utf8, "[A]\r\nK=\xC3\xA9"},
      {"UTF-8 with mark", "\xEF\xBB\xBFK=\xE4\xB8\xAD", ProfileEncoding::Utf8WithBom, "K=\xE4\xB8\xAD"},
      {"UTF-16LE", std::string("\xFF\xFEK\0=\0\x2D\x4E", 8), ProfileEncoding::Utf16LE, "K=\xE4\xB8\xAD"},
      {"UTF-16BE", std::string("\xFE\xFF\0K\0=\x4E\x2D", 8), ProfileEncoding::Utf16BE, "K=\xE4\xB8\xAD"},
      {"UTF-16LE surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), ProfileEncoding::Utf16LE,
       "\xF0\x9F\x98\x80"},
      {"UTF-16LE unpaired surrogate", std::string("\xFF\xFE\x3D\xD8x\0", 6), ProfileEncoding::Utf16LE,
       "\xEF\xBF\xBDx"},
      {"UTF-16LE odd final byte", std::string("\xFF\xFEx\0y", 5), ProfileEncoding::Utf16LE, "x\xEF\xBF\xBD"},
      {"malformed UTF-8", "a\xFF" "b\xC3", ProfileEncoding::Utf8, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},
      {"mark alone", "\xFF\xFE", ProfileEncoding::Utf16LE, ""},
      {"empty", "", ProfileEncoding::Utf8, ""},
      {"one byte", "\xFF", ProfileEncoding::Utf8, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(detectProfileEncoding(c.bytes), c.encoding);
    EXPECT_EQ(toUtf8(decodeProfileFile(c.bytes)), c.utf8);
  }
}

TEST(DecodeProfileFile, EncodingRoundTrips) {
  const std::wstring text = fromUtf8("[\xC3\x84]\r\nK=\xE4\xB8\xAD \xF0\x9F\x98\x80\r\n");
  for (ProfileEncoding encoding : {ProfileEncoding::Utf8, ProfileEncoding::Utf8WithBom, ProfileEncoding::Utf16LE,
                                   ProfileEncoding::Utf16BE}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    const std::string bytes = encodeProfileFile(text, encoding);
    EXPECT_EQ(detectProfileEncoding(bytes), encoding);
    EXPECT_EQ(decodeProfileFile(bytes), text);
  }
}

TEST(DecodeUtf16LE, MarkIsOptional) {
  EXPECT_EQ(decodeUtf16LE(std::string("\xFF\xFE[\0A\0]\0", 8)), L"[A]");
  EXPECT_EQ(decodeUtf16LE(std::string("[\0A\0]\0", 6)), L"[A]");
  EXPECT_EQ(decodeUtf16LE(""), L"");
}

TEST(ProfileWriteString, ChangesOnlyTheEntry) {
  const struct {
    const char* name;
    const wchar_t* before;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    const wchar_t* after;
  } cases[] = {
      {"replaces the value", L"[A]\r\nK=1\r\nL=2\r\n", L"A", L"K", L"9", L"[A]\r\nK=9\r\nL=2\r\n"},
      {"keeps the key as written", L"; top\n[app]\n  key = 1  \n", L"APP", L"KEY", L"2",
       L"; top\n[app]\n  key=2  \n"},
      {"gives a key without = its value", L"[A]\nK\n", L"A", L"K", L"v", L"[A]\nK=v\n"},
      {"first of two sections", L"[A]\nK=1\n[a]\nK=2\n", L"a", L"k", L"3", L"[A]\nK=3\n[a]\nK=2\n"},
      {"adds after the section's last line", L"[A]\r\nK=1\r\n\r\n[B]\r\nX=1\r\n", L"A", L"L", L"2",
       L"[A]\r\nK=1\r\nL=2\r\n\r\n[B]\r\nX=1\r\n"},
      {"adds to an empty section", L"[A]\n[B]\n", L"A", L"K", L"v", L"[A]\nK=v\n[B]\n"},
      {"adds at the end without a final line end", L"[A]\r\nK=1", L"A", L"L", L"2", L"[A]\r\nK=1\r\nL=2"},
      {"appends a new section", L"[A]\r\nK=1", L"B", L"K", L"v", L"[A]\r\nK=1\r\n[B]\r\nK=v\r\n"},
      {"new file", L"", L"S", L"K", L"v", L"[S]\nK=v\n"},
      {"names and value trimmed", L"", L" S ", L" K ", L" v w ", L"[S]\nK=v w\n"},
      {"takes the first line end", L"x\ry\r\n", L"S", L"K", L"v", L"x\ry\r\n[S]\rK=v\r"},
      {"keys before any section stay apart", L"K=0\n", L"S", L"K", L"1", L"K=0\n[S]\nK=1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text = c.before;
    ASSERT_TRUE(profileWriteString(text, c.section, c.key, c.value));
    EXPECT_EQ(text, c.after);
    std::wstring out;
    EXPECT_TRUE(profileReadString(text, c.section, c.key, out));
    EXPECT_EQ(out, trimWhiteSpace(c.value));
  }
}

TEST(ProfileWriteString, RefusesWhatCouldNotBeReadBack) {
  const struct {
    const char* name;
    std::wstring section;
    std::wstring key;
    std::wstring value;
  } cases[] = {
      {"line break in the value", L"S", L"K", L"v\r\nX=injected"},
      {"line break in the section", L"S]\n[T", L"K", L"v"},
      {"line break in the key", L"S", L"K\rL", L"v"},
      {"NUL in the value", L"S", L"K", std::wstring(L"a\0b", 3)},
      {"= in the key", L"S", L"K=L", L"v"},
      {"key read as a section", L"S", L"[T]", L"v"},
      {"empty section", L" ", L"K", L"v"},
      {"empty key", L"S", L"\t", L"v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text = L"[S]\nK=1\n";
    EXPECT_FALSE(profileWriteString(text, c.section, c.key, c.value));
    EXPECT_EQ(text, L"[S]\nK=1\n");
  }
}

}  // namespace
}  // namespace tarn
