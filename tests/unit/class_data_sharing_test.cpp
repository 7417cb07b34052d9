// Class Data Sharing=auto: the mode for a runtime, the options, the names
// of the archives and which of them are stale, and the cache folder.
#include "jvm/class_data_sharing.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tarn {
namespace {

TEST(ClassDataSharing, ModeForEachRuntime) {
  struct Row {
    const char* release;
    std::vector<std::string> options;
    ClassDataMode mode;
    int32_t feature;
  };
  const std::vector<std::string> none;
  const Row rows[] = {
      {"IMPLEMENTOR=\"Debian\"\nJAVA_VERSION=\"17.0.15\"\n", none, ClassDataMode::MapOrWrite, 17},
      {"JAVA_VERSION=\"13\"\n", none, ClassDataMode::MapOrWrite, 13},
      {"JAVA_VERSION=\"18.0.2.1\"\r\n", none, ClassDataMode::MapOrWrite, 18},
      {"JAVA_VERSION=\"19\"\n", none, ClassDataMode::AutoCreate, 19},
      {"JAVA_VERSION=\"25.0.1\"\nJVM_VARIANT=\"Hotspot\"\n", none, ClassDataMode::AutoCreate, 25},
      {"JVM_VARIANT=\"hotspot\"\nJAVA_VERSION=\"21.0.2\"\n", none, ClassDataMode::AutoCreate, 21},
      // Too old, not HotSpot, or no version to read.
      {"JAVA_VERSION=\"12.0.2\"\n", none, ClassDataMode::None, 12},
      {"JAVA_VERSION=\"1.8.0_392\"\n", none, ClassDataMode::None, 8},
      {"JAVA_VERSION=\"17.0.9\"\nJVM_VARIANT=\"Openj9\"\n", none, ClassDataMode::None, 0},
      {"IMPLEMENTOR=\"Debian\"\n", none, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"\"\n", none, ClassDataMode::None, 0},
      {"", none, ClassDataMode::None, 0},
      // The application's own options win, whatever the runtime.
      {"JAVA_VERSION=\"17\"\n", {"-Xmx1g", "-Xshare:off"}, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"17\"\n", {"-XX:SharedArchiveFile=/a.jsa"}, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"17\"\n", {"-XX:ArchiveClassesAtExit=/a.jsa"}, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"21\"\n", {"-XX:+AutoCreateSharedArchive"}, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"21\"\n", {"-XX:-AutoCreateSharedArchive"}, ClassDataMode::None, 0},
      {"JAVA_VERSION=\"21\"\n", {"-XX:-UseSharedSpaces"}, ClassDataMode::None, 0},
      // Options that only look alike take nothing away.
      {"JAVA_VERSION=\"17\"\n",
       {"-Xlog:cds=info:file=cds.log", "-XX:+UseSharedSpaces", "-Dx=-Xshare:off"},
       ClassDataMode::MapOrWrite,
       17},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.release);
    const ClassDataChoice choice = chooseClassDataMode(row.release, row.options);
    EXPECT_EQ(choice.mode, row.mode);
    if (row.mode != ClassDataMode::None) {
      EXPECT_EQ(choice.feature, row.feature);
      EXPECT_STREQ(choice.reason, L"");
    } else {
      EXPECT_STRNE(choice.reason, L"");
    }
  }
}

