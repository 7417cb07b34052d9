#include "base/parent_directories.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace tarn {
namespace {

using Parts = std::vector<std::wstring>;

TEST(SplitPathForCreation, WindowsShapes) {
  const struct {
    const wchar_t* path;
    Parts parts;
  } cases[] = {
      {L"C:\\a\\b\\out.log", {L"C:", L"a", L"b", L"out.log"}},
      {L"\\\\?\\C:\\a\\out.log", {L"\\\\?\\C:", L"a", L"out.log"}},
      {L"\\\\srv\\share\\logs\\out.log", {L"\\\\srv", L"share", L"logs", L"out.log"}},
      {L"\\\\?\\UNC\\srv\\share\\out.log", {L"\\\\?\\UNC", L"srv", L"share", L"out.log"}},
      {L"a\\b.log", {L"a", L"b.log"}},
      {L"out.log", {L"out.log"}},
      {L"\\logs\\out.log", {L"", L"logs", L"out.log"}},
      {L"C:out.log", {L"C:out.log"}},
      {L"C:\\a\\\\b.log", {L"C:", L"a", L"", L"b.log"}},
      {L"C:\\a\\", {L"C:", L"a"}},
      {L"\\\\srv", {L"\\\\srv"}},
      {L"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
    EXPECT_EQ(splitPathForCreation(c.path, kWindowsPathStyle), c.parts);
  }
}

TEST(SplitPathForCreation, PosixPathsHaveNoNetworkForms) {
  EXPECT_EQ(splitPathForCreation(L"/var/log/app/out.log", kPosixPathStyle),
            (Parts{L"", L"var", L"log", L"app", L"out.log"}));
  EXPECT_EQ(splitPathForCreation(L"//srv/share/out.log", kPosixPathStyle),
            (Parts{L"", L"", L"srv", L"share", L"out.log"}));
  EXPECT_EQ(splitPathForCreation(L"logs/out.log", kPosixPathStyle), (Parts{L"logs", L"out.log"}));
  // A backslash is an ordinary character there.
  EXPECT_EQ(splitPathForCreation(L"C:\\a\\out.log", kPosixPathStyle), (Parts{L"C:\\a\\out.log"}));
}

// A file system in memory that records every call.
class FakeFolders : public FolderOperations {
 public:
  std::set<std::wstring> present;              // files and folders
  std::map<std::wstring, uint32_t> failing;    // folder -> error of its creation
  std::vector<std::wstring> calls;
  uint32_t alreadyExistsError = 183;

  bool exists(const std::wstring& path) override {
    calls.push_back(L"exists " + path);
    return present.count(path) != 0;
  }
  Outcome createFolder(const std::wstring& path, uint32_t& error) override {
    calls.push_back(L"create " + path);
    auto failure = failing.find(path);
    if (failure != failing.end()) {
      error = failure->second;
      return Outcome::Failed;
    }
    if (present.count(path) != 0) {
      error = alreadyExistsError;
      return Outcome::AlreadyExists;
    }
    present.insert(path);
    return Outcome::Created;
  }
  void removeFolder(const std::wstring& path) override {
    calls.push_back(L"remove " + path);
    present.erase(path);
  }
};

struct WalkCase {
  const char* name;
  const wchar_t* path;
  std::set<std::wstring> present;
  std::map<std::wstring, uint32_t> failing;
  uint32_t result;
  std::vector<std::wstring> calls;
};

void runWalk(const WalkCase& c, const PathStyle& style) {
  SCOPED_TRACE(c.name);
  FakeFolders folders;
  folders.present = c.present;
  folders.failing = c.failing;
  EXPECT_EQ(createParentFolders(c.path, style, folders), c.result);
  EXPECT_EQ(folders.calls, c.calls);
  // A failed walk leaves the file system as it found it.
  if (c.result != 0) {
    EXPECT_EQ(folders.present, c.present);
  }
}

TEST(CreateParentFolders, WindowsWalk) {
  const WalkCase cases[] = {
      {"missing folders under a drive are made, the drive is not",
       L"C:\\a\\b\\out.log", {}, {}, 0,
       {L"exists C:\\a\\b\\out.log", L"create C:\\a", L"create C:\\a\\b"}},
      {"an existing file is left alone",
       L"C:\\a\\b\\out.log", {L"C:\\a\\b\\out.log"}, {}, 0,
       {L"exists C:\\a\\b\\out.log"}},
      {"existing folders count as made",
       L"C:\\a\\b\\out.log", {L"C:\\a"}, {}, 0,
       {L"exists C:\\a\\b\\out.log", L"create C:\\a", L"create C:\\a\\b"}},
      {"a failure stops the walk and removes what it made, innermost first",
       L"C:\\a\\b\\c\\d\\out.log", {}, {{L"C:\\a\\b\\c", 5}}, 5,
       {L"exists C:\\a\\b\\c\\d\\out.log", L"create C:\\a", L"create C:\\a\\b", L"create C:\\a\\b\\c",
        L"remove C:\\a\\b", L"remove C:\\a"}},
      {"folders that were there before stay",
       L"C:\\a\\b\\out.log", {L"C:\\a"}, {{L"C:\\a\\b", 3}}, 3,
       {L"exists C:\\a\\b\\out.log", L"create C:\\a", L"create C:\\a\\b"}},
      {"the long-path prefix and its drive are the root",
       L"\\\\?\\C:\\a\\out.log", {}, {}, 0,
       {L"exists \\\\?\\C:\\a\\out.log", L"create \\\\?\\C:\\a"}},
      {"server and share failures are passed over",
       L"\\\\srv\\share\\logs\\out.log", {}, {{L"\\\\srv\\share", 5}}, 0,
       {L"exists \\\\srv\\share\\logs\\out.log", L"create \\\\srv\\share", L"create \\\\srv\\share\\logs"}},
      {"a failure below the share is reported and undone",
       L"\\\\srv\\share\\a\\b\\out.log", {}, {{L"\\\\srv\\share", 5}, {L"\\\\srv\\share\\a\\b", 112}}, 112,
       {L"exists \\\\srv\\share\\a\\b\\out.log", L"create \\\\srv\\share", L"create \\\\srv\\share\\a",
        L"create \\\\srv\\share\\a\\b", L"remove \\\\srv\\share\\a"}},
      {"a long-path network path passes over its server and share",
       L"\\\\?\\UNC\\srv\\share\\logs\\out.log", {}, {{L"\\\\?\\UNC\\srv", 161}, {L"\\\\?\\UNC\\srv\\share", 5}}, 0,
       {L"exists \\\\?\\UNC\\srv\\share\\logs\\out.log", L"create \\\\?\\UNC\\srv",
        L"create \\\\?\\UNC\\srv\\share", L"create \\\\?\\UNC\\srv\\share\\logs"}},
      {"a relative path makes its first folder too",
       L"logs\\daily\\out.log", {}, {}, 0,
       {L"create logs", L"create logs\\daily"}},
      {"a relative first folder that cannot be made stops the walk",
       L"logs\\daily\\out.log", {}, {{L"logs", 5}}, 5,
       {L"create logs"}},
      {"a path from the drive's root makes its folders there",
       L"\\logs\\out.log", {}, {}, 0,
       {L"create \\logs"}},
      {"a drive-relative path makes its first folder",
       L"C:logs\\out.log", {}, {}, 0,
       {L"exists C:logs\\out.log", L"create C:logs"}},
      {"a folder name ending in dots or spaces is not made, and the walk is undone",
       L"C:\\a\\logs. .\\out.log", {}, {}, 123,
       {L"exists C:\\a\\logs. .\\out.log", L"create C:\\a", L"remove C:\\a"}},
      {"a relative first folder ending in a space",
       L"logs \\out.log", {}, {}, 123, {}},
      {"dots of their own are no such names",
       L"C:\\a\\..\\b\\out.log.", {L"C:\\a"}, {}, 0,
       {L"exists C:\\a\\..\\b\\out.log.", L"create C:\\a", L"create C:\\a\\..", L"create C:\\a\\..\\b"}},
      {"a file name alone needs nothing", L"out.log", {}, {}, 0, {}},
      {"a file at the root of a drive needs nothing",
       L"C:\\out.log", {}, {}, 0, {L"exists C:\\out.log"}},
      {"an empty path needs nothing", L"", {}, {}, 0, {}},
  };
  for (const auto& c : cases) runWalk(c, kWindowsPathStyle);
}

TEST(CreateParentFolders, PosixWalk) {
  const WalkCase cases[] = {
      {"folders under the root", L"/var/app/log/out.log", {L"/var"}, {}, 0,
       {L"exists /var/app/log/out.log", L"create /var", L"create /var/app", L"create /var/app/log"}},
      {"an existing file", L"/var/out.log", {L"/var/out.log"}, {}, 0, {L"exists /var/out.log"}},
      {"a denied folder undoes the walk", L"/srv/a/b/out.log", {L"/srv"}, {{L"/srv/a/b", 13}}, 13,
       {L"exists /srv/a/b/out.log", L"create /srv", L"create /srv/a", L"create /srv/a/b", L"remove /srv/a"}},
      {"a relative path", L"logs/out.log", {}, {}, 0, {L"create logs"}},
      {"names ending in dots or spaces are kept", L"logs. /out.log", {}, {}, 0, {L"create logs. "}},
  };
  for (const auto& c : cases) runWalk(c, kPosixPathStyle);
}

}  // namespace
}  // namespace tarn
