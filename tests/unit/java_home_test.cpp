#include "discovery/java_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

constexpr JvmType kAny = JvmType::Any;
constexpr JvmType kServerOnly = JvmType::Server;
constexpr JvmType kFavorServer = JvmType::FavorServer;

// An existence test over a fixed set of paths that records what it was asked.
struct FakeFileSystem {
  std::set<std::wstring> existing;
  std::vector<std::wstring> probed;

  ExistenceTest test() {
    return [this](const std::wstring& path) {
      probed.push_back(path);
      return existing.count(path) != 0;
    };
  }
};

const std::wstring kHome = L"C:\\Java\\";
const std::wstring kClient = L"bin\\client\\jvm.dll";
const std::wstring kServer = L"bin\\server\\jvm.dll";
const std::wstring kClassic = L"bin\\classic\\jvm.dll";
const std::wstring kHotspot = L"bin\\hotspot\\jvm.dll";
const std::wstring kJRockit = L"bin\\jrockit\\jvm.dll";

TEST(FindJvmLibrary, ChoosesBySubPathOrderForEachJvmType) {
  struct Row {
    const char* name;
    std::vector<std::wstring> present;
    JvmType jvmType;
    std::wstring expected;  // sub-path, empty for none
    bool server;
  };
  const Row rows[] = {
      {"client and server, no preference", {kClient, kServer}, kAny, kClient, false},
      {"client and server, server", {kClient, kServer}, kServerOnly, kServer, true},
      {"client and server, favor_server", {kClient, kServer}, kFavorServer, kServer, true},
      {"server only, no preference", {kServer}, kAny, kServer, true},
      {"server only, server", {kServer}, kServerOnly, kServer, true},
      {"server only, favor_server", {kServer}, kFavorServer, kServer, true},
      {"client only, no preference", {kClient}, kAny, kClient, false},
      {"client only, server", {kClient}, kServerOnly, L"", false},
      {"client only, favor_server", {kClient}, kFavorServer, kClient, false},
      {"jrockit only, no preference", {kJRockit}, kAny, kJRockit, false},
      {"jrockit only, server", {kJRockit}, kServerOnly, L"", false},
      {"jrockit only, favor_server", {kJRockit}, kFavorServer, kJRockit, false},
      {"classic only", {kClassic}, kAny, kClassic, false},
      {"hotspot only", {kHotspot}, kFavorServer, kHotspot, false},
      {"classic before hotspot", {kHotspot, kClassic}, kAny, kClassic, false},
      {"hotspot before server", {kServer, kHotspot}, kAny, kHotspot, false},
      {"server before jrockit", {kJRockit, kServer}, kAny, kServer, true},
      {"empty home", {}, kAny, L"", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem files;
    for (const std::wstring& subPath : row.present) files.existing.insert(kHome + subPath);
    bool server = !row.server;
    std::wstring found = findJvmLibraryIn(kHome, row.jvmType, server, kWindowsJavaHomeLayout, files.test());
    if (row.expected.empty()) {
      EXPECT_EQ(found, L"");
    } else {
      EXPECT_EQ(found, kHome + row.expected);
      EXPECT_EQ(server, row.server);
    }
  }
}

TEST(FindJvmLibrary, ProbesEachTypesOrderAndLeavesTheFlagWhenNothingIsFound) {
  struct Row {
    const char* name;
    JvmType jvmType;
    std::vector<std::wstring> order;
  };
  const Row rows[] = {
      {"no preference", kAny, {kClient, kClassic, kHotspot, kServer, kJRockit}},
      {"server", kServerOnly, {kServer}},
      {"favor_server", kFavorServer, {kServer, kClient, kClassic, kHotspot, kServer, kJRockit}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem files;
    for (bool sentinel : {false, true}) {
      files.probed.clear();
      bool server = sentinel;
      EXPECT_EQ(findJvmLibraryIn(kHome, row.jvmType, server, kWindowsJavaHomeLayout, files.test()), L"");
      EXPECT_EQ(server, sentinel);
      std::vector<std::wstring> expected;
      for (const std::wstring& subPath : row.order) expected.push_back(kHome + subPath);
      EXPECT_EQ(files.probed, expected);
    }
  }
}

TEST(FindJvmLibrary, LinuxHomesOfJava8And9) {
  const std::wstring home = L"/opt/jdk/";
  struct Row {
    const char* name;
    std::vector<std::wstring> present;
    JvmType jvmType;
    std::wstring expected;
    bool server;
  };
  const Row rows[] = {
      {"Java 9 and later", {L"lib/server/libjvm.so"}, kAny, L"lib/server/libjvm.so", true},
      {"Java 8 development kit", {L"jre/lib/amd64/server/libjvm.so"}, kServerOnly,
       L"jre/lib/amd64/server/libjvm.so", true},
      {"Java 8 runtime", {L"lib/amd64/server/libjvm.so"}, kFavorServer, L"lib/amd64/server/libjvm.so", true},
      {"client first without preference", {L"lib/client/libjvm.so", L"lib/server/libjvm.so"}, kAny,
       L"lib/client/libjvm.so", false},
      {"server only accepts a server VM", {L"lib/client/libjvm.so"}, kServerOnly, L"", false},
      {"favor_server falls back to the client VM", {L"lib/client/libjvm.so"}, kFavorServer,
       L"lib/client/libjvm.so", false},
      {"a Windows layout is no Linux home", {L"bin/server/jvm.dll"}, kAny, L"", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem files;
    for (const std::wstring& subPath : row.present) files.existing.insert(home + subPath);
    bool server = !row.server;
    std::wstring found = findJvmLibraryIn(home, row.jvmType, server, kPosixJavaHomeLayout, files.test());
    EXPECT_EQ(found, row.expected.empty() ? L"" : home + row.expected);
    if (!row.expected.empty()) {
      EXPECT_EQ(server, row.server);
    }
  }
}

TEST(WhyNoJvmLibrary, NamesTheFoldersLookedInForTheType) {
  struct Row {
    const JavaHomeLayout* layout;
    std::vector<std::wstring> present;
    JvmType jvmType;
    std::wstring why;
  };
  const Row rows[] = {
      {&kWindowsJavaHomeLayout, {L"bin\\java.dll"}, kAny,
       L"no JVM library of the JVM type in bin\\client, bin\\classic, bin\\hotspot, bin\\server or bin\\jrockit"},
      {&kWindowsJavaHomeLayout, {L"bin\\java.dll"}, kFavorServer,
       L"no JVM library of the JVM type in bin\\server, bin\\client, bin\\classic, bin\\hotspot or bin\\jrockit"},
      {&kWindowsJavaHomeLayout, {L"bin\\java.dll"}, kServerOnly, L"no JVM library of the JVM type in bin\\server"},
      {&kWindowsJavaHomeLayout, {L"bin\\java.dll", kClient}, kServerOnly,
       L"wrong JVM type: a VM, but no server VM (JVM Type=server)"},
      {&kWindowsJavaHomeLayout, {}, kAny, L"no runtime there (no bin\\java.dll)"},
      {&kPosixJavaHomeLayout, {L"lib/libjava.so"}, kServerOnly,
       L"no JVM library of the JVM type in lib/server, jre/lib/amd64/server or lib/amd64/server"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.why));
    FakeFileSystem files;
    for (const std::wstring& subPath : row.present) files.existing.insert(kHome + subPath);
    EXPECT_EQ(whyNoJvmLibrary(kHome, row.jvmType, *row.layout, files.test()), row.why);
  }
}

TEST(ChoosePrivateRuntimeHome, TakesTheLaunchersFolderOrItsBundledRuntime) {
  const std::wstring folder = L"C:\\App\\";
  struct Row {
    const char* name;
    std::wstring launcherFolder;
    std::vector<std::wstring> present;
    std::wstring expected;
  };
  const Row rows[] = {
      {"launcher in a runtime's root", folder, {folder + L"bin\\java.dll"}, folder},
      {"bundled runtime", folder, {folder + L"jre64\\bin\\java.dll"}, folder + L"jre64\\"},
      {"the root wins over the bundled runtime",
       folder,
       {folder + L"bin\\java.dll", folder + L"jre64\\bin\\java.dll"},
       folder},
      {"folder given without its separator", L"C:\\App", {folder + L"jre64\\bin\\java.dll"}, folder + L"jre64\\"},
      // Neither holds a runtime: still the launcher's folder, never the
      // empty home that would search the current directory.
      {"no runtime at all", folder, {L"bin\\java.dll", L"jre64\\bin\\java.dll"}, folder},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem files;
    files.existing.insert(row.present.begin(), row.present.end());
    std::wstring home = L"unchanged";
    ASSERT_TRUE(choosePrivateRuntimeHome(row.launcherFolder, kWindowsJavaHomeLayout, files.test(), home));
    EXPECT_EQ(home, row.expected);
  }
}

TEST(ChoosePrivateRuntimeHome, AJvmInTheCurrentDirectoryIsNotTaken) {
  // Relative paths stand for the current directory, which holds a runtime.
  FakeFileSystem files;
  files.existing = {L"bin\\java.dll", kClient, kServer};
  std::wstring home;
  ASSERT_TRUE(choosePrivateRuntimeHome(L"C:\\App\\", kWindowsJavaHomeLayout, files.test(), home));
  bool server = false;
  for (JvmType jvmType : {kAny, kServerOnly, kFavorServer}) {
    SCOPED_TRACE(static_cast<int>(jvmType));
    EXPECT_EQ(findJvmLibraryIn(home, jvmType, server, kWindowsJavaHomeLayout, files.test()), L"");
  }
  for (const std::wstring& path : files.probed) EXPECT_EQ(path.rfind(L"C:\\App\\", 0), 0u) << toUtf8(path);
}

TEST(ChoosePrivateRuntimeHome, FailsWithoutAFolder) {
  FakeFileSystem files;
  std::wstring home = L"unchanged";
  EXPECT_FALSE(choosePrivateRuntimeHome(L"", kWindowsJavaHomeLayout, files.test(), home));
  EXPECT_EQ(home, L"unchanged");
  EXPECT_TRUE(files.probed.empty());
}

// A minimal image: "MZ", the NT headers' offset at 0x3C, "PE\0\0" and the
// machine there, and nothing after the machine field.
std::vector<uint8_t> peImage(uint32_t headersOffset, uint16_t machine) {
  std::vector<uint8_t> image(headersOffset + 6, 0);
  image[0] = 'M';
  image[1] = 'Z';
  for (int i = 0; i < 4; ++i) image[0x3C + i] = static_cast<uint8_t>(headersOffset >> (8 * i));
  image[headersOffset] = 'P';
  image[headersOffset + 1] = 'E';
  image[headersOffset + 4] = static_cast<uint8_t>(machine);
  image[headersOffset + 5] = static_cast<uint8_t>(machine >> 8);
  return image;
}

std::vector<uint8_t> withHeadersOffset(std::vector<uint8_t> image, uint32_t offset) {
  if (image.size() < 0x40) return image;
  for (size_t i = 0; i < 4; ++i) image[0x3C + i] = static_cast<uint8_t>(offset >> (8 * i));
  return image;
}

struct ImageRow {
  const char* name;
  std::vector<uint8_t> bytes;
  bool x86;
};

std::vector<ImageRow> imageRows() {
  std::vector<uint8_t> noMz = peImage(0x40, 0x014C);
  noMz[0] = 'Z';
  noMz[1] = 'M';
  std::vector<uint8_t> badSignature = peImage(0x40, 0x014C);
  badSignature[0x43] = 1;
  std::vector<uint8_t> tenBytes = peImage(0x40, 0x014C);
  tenBytes.resize(10);
  std::vector<uint8_t> shortDosHeader = peImage(0x40, 0x014C);
  shortDosHeader.resize(0x3F);
  const std::vector<uint8_t> x86 = peImage(0x40, 0x014C);
  const uint32_t size = static_cast<uint32_t>(x86.size());
  return {
      {"x86", x86, true},
      {"x86 with the headers far in", peImage(0x1000, 0x014C), true},
      {"x64", peImage(0x40, 0x8664), false},
      {"ARM", peImage(0x40, 0x01C4), false},
      {"no MZ", noMz, false},
      {"bad signature", badSignature, false},
      {"offset past the end", withHeadersOffset(x86, size + 100), false},
      {"offset at the end", withHeadersOffset(x86, size), false},
      {"offset at the last 3 bytes", withHeadersOffset(x86, size - 3), false},
      {"offset at the last 5 bytes", withHeadersOffset(x86, size - 5), false},
      {"offset 0xFFFFFFFF", withHeadersOffset(x86, 0xFFFFFFFFu), false},
      {"offset 0x7FFFFFFF", withHeadersOffset(x86, 0x7FFFFFFFu), false},
      {"headers overlapping the DOS header", withHeadersOffset(x86, 0), false},
      {"file of 10 bytes", tenBytes, false},
      {"DOS header one byte short", shortDosHeader, false},
      {"empty file", {}, false},
  };
}

TEST(IsX86PeImage, ChecksTheHeaderWithinTheBytes) {
  for (const ImageRow& row : imageRows()) {
    SCOPED_TRACE(row.name);
    // An exact-size copy, so that the sanitizers see a read past the end.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[row.bytes.size()]);
    std::copy(row.bytes.begin(), row.bytes.end(), exact.get());
    EXPECT_EQ(isX86PeImage(exact.get(), row.bytes.size()), row.x86);
  }
  EXPECT_FALSE(isX86PeImage(nullptr, 0));
}

// A fresh folder for Java homes and image files.
class JavaHomeFilesTest : public ::testing::Test {
 protected:
  std::wstring writeFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    return folder_.writeFile(name, std::string(bytes.begin(), bytes.end()));
  }

  test::TempFolder folder_;
};

TEST_F(JavaHomeFilesTest, FindJvmDllOnTheNativeLayout) {
  const JavaHomeLayout& layout = nativeJavaHomeLayout();
  const std::wstring home = folder_.path().wstring() + layout.separator;
  bool server = false;
  EXPECT_EQ(findJvmLibrary(home, kAny, server), L"");

  const JvmLibraryCandidate& client = layout.anyVm.front();
  writeFile(client.subPath, {0});
  server = true;
  EXPECT_EQ(findJvmLibrary(home, kAny, server), home + client.subPath);
  EXPECT_FALSE(server);
  EXPECT_EQ(findJvmLibrary(home, kServerOnly, server), L"");
}

TEST_F(JavaHomeFilesTest, IsX86PeFileReadsOnlyWhatIsThere) {
  for (const ImageRow& row : imageRows()) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(isX86PeFile(writeFile(L"image.dll", row.bytes)), row.x86);
  }
  EXPECT_FALSE(isX86PeFile(folder_.pathOf("missing.dll")));
  EXPECT_FALSE(isX86PeFile(folder_.path().wstring()));
}

