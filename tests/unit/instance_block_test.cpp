#include "run/instance_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tarn {
namespace {

using Block = std::array<uint8_t, kInstanceBlockSize>;
using Arguments = std::vector<std::u16string>;

constexpr size_t kArea = 12;
constexpr size_t kRecord = kArea + kArgumentAreaSize;

// The bytes of a UTF-16 text, low byte first, as the block holds it.
std::vector<uint8_t> bytesOf(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

// A writer that knows nothing of the count record: it writes the area's
// bytes and zero to the area's end, leaving the rest of the block alone.
void writePlain(Block& block, const std::vector<uint8_t>& area) {
  std::fill(block.begin() + kArea, block.begin() + kRecord, 0);
  std::copy(area.begin(), area.end(), block.begin() + kArea);
}

TEST(ForwardedArguments, WrittenAndReadBack) {
  const std::vector<uint8_t> x518 = bytesOf(std::u16string(518, u'x'));
  const std::vector<uint8_t> x516 = bytesOf(std::u16string(516, u'x'));
  std::vector<uint8_t> longest = x518;  // its NUL and the closing NUL fill the area
  longest.insert(longest.end(), {0, 0, 0, 0});
  std::vector<uint8_t> longestWithEmpty = x516;
  longestWithEmpty.insert(longestWithEmpty.end(), {0, 0, 0, 0, 0, 0});
  const struct {
    const char* name;
    Arguments written;
    Arguments read;
    std::vector<uint8_t> area;  // the area's first bytes; zero after them
    bool plain;                 // no count record
  } cases[] = {
      {"two", {u"a", u"b"}, {u"a", u"b"}, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, true},
      {"none reads as one empty string", {}, {u""}, {0, 0}, true},
      {"one empty", {u""}, {u""}, {0, 0, 0, 0}, false},
      {"empty in the middle", {u"a", u"", u"b"}, {u"a", u"", u"b"}, {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0}, false},
      {"empty first", {u"", u"x"}, {u"", u"x"}, {0, 0, 'x', 0, 0, 0, 0, 0}, false},
      {"empty last", {u"a", u""}, {u"a", u""}, {'a', 0, 0, 0, 0, 0, 0, 0}, false},
      {"two empty", {u"", u""}, {u"", u""}, {0, 0, 0, 0, 0, 0}, false},
      {"code units unchanged",
       {u"\U0001F600", std::u16string(1, char16_t(0xD800)), u"\u00e9 x"},
       {u"\U0001F600", std::u16string(1, char16_t(0xD800)), u"\u00e9 x"},
       {0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0x00, 0xD8, 0, 0, 0xE9, 0x00, ' ', 0, 'x', 0, 0, 0, 0, 0},
       true},
      {"exactly the area", {std::u16string(518, u'x')}, {std::u16string(518, u'x')}, longest, true},
      {"the area with empties",
       {std::u16string(516, u'x'), u""},
       {std::u16string(516, u'x'), u""},
       longestWithEmpty,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Block block;
    block.fill(0);
    // Left over from an earlier, longer list: the writer clears the area.
    writePlain(block, bytesOf(std::u16string(300, u'y') + u'\0' + u'z'));
    ASSERT_TRUE(writeForwardedArguments(block.data(), c.written));
    EXPECT_EQ(readForwardedArguments(block.data()), c.read);
    std::vector<uint8_t> area = c.area;
    area.resize(kArgumentAreaSize, 0);
    EXPECT_TRUE(std::equal(area.begin(), area.end(), block.begin() + kArea));
    const bool recordClear = std::all_of(block.begin() + kRecord, block.end(), [](uint8_t b) { return b == 0; });
    EXPECT_EQ(recordClear, c.plain);
  }
}

TEST(ForwardedArguments, MoreThanTheAreaIsRefusedWithoutWriting) {
  const struct {
    const char* name;
    Arguments arguments;
  } cases[] = {
      {"one unit too many", {std::u16string(519, u'x')}},
      {"many empty ones", Arguments(520, u"")},
      {"spread over several", {std::u16string(200, u'a'), std::u16string(200, u'b'), std::u16string(117, u'c')}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(encodedArgumentsSize(c.arguments), kArgumentAreaSize + 2);
    Block block;
    block.fill(0x5A);
    const Block before = block;
    EXPECT_FALSE(writeForwardedArguments(block.data(), c.arguments));
    EXPECT_EQ(block, before);
  }
}

TEST(ForwardedArguments, RecordIsTrustedOnlyWhileTheAreaIsUnchanged) {
  Block block;
  block.fill(0);
  ASSERT_TRUE(writeForwardedArguments(block.data(), {u"a", u"", u"b"}));

  // A writer without the record rewrites the area afterwards: its list is
  // read, not the count of the earlier one.
  Block rewritten = block;
  writePlain(rewritten, {'x', 0, 0, 0, 'y', 0, 0, 0, 'z', 0, 0, 0, 'w', 0, 0, 0, 0, 0});
  EXPECT_EQ(readForwardedArguments(rewritten.data()), (Arguments{u"x", u"y", u"z", u"w"}));

  // Without the record the plain reading ends at the empty argument, as a
  // reader that does not know the record sees it.
  Block withoutRecord = block;
  std::fill(withoutRecord.begin() + kRecord, withoutRecord.end(), 0);
  EXPECT_EQ(readForwardedArguments(withoutRecord.data()), (Arguments{u"a"}));

  // Nor is a record whose count has changed since.
  Block overcounted = block;
  overcounted[kRecord + 4] = 200;
  EXPECT_EQ(readForwardedArguments(overcounted.data()), (Arguments{u"a"}));
}

TEST(ForwardedArguments, ForeignBlocksAreReadWithinTheField) {
  // The units of the whole field from offset 12 to the block's end.
  const struct {
    const char* name;
    std::u16string field;
    Arguments read;
  } cases[] = {
      {"no NUL at all: the cut-off string is dropped", std::u16string(1040, u'A'), {}},
      {"the area full, the NULs after it", std::u16string(520, u'A'), {std::u16string(520, u'A')}},
      {"a string the field's end cuts off", std::u16string(1037, u'B') + u'\0' + u"AA", {std::u16string(1037, u'B')}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Block block;
    block.fill(0);
    for (size_t i = 0; i < c.field.size(); ++i) {
      block[kArea + 2 * i] = static_cast<uint8_t>(c.field[i]);
      block[kArea + 2 * i + 1] = static_cast<uint8_t>(c.field[i] >> 8);
    }
    EXPECT_EQ(readForwardedArguments(block.data()), c.read);
  }
}

TEST(InstanceOwner, LittleEndianAtTheStartOfTheBlock) {
  Block block;
  block.fill(0);
  writeInstanceOwner(block.data(), InstanceOwner{0x01020304, 0xA0B0C0D0, 0xC123});
  const uint8_t expected[] = {4, 3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0, 0x23, 0xC1, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), block.begin()));
  const InstanceOwner owner = readInstanceOwner(block.data());
  EXPECT_EQ(owner.listenerThreadId, 0x01020304u);
  EXPECT_EQ(owner.processId, 0xA0B0C0D0u);
  EXPECT_EQ(owner.requestMessage, 0xC123u);
  // Arguments leave the owner alone.
  ASSERT_TRUE(writeForwardedArguments(block.data(), {u"a", u""}));
  EXPECT_EQ(readInstanceOwner(block.data()).processId, 0xA0B0C0D0u);
}

TEST(PendingRequest, TakenOnceAndOnlyByItsRequester) {
  Block block;
  block.fill(0);
  ASSERT_TRUE(writeForwardedArguments(block.data(), {u"a", u""}));
  const Block withoutRequest = block;
  writePendingRequest(block.data(), 0x01020304);
  const uint8_t record[] = {'T', 'R', 'E', 'Q', 4, 3, 2, 1};
  EXPECT_TRUE(std::equal(std::begin(record), std::end(record), block.begin() + 1064));

  // A message of another thread, or one that comes again, finds nothing.
  EXPECT_FALSE(takePendingRequest(block.data(), 0x01020305));
  EXPECT_TRUE(takePendingRequest(block.data(), 0x01020304));
  EXPECT_EQ(block, withoutRequest);
  EXPECT_FALSE(takePendingRequest(block.data(), 0x01020304));

  // A block that never held a request: not even a requester of id 0.
  Block zero;
  zero.fill(0);
  EXPECT_FALSE(takePendingRequest(zero.data(), 0));
}

TEST(InstanceOwner, RecordedOnlyWithProcessAndListener) {
  EXPECT_FALSE(ownerRecorded(InstanceOwner{}));
  EXPECT_FALSE(ownerRecorded(InstanceOwner{12, 0, 0xC123}));
  EXPECT_FALSE(ownerRecorded(InstanceOwner{0, 34, 0xC123}));
  EXPECT_TRUE(ownerRecorded(InstanceOwner{12, 34, 0xC123}));
}

TEST(InstanceObjectNames, FromTheExecutablePath) {
  const std::wstring name = instanceObjectName(L"C:\\Apps\\Tool\\tool.exe");
  EXPECT_EQ(name, L"C:_Apps_Tool_tool.exe");
  EXPECT_EQ(mainStartedEventName(name), L"C:_Apps_Tool_tool.exe_upr_evt");
  EXPECT_EQ(requestLockName(name), L"C:_Apps_Tool_tool.exe_upr_lock");
  EXPECT_EQ(instanceObjectName(L"\\\\server\\Share\\Run.EXE"), L"__server_Share_Run.EXE");
  // The case is kept: another spelling of the same path names other objects.
  EXPECT_EQ(instanceObjectName(L"c:\\apps\\TOOL\\Tool.exe"), L"c:_apps_TOOL_Tool.exe");
  // Nothing is cut from a long path.
  std::wstring deep = L"C:";
  std::wstring expected = L"C:";
  for (int i = 0; i < 30; ++i) {
    deep += L"\\folder" + std::to_wstring(i);
    expected += L"_folder" + std::to_wstring(i);
  }
  ASSERT_GT(deep.size(), 260u);
  EXPECT_EQ(instanceObjectName(deep + L"\\run.exe"), expected + L"_run.exe");
}

// The published FNV-1a (64-bit) test vectors.
TEST(InstanceFileStem, HashOfThePathsBytes) {
  EXPECT_EQ(instanceFileStem(L""), "tarn-cbf29ce484222325");
  EXPECT_EQ(instanceFileStem(L"a"), "tarn-af63dc4c8601ec8c");
  EXPECT_EQ(instanceFileStem(L"foobar"), "tarn-85944171f73967e8");
}

}  // namespace
}  // namespace tarn
