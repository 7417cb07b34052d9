#include "stamper/manifest_text.h"

#include "base/text.h"

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

// What an assembly name may hold of a text: ASCII letters and digits, and
// '.', '-', '_' (runs of anything else become one '-').
std::string nameCharacters(const std::wstring& text) {
  std::string name;
  for (wchar_t c : text) {
    const bool kept = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                      (c == L'.' && !name.empty()) || c == L'-' || c == L'_';
    if (kept) {
      name += static_cast<char>(c);
    } else if (!name.empty() && name.back() != '-') {
      name += '-';
    }
  }
  while (!name.empty() && (name.back() == '-' || name.back() == '.')) name.pop_back();
  return name;
}

std::string xmlEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

ManifestIdentity applicationIdentity(const std::wstring& company, const std::wstring& productName,
                                     const uint16_t (&version)[4], const std::wstring& description) {
  ManifestIdentity identity;
  const std::string companyPart = nameCharacters(company);
  const std::string productPart = nameCharacters(productName);
  const std::string name =
      companyPart.empty() || productPart.empty() ? companyPart + productPart : companyPart + "." + productPart;
  if (!name.empty()) identity.name = name;
  identity.version = std::to_string(version[0]) + "." + std::to_string(version[1]) + "." +
                     std::to_string(version[2]) + "." + std::to_string(version[3]);
  const std::wstring& shown = description.empty() ? productName : description;
  if (!shown.empty()) identity.description = toUtf8(shown);
  return identity;
}

std::string manifestText(const ManifestChoices& choices, const ManifestIdentity& identity) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
      "  <assemblyIdentity type=\"win32\" name=\"" +
      identity.name + "\" version=\"" + identity.version +
      "\"/>\n"
      "  <description>" +
      xmlEscaped(identity.description) +
      "</description>\n"
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
