#include "stamper/manifest_text.h"

namespace tarn::stamper {
namespace {

const char* levelName(ExecutionLevel level) {
  switch (level) {
    case ExecutionLevel::HighestAvailable:
      return "highestAvailable";
    case ExecutionLevel::RequireAdministrator:
      return "requireAdministrator";
    case ExecutionLevel::AsInvoker:
      break;
  }
  return "asInvoker";
}

}  // namespace

std::string manifestText(const ManifestChoices& choices) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
      "  <assemblyIdentity type=\"win32\" name=\"Tarn.Launcher\" version=\"0.1.0.0\"/>\n"
      "  <description>Tarn Java application launcher</description>\n"
      "  <dependency>\n"
      "    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"\n"
      "                        processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
      "    </dependentAssembly>\n"
      "  </dependency>\n"
      "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
      "    <security>\n"
      "      <requestedPrivileges>\n"
      "        <requestedExecutionLevel level=\"";
  text += levelName(choices.executionLevel);
  text +=
      "\" uiAccess=\"false\"/>\n"
      "      </requestedPrivileges>\n"
      "    </security>\n"
      "  </trustInfo>\n";

  std::string settings;
  if (choices.dpiAwareness == DpiAwareness::System) {
    settings += "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n";
  } else if (choices.dpiAwareness == DpiAwareness::PerMonitor) {
    settings +=
        "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>\n"
        "      <dpiAwareness "
        "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2</dpiAwareness>\n";
  }
  if (choices.longPathAware) {
    settings +=
        "      <longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>\n";
  }
  // No empty windowsSettings element when nothing goes into it.
  if (!settings.empty()) {
    text +=
        "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
        "    <windowsSettings>\n" +
        settings +
        "    </windowsSettings>\n"
        "  </application>\n";
  }

  text +=
      "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
      "    <application>\n"
      "      <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>\n"
      "      <supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>\n"
      "      <supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>\n"
      "      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\n"
      "    </application>\n"
      "  </compatibility>\n"
      "</assembly>\n";
  return text;
}

}  // namespace tarn::stamper
