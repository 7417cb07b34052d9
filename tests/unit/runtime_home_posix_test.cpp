// The runtime's home (TARN_JVM_HOME) and the folder put at the end of PATH,
// for the places of the Linux layout.
#include <gtest/gtest.h>

#include "jvm/search_paths.h"

namespace tarn {
namespace {

TEST(RuntimeHomePosix, HomeAndBinFolder) {
  const struct {
    std::wstring library;
    std::wstring home;
    std::wstring bin;
  } cases[] = {
      {L"/opt/jdk/lib/server/libjvm.so", L"/opt/jdk", L"/opt/jdk/bin"},
      {L"/opt/jre8/lib/amd64/server/libjvm.so", L"/opt/jre8", L"/opt/jre8/bin"},
      {L"/opt/jdk8/jre/lib/amd64/server/libjvm.so", L"/opt/jdk8/jre", L"/opt/jdk8/jre/bin"},
      {L"jdk/lib/server/libjvm.so", L"jdk", L"jdk/bin"},
      {L"lib/server/libjvm.so", L"", L"bin"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(std::string(row.library.begin(), row.library.end()));
    EXPECT_EQ(runtimeHomeOf(row.library), row.home);
    EXPECT_EQ(runtimeBinFolderOf(row.library), row.bin);
  }
}

}  // namespace
}  // namespace tarn