TEST(ClassDataSharing, OptionsForEachMode) {
  ClassDataChoice choice;
  EXPECT_TRUE(classDataOptions(choice, L"/c/a.jsa", false).empty());
  choice.mode = ClassDataMode::MapOrWrite;
  choice.feature = 17;
  EXPECT_EQ(classDataOptions(choice, L"/c/a.jsa", false),
            (std::vector<std::wstring>{L"-Xlog:cds*=off", L"-XX:SharedArchiveFile=/c/a.jsa"}));
  EXPECT_EQ(classDataOptions(choice, L"/c/a.tmp", true),
            (std::vector<std::wstring>{L"-Xlog:cds*=off", L"-XX:ArchiveClassesAtExit=/c/a.tmp"}));
  choice.mode = ClassDataMode::AutoCreate;
  choice.feature = 21;
  EXPECT_EQ(classDataOptions(choice, L"/c/a.jsa", false),
            (std::vector<std::wstring>{L"-Xlog:cds*=off", L"-XX:+VerifySharedSpaces", L"-XX:+AutoCreateSharedArchive",
                                       L"-XX:SharedArchiveFile=/c/a.jsa"}));
  // Writing is for 13 to 18 only.
  EXPECT_EQ(classDataOptions(choice, L"/c/a.jsa", true), classDataOptions(choice, L"/c/a.jsa", false));
  choice.feature = 25;
  EXPECT_EQ(classDataOptions(choice, L"/c/a.jsa", false).front(), L"-Xlog:cds*=off,aot*=off");
}

TEST(ClassDataSharing, NameChangesWithWhatTheArchiveDependsOn) {
  const StampedFile library{L"/jdk/lib/server/libjvm.so", 22000000, 1700000000};
  const std::vector<StampedFile> classPath{{L"/app/a.jar", 1000, 5}, {L"/app/b.jar", 2000, 6}};
  const ClassDataName base = classDataNameFor(L"/app/app", library, classPath, L"-Xmx1g");
  EXPECT_EQ(base.prefix.size(), 9u);
  EXPECT_EQ(base.prefix.back(), L'-');
  EXPECT_EQ(base.key.size(), 16u);
  EXPECT_EQ(classDataNameFor(L"/app/app", library, classPath, L"-Xmx1g").key, base.key);

  StampedFile newerLibrary = library;
  newerLibrary.time += 1;
  StampedFile biggerLibrary = library;
  biggerLibrary.size += 1;
  std::vector<StampedFile> changedJar = classPath;
  changedJar[1].time += 1;
  std::vector<StampedFile> reordered{classPath[1], classPath[0]};
  std::vector<StampedFile> joined{{L"/app/a.jar/app/b.jar", 1000, 5}};
  const ClassDataName others[] = {
      classDataNameFor(L"/app/app", newerLibrary, classPath, L"-Xmx1g"),
      classDataNameFor(L"/app/app", biggerLibrary, classPath, L"-Xmx1g"),
      classDataNameFor(L"/app/app", library, changedJar, L"-Xmx1g"),
      classDataNameFor(L"/app/app", library, reordered, L"-Xmx1g"),
      classDataNameFor(L"/app/app", library, joined, L"-Xmx1g"),
      classDataNameFor(L"/app/app", library, classPath, L"-Xmx2g"),
      classDataNameFor(L"/app/app", StampedFile{L"/jdk2/lib/server/libjvm.so", library.size, library.time}, classPath,
                       L"-Xmx1g"),
  };
  for (const ClassDataName& other : others) EXPECT_NE(other.key, base.key);
  // Another launcher: another prefix, so the two never remove each other's archives.
  EXPECT_NE(classDataNameFor(L"/other/app", library, classPath, L"-Xmx1g").prefix, base.prefix);
  EXPECT_EQ(classDataNameFor(L"/other/app", library, classPath, L"-Xmx1g").key, base.key);
}

