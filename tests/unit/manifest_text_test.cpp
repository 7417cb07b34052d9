#include "stamper/manifest_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn::stamper {
namespace {

TEST(ManifestText, DefaultsGiveTheLaunchersOwnManifest) {
  const std::string launcherManifest =
#include "launcher_manifest.inc"
      ;
  EXPECT_EQ(manifestText(ManifestChoices{}), launcherManifest);
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ManifestText, PutsTheChoicesIn) {
  const std::string level = "<requestedExecutionLevel level=\"";
  const std::string systemAware = ">true</dpiAware>";
  const std::string perMonitorAware = ">true/pm</dpiAware>";
  const std::string perMonitorV2 = ">PerMonitorV2</dpiAwareness>";
  const std::string longPaths =
      "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>";
  const struct {
    const char* name;
    ManifestChoices choices;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {"highest available",
       {ExecutionLevel::HighestAvailable, DpiAwareness::PerMonitor, false},
       {level + "highestAvailable\" uiAccess=\"false\"/>", perMonitorAware, perMonitorV2},
       {"asInvoker", longPaths}},
      {"administrator, system aware",
       {ExecutionLevel::RequireAdministrator, DpiAwareness::System, false},
       {level + "requireAdministrator\"", systemAware},
       {perMonitorAware, "dpiAwareness", "longPathAware"}},
      {"unaware: no settings at all",
       {ExecutionLevel::AsInvoker, DpiAwareness::Unaware, false},
       {level + "asInvoker\"", "<supportedOS"},
       {"dpiAware", "windowsSettings", "<application xmlns"}},
      {"unaware with long paths",
       {ExecutionLevel::AsInvoker, DpiAwareness::Unaware, true},
       {"    <windowsSettings>\n      " + longPaths + "\n    </windowsSettings>"},
       {"dpiAware"}},
      {"per monitor with long paths",
       {ExecutionLevel::AsInvoker, DpiAwareness::PerMonitor, true},
       {perMonitorV2 + "\n      " + longPaths + "\n    </windowsSettings>"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = manifestText(c.choices);
    for (const std::string& part : c.present) EXPECT_TRUE(holds(text, part)) << part;
    for (const std::string& part : c.absent) EXPECT_FALSE(holds(text, part)) << part;
  }
}

}  // namespace
}  // namespace tarn::stamper
