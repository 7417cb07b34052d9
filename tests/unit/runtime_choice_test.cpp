// The runtime sources that need no registry and no real JVM: JRE Path and
// the runtime beside the launcher, in a temporary folder that is also the
// current directory; and the text for when there is none.
#include "discovery/runtime_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"
#include "discovery/java_home.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// "x86" for a 32-bit x86 PE image, anything else an empty file.
std::string libraryBytes(const std::string& kind) {
  if (kind != "x86") return std::string(1, '\0');
  std::string image(0x200, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = '\x80';
  image[0x80] = 'P';
  image[0x81] = 'E';
  image[0x84] = '\x4C';
  image[0x85] = '\x01';
  return image;
}

// The launcher lies in <folder>/launcher/, which holds nothing unless a case
// puts a runtime there; the folder itself is the current directory.
class RuntimeChoiceTest : public ::testing::Test {
 protected:
  // Creates <folder>/<home>/<subPath>.
  void placeJvm(const fs::path& home, const std::wstring& subPath, const std::string& kind = "") {
    folder_.writeFile(home / subPath, libraryBytes(kind));
  }

  std::wstring homeOf(const char* relative) const { return folder_.pathOf(relative) + layout_.separator; }

  const JavaHomeLayout& layout_ = nativeJavaHomeLayout();
  const std::wstring client_ = layout_.anyVm.front().subPath;
  const std::wstring server_ = layout_.serverVm.front().subPath;
  test::TempFolder folder_;
  test::CurrentDirectory currentDirectory_{folder_.path()};
  const std::wstring launcherFolder_ = folder_.makeFolder("launcher") + layout_.separator;
};

TEST_F(RuntimeChoiceTest, JrePathThenThePrivateRuntime) {
  // Homes below the current directory; "launcher" is the launcher's folder,
  // "launcher/jre64" its bundled runtime's.
  const fs::path bundled = fs::path("launcher") / layout_.privateRuntimeFolder;
  const struct {
    const char* name;
    std::wstring jrePath;
    JvmType jvmType;
    std::vector<std::pair<fs::path, std::wstring>> libraries;
    std::vector<fs::path> runtimeRoots;  // homes that hold the runtime marker
    std::wstring expected;               // empty: nothing chosen
  } rows[] = {
      {"JRE Path without its separator", folder_.pathOf("jre"), JvmType::Any, {{"jre", client_}}, {},
       homeOf("jre") + client_},
      {"JRE Path with its separator", homeOf("jre"), JvmType::Any, {{"jre", client_}}, {}, homeOf("jre") + client_},
      // Found against the current directory and chosen by its full path, so
      // that loading it cannot take another runtime of that name.
      {"relative JRE Path against the current directory", L"rt", JvmType::Any, {{"rt", client_}}, {},
       homeOf("rt") + client_},
      {"JRE Path before the private runtime", L"rt", JvmType::Any, {{"rt", client_}, {"launcher", client_}},
       {"launcher"}, homeOf("rt") + client_},
      {"JRE Path without a VM of the type falls through", L"rt", JvmType::Server,
       {{"rt", client_}, {"launcher", server_}}, {"launcher"}, launcherFolder_ + server_},
      {"JRE Path of no runtime falls through", L"missing", JvmType::Any, {{"launcher", client_}}, {"launcher"},
       launcherFolder_ + client_},
      {"launcher in a runtime's root", L"", JvmType::Any, {{"launcher", client_}}, {"launcher"},
       launcherFolder_ + client_},
      {"bundled runtime", L"", JvmType::FavorServer, {{bundled, client_}, {bundled, server_}}, {bundled},
       launcherFolder_ + layout_.privateRuntimeFolder + server_},
      {"the root before the bundled runtime", L"", JvmType::Any, {{"launcher", client_}, {bundled, client_}},
       {"launcher", bundled}, launcherFolder_ + client_},
      // The launcher's folder is searched even without the marker.
      {"a VM beside the launcher without the marker", L"", JvmType::Any, {{"launcher", client_}}, {},
       launcherFolder_ + client_},
      {"no VM of the type anywhere", L"rt", JvmType::Server, {{"rt", client_}, {"launcher", client_}}, {"launcher"},
       L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const char* top : {"jre", "rt", "launcher"}) fs::remove_all(folder_.path() / top);
    folder_.makeFolder("launcher");
    for (const auto& [home, subPath] : row.libraries) placeJvm(home, subPath);
    for (const fs::path& root : row.runtimeRoots) folder_.writeFile(root / layout_.runtimeMarker, "");

    RuntimeRequest request;
    request.jrePath = row.jrePath;
    request.launcherFolder = launcherFolder_;
    request.criteria.jvmType = row.jvmType;
    RuntimeChoice choice;
    EXPECT_EQ(chooseJavaRuntime(request, choice), !row.expected.empty());
    if (!row.expected.empty()) {
      EXPECT_EQ(choice.jvmLibrary, row.expected);
      EXPECT_FALSE(choice.forSibling);
    }
  }
}

TEST_F(RuntimeChoiceTest, AJvmInTheCurrentDirectoryIsNotTakenWithoutJrePath) {
  // The launcher's folder holds no runtime; the current directory holds one
  // for every JVM type.
  for (const JvmLibraryCandidate& candidate : layout_.anyVm) placeJvm("", candidate.subPath);
  folder_.writeFile(layout_.runtimeMarker, "");
  for (JvmType jvmType : {JvmType::Any, JvmType::Server, JvmType::FavorServer}) {
    SCOPED_TRACE(static_cast<int>(jvmType));
    RuntimeRequest request;
    request.launcherFolder = launcherFolder_;
    request.criteria.jvmType = jvmType;
    RuntimeChoice choice;
    EXPECT_FALSE(chooseJavaRuntime(request, choice));
    EXPECT_EQ(choice.jvmLibrary, L"");
  }
}

TEST_F(RuntimeChoiceTest, AnX86LibraryFromJrePathGoesToTheSibling) {
  // Only the 64-bit launcher hands a 32-bit library over, and only to a
  // configured sibling.
  const bool handsOver = sizeof(void*) == 8;
  const struct {
    const char* name;
    std::wstring jrePath;
    const char* kind;
    bool hasSibling;
    bool forSibling;
  } rows[] = {
      {"x86 library, sibling", L"rt", "x86", true, handsOver},
      {"x86 library, no sibling", L"rt", "x86", false, false},
      {"other library, sibling", L"rt", "", true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    placeJvm("rt", client_, row.kind);

    RuntimeRequest request;
    request.jrePath = row.jrePath;
    request.launcherFolder = launcherFolder_;
    request.hasSibling = row.hasSibling;
    RuntimeChoice choice;
    ASSERT_TRUE(chooseJavaRuntime(request, choice));
    EXPECT_EQ(choice.forSibling, row.forSibling);
  }
}

TEST(MissingRuntimeText, NamesTheServerVmAndTheVersions) {
  const struct {
    const char* name;
    JvmType jvmType;
    const wchar_t* minimum;
    const wchar_t* maximum;
    const wchar_t* expected;
  } rows[] = {
      {"any VM", JvmType::Any, L"1.6", L"",
       L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
       L"(minimum version 1.6) from:"},
      {"server VM", JvmType::Server, L"1.6", L"",
       L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM "
       L"(minimum version 1.6) from:"},
      {"favor_server takes any VM", JvmType::FavorServer, L"1.6", L"",
       L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
       L"(minimum version 1.6) from:"},
      {"both bounds", JvmType::Any, L"1.6", L"1.8",
       L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
       L"(version between 1.6 and 1.8) from:"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RuntimeCriteria criteria;
    criteria.jvmType = row.jvmType;
    criteria.minVersion = parseJavaVersion(row.minimum, 0);
    criteria.maxVersion = parseJavaVersion(row.maximum, 65535);
    EXPECT_EQ(missingRuntimeText(criteria), row.expected);
  }
}

}  // namespace
}  // namespace tarn
