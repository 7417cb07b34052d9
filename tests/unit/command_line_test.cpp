#include "base/command_line.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

using Pieces = std::vector<std::wstring>;

struct SplitCase {
  const wchar_t* text;
  Pieces pieces;
};

TEST(SplitCommandLine, SplitsAtSpacesWithQuotesOnlyAtThePieceStart) {
  const SplitCase cases[] = {
      {L"", {}},
      {L"a", {L"a"}},
      {L"a b  c", {L"a", L"b", L"c"}},
      {L"a   ", {L"a"}},
      {L" a", {L"", L"a"}},                      // a leading space: one empty first piece
      {L"  a", {L"", L"a"}},
      {L"a\tb c", {L"a\tb", L"c"}},              // only U+0020 separates
      {L"\"a b\" c", {L"a b", L"c"}},
      {L"\"C:\\dir\\\" x", {L"C:\\dir\\", L"x"}},  // no escapes
      {L"a\"b c\"", {L"a\"b", L"c\""}},          // quotes inside a piece stay
      {L"\"ab\"cd", {L"ab", L"cd"}},             // the next piece starts right after the quote
      {L"\"\" x", {L"", L"x"}},
      {L"\"\"", {L""}},
      {L"\"a b", {L"a b"}},                      // unterminated: the rest, spaces included
      {L"x \"", {L"x", L""}},                    // a quote as the last character
      {L"\"a\"  \"b\"", {L"a", L"b"}},
      // The rows of the configuration reference's table.
      {L"-Dname=\"John Smith\"", {L"-Dname=\"John", L"Smith\""}},
      {L"\"-Dname=John Smith\"", {L"-Dname=John Smith"}},
      {L"\"say \\\"hi\\\"\"", {L"say \\", L"hi\\\"\""}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "text [" << testing::PrintToString(std::wstring(c.text)) << "]");
    Pieces pieces;
    splitCommandLine(c.text, pieces);
    EXPECT_EQ(pieces, c.pieces);
  }
}

TEST(SplitCommandLine, AppendsToWhatTheListHolds) {
  Pieces pieces{L"first"};
  splitCommandLine(L"a  b", pieces);
  EXPECT_EQ(pieces, (Pieces{L"first", L"a", L"b"}));
}

TEST(ArgumentsFromCommandLine, TrimsAndDropsTheProgramToken) {
  const SplitCase cases[] = {
      {L"run.exe", {}},
      {L"run.exe    ", {}},
      {L"  \t run.exe x\r\n", {L"x"}},
      {L"\"C:\\Program Files\\App\\run.exe\" -x \"a b\"", {L"-x", L"a b"}},
      {L"run.exe \"\" x", {L"", L"x"}},
      {L"run.exe \"a b", {L"a b"}},
      {L"run.exe a\tb", {L"a\tb"}},
      // The token splits at its space; only its first piece is dropped.
      {L"C:\\\"Program Files\"\\run.exe", {L"Files\"\\run.exe"}},
      {L"", {}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "command line [" << testing::PrintToString(std::wstring(c.text)) << "]");
    EXPECT_EQ(argumentsFromCommandLine(c.text), c.pieces);
  }
}

TEST(ArgumentsFromCommandLine, LongCommandLine) {
  std::wstring commandLine = L"run.exe";
  for (int i = 0; i < 8000; ++i) commandLine += L" abc";
  Pieces arguments = argumentsFromCommandLine(commandLine);
  ASSERT_EQ(arguments.size(), 8000u);
  EXPECT_EQ(arguments.front(), L"abc");
}

}  // namespace
}  // namespace tarn