TEST(ClassDataSharing, ArchiveNames) {
  const ClassDataName name{L"0123abcd-", L"00112233aabbccdd"};
  EXPECT_EQ(autoArchiveName(name), L"0123abcd-00112233aabbccdd.jsa");
  EXPECT_EQ(completeArchiveName(name, 1011712, 0x0123456789abcdefull),
            L"0123abcd-00112233aabbccdd-1011712-0123456789abcdef.jsa");
  EXPECT_EQ(temporaryArchiveName(name, 4242), L"0123abcd-00112233aabbccdd.4242.tmp");

  struct Row {
    const wchar_t* file;
    bool complete;
    uint64_t size;
    uint64_t sum;
  };
  const Row rows[] = {
      {L"0123abcd-00112233aabbccdd-1011712-0123456789abcdef.jsa", true, 1011712, 0x0123456789abcdefull},
      {L"0123abcd-00112233aabbccdd-9999999999999999999-ffffffffffffffff.jsa", true, 9999999999999999999ull,
       0xffffffffffffffffull},
      {L"0123abcd-00112233aabbccdd-1-0.jsa", true, 1, 0},
      {L"0123abcd-00112233aabbccdd-18446744073709551615-0.jsa", false, 0, 0},  // 20 digits
      {L"0123abcd-00112233aabbccdd-1-10000000000000000.jsa", false, 0, 0},     // 17 hex digits
      {L"0123abcd-00112233aabbccdd-1011712.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd--0123.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd-1-.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd-12x4-0123.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd-1-0123ABCD.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd-1-0123.jsa.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd-1-0123.tmp", false, 0, 0},
      {L"0123abcd-00112233aabbccdd.jsa", false, 0, 0},
      {L"0123abcd-00112233aabbccdd.4242.tmp", false, 0, 0},
      {L"0123abcd-ffff2233aabbccdd-1-0123.jsa", false, 0, 0},
      {L"9999abcd-00112233aabbccdd-1-0123.jsa", false, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    uint64_t size = 0;
    uint64_t sum = 0;
    ASSERT_EQ(parseCompleteArchiveName(name, row.file, size, sum), row.complete);
    if (row.complete) {
      EXPECT_EQ(size, row.size);
      EXPECT_EQ(sum, row.sum);
    }
  }
}

TEST(ClassDataSharing, ArchiveSumSeesEveryByteAndTheLength) {
  std::string archive(4099, '\0');
  for (size_t i = 0; i < archive.size(); ++i) archive[i] = static_cast<char>(i * 7);
  const uint64_t sum = archiveSum(archive);
  EXPECT_EQ(archiveSum(archive), sum);
  // A changed byte in the first word, in the middle, in the last whole word
  // and in the tail.
  for (size_t at : {size_t{0}, size_t{7}, size_t{2048}, size_t{4095}, size_t{4098}}) {
    std::string changed = archive;
    changed[at] = static_cast<char>(changed[at] ^ 0x10);
    EXPECT_NE(archiveSum(changed), sum) << at;
  }
  // Cut short, or longer by bytes of zero.
  EXPECT_NE(archiveSum(archive.substr(0, 4096)), sum);
  EXPECT_NE(archiveSum(archive + std::string(5, '\0')), sum);
  EXPECT_NE(archiveSum(std::string(8, '\0')), archiveSum(std::string(16, '\0')));
}

TEST(ClassDataSharing, StaleArchives) {
  const ClassDataName name{L"0123abcd-", L"00112233aabbccdd"};
  const std::vector<std::wstring> names{
      L"0123abcd-00112233aabbccdd-1000-0.jsa",  // complete, this key
      L"0123abcd-00112233aabbccdd.77.tmp",      // being written, this key
      L"0123abcd-00112233aabbccdd.77.tmp.x",    // not one of ours, though of this launcher
      L"0123abcd-ffffffffffffffff-2000.jsa",    // another runtime or class path
      L"0123abcd-ffffffffffffffff.88.tmp",
      L"0123abcd-ffffffffffffffff.jsa",
      L"9999abcd-00112233aabbccdd-1000.jsa",  // another launcher of the same name
      L"notes.txt",
  };
  EXPECT_EQ(staleArchiveNames(names, name, L"0123abcd-00112233aabbccdd-1000-0.jsa", false),
            (std::vector<std::wstring>{L"0123abcd-00112233aabbccdd.77.tmp", L"0123abcd-00112233aabbccdd.77.tmp.x",
                                       L"0123abcd-ffffffffffffffff-2000.jsa", L"0123abcd-ffffffffffffffff.88.tmp",
                                       L"0123abcd-ffffffffffffffff.jsa"}));
  // Writing: another start's file of the same key stays; a complete one
  // that failed its check goes.
  EXPECT_EQ(staleArchiveNames(names, name, L"", true),
            (std::vector<std::wstring>{L"0123abcd-00112233aabbccdd-1000-0.jsa", L"0123abcd-00112233aabbccdd.77.tmp.x",
                                       L"0123abcd-ffffffffffffffff-2000.jsa", L"0123abcd-ffffffffffffffff.88.tmp",
                                       L"0123abcd-ffffffffffffffff.jsa"}));
}

TEST(ClassDataSharing, CacheFolder) {
  struct Row {
    bool windows;
    std::map<std::wstring, std::wstring> variables;
    const wchar_t* folder;
  };
  const Row rows[] = {
      {true,
       {{L"LOCALAPPDATA", L"C:\\Users\\ann\\AppData\\Local"}},
       L"C:\\Users\\ann\\AppData\\Local\\app\\class-data\\"},
      {true, {{L"LOCALAPPDATA", L"C:\\Local\\"}}, L"C:\\Local\\app\\class-data\\"},
      {true, {{L"LOCALAPPDATA", L"Local"}}, L""},
      {true,
       {{L"USERPROFILE", L"C:\\Windows\\system32\\config\\systemprofile"}},
       L"C:\\Windows\\system32\\config\\systemprofile\\AppData\\Local\\app\\class-data\\"},
      {true, {{L"LOCALAPPDATA", L""}, {L"USERPROFILE", L"D:\\u\\"}}, L"D:\\u\\AppData\\Local\\app\\class-data\\"},
      {true, {{L"USERPROFILE", L"u"}}, L""},
      {true, {{L"XDG_CACHE_HOME", L"C:\\cache"}, {L"HOME", L"C:\\home"}}, L""},
      {false, {{L"XDG_CACHE_HOME", L"/xdg/cache"}, {L"HOME", L"/home/ann"}}, L"/xdg/cache/app/class-data/"},
      {false, {{L"XDG_CACHE_HOME", L"cache"}, {L"HOME", L"/home/ann/"}}, L"/home/ann/.cache/app/class-data/"},
      {false, {{L"XDG_CACHE_HOME", L""}, {L"HOME", L"/home/ann"}}, L"/home/ann/.cache/app/class-data/"},
      {false, {{L"HOME", L"/"}}, L"/.cache/app/class-data/"},
      {false, {{L"HOME", L""}}, L""},
      {false, {{L"LOCALAPPDATA", L"/local"}}, L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    const VariableLookup lookup = [&row](const std::wstring& name, std::wstring& value) {
      const auto found = row.variables.find(name);
      if (found == row.variables.end()) return false;
      value = found->second;
      return true;
    };
    EXPECT_EQ(classDataFolder(L"app", row.windows ? kWindowsPathStyle : kPosixPathStyle, lookup), row.folder);
  }
}

TEST(ClassDataSharing, FinishedArchive) {
  // The first bytes of an archive JDK 17 wrote, and of one it left unfinished.
  EXPECT_TRUE(isFinishedDynamicArchive(std::string("\xA8\xAB\x0B\xF0\xBE\x3B", 6)));
  EXPECT_FALSE(isFinishedDynamicArchive(std::string("\0\0\0\0\0\0", 6)));
  EXPECT_FALSE(isFinishedDynamicArchive(std::string("\xA2\xAB\x0B\xF0", 4)));  // the static archive's
  EXPECT_FALSE(isFinishedDynamicArchive(std::string("\xA8\xAB\x0B", 3)));
  EXPECT_FALSE(isFinishedDynamicArchive(""));
}

}  // namespace
}  // namespace tarn