TEST_F(JavaHomeFilesTest, OtherWidthOnlyForAnImageOfTheOtherMachine) {
  // What cannot be read is no finding: its load fails with its message.
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool otherForX64View;
    bool otherForX86View;
  } rows[] = {
      {"x86", peImage(0x40, 0x014C), true, false},
      {"x64", peImage(0x40, 0x8664), false, true},
      {"ARM64", peImage(0x40, 0xAA64), false, true},
      {"cut short", {'M', 'Z', 0}, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring file = writeFile(L"jvm.dll", row.bytes);
    EXPECT_EQ(isPeFileOfOtherWidth(file, false), row.otherForX64View);
    EXPECT_EQ(isPeFileOfOtherWidth(file, true), row.otherForX86View);
  }
  EXPECT_FALSE(isPeFileOfOtherWidth(folder_.pathOf("missing.dll"), true));
}

TEST_F(JavaHomeFilesTest, AnX86ImageGoesToTheSiblingOfThe64BitLauncherOnly) {
  const bool handsOver = sizeof(void*) == 8;
  const struct {
    const char* name;
    std::wstring path;
    bool hasSibling;
    bool expected;
  } rows[] = {
      {"x86 image, sibling", writeFile(L"x86.dll", peImage(0x40, 0x014C)), true, handsOver},
      {"x86 image, no sibling", writeFile(L"x86.dll", peImage(0x40, 0x014C)), false, false},
      {"x64 image, sibling", writeFile(L"x64.dll", peImage(0x40, 0x8664)), true, false},
      {"missing file, sibling", folder_.pathOf("missing.dll"), true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(jvmLibraryNeedsSibling(row.path, row.hasSibling), row.expected);
  }
}

}  // namespace
}  // namespace tarn
