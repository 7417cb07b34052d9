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

TEST(ManifestText, NamesTheApplication) {
  const uint16_t version[4] = {2, 5, 1, 7};
  const struct {
    const char* name;
    const wchar_t* company;
    const wchar_t* product;
    const wchar_t* description;
    const char* identity;  // the assemblyIdentity and description lines
  } cases[] = {
      {"company and product", L"Fjord Software", L"Ledger Desk", L"Ledger Desk <beta> & more",
       "name=\"Fjord-Software.Ledger-Desk\" version=\"2.5.1.7\"/>\n"
       "  <description>Ledger Desk &lt;beta&gt; &amp; more</description>"},
      {"product only, no description", L"", L"Ledger", L"",
       "name=\"Ledger\" version=\"2.5.1.7\"/>\n  <description>Ledger</description>"},
      {"names with nothing a name may hold", L"\u00C5s", L".\u00E9\u00E9 ", L"",
       "name=\"s\" version=\"2.5.1.7\"/>\n  <description>.\xC3\xA9\xC3\xA9 </description>"},
      {"nothing given", L"", L"", L"",
       "name=\"Tarn.Launcher\" version=\"2.5.1.7\"/>\n  <description>Tarn Java application launcher</description>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text =
        manifestText(ManifestChoices{}, applicationIdentity(c.company, c.product, version, c.description));
    EXPECT_TRUE(holds(text, std::string("<assemblyIdentity type=\"win32\" ") + c.identity)) << text;
  }
}

}  // namespace
}  // namespace tarn::stamper
