#include "stamper/stamp.h"

#include <cstring>

#include "base/path.h"
#include "base/text.h"
#include "config/profile_text.h"
#include "resource_ids.h"
#include "stamper/embedded_settings.h"
#include "stamper/icon_file.h"
#include "stamper/manifest_text.h"
#include "stamper/pe_image.h"
#include "stamper/pe_writer.h"
#include "stamper/resource_tree.h"
#include "stamper/version_resource.h"

namespace tarn::stamper {
namespace {

constexpr uint32_t kManifestId = 1;
constexpr char kLauncherMark[] = TARN_LAUNCHER_MARK_TEXT;

bool isLauncherMark(const std::optional<ResourceData>& mark) {
  return mark && mark->bytes.compare(0, std::strlen(kLauncherMark), kLauncherMark) == 0;
}

void putResource(ResourceTree& tree, uint32_t type, uint32_t name, uint32_t language, std::string bytes) {
  tree[ResourceName::number(type)][ResourceName::number(name)][ResourceName::number(language)] =
      ResourceData{std::move(bytes), 0};
}

bool versionNumber(const std::optional<std::wstring>& text, const wchar_t* option, VersionNumber& number,
                   std::wstring& error) {
  if (!text || parseVersionText(*text, number)) return true;
  error =
      L"bad version text \"" + *text + L"\" for " + option + L": give 1 to 4 numbers from 0 to 65535 separated by dots";
  return false;
}

bool replaceIcons(ResourceTree& tree, const StampOptions& options, const std::string& bytes, std::wstring& error) {
  std::vector<IconImage> images;
  std::wstring why;
  if (!parseIconFile(bytes, images, why)) {
    error = *options.icon + L" is not an icon file: " + why;
    return false;
  }
  tree.erase(ResourceName::number(kRtIcon));
  tree.erase(ResourceName::number(kRtGroupIcon));
  for (size_t i = 0; i < images.size(); ++i) {
    putResource(tree, kRtIcon, static_cast<uint32_t>(i + 1), kEnglishUnitedStates, images[i].data);
  }
  putResource(tree, kRtGroupIcon, 1, kEnglishUnitedStates, iconGroupDirectory(images, 1));
  return true;
}

// Explorer shows the version texts as they are: a control character could
// fake a line, and U+FFFD (or, on Windows, a lone surrogate) stands for
// bytes that were not valid text.
bool isShowableText(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t c = static_cast<uint32_t>(text[i]);
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD || (c >= 0xDC00 && c <= 0xDFFF)) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      const uint32_t next = i + 1 < text.size() ? static_cast<uint32_t>(text[i + 1]) : 0;
      if (next < 0xDC00 || next > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

bool replaceVersion(ResourceTree& tree, const StampOptions& options, std::wstring& error) {
  const std::pair<const wchar_t*, const std::optional<std::wstring>*> texts[] = {
      {L"--product-name", &options.productName}, {L"--company", &options.company},
      {L"--description", &options.description},  {L"--copyright", &options.copyright},
      {L"--original-file-name", &options.originalFileName}};
  for (const auto& [option, text] : texts) {
    if (*text && !isShowableText(**text)) {
      error = std::wstring(L"the text for ") + option + L" holds a control character or bytes that are not valid text";
      return false;
    }
  }
  // Either version alone gives both.
  const std::optional<std::wstring> productVersionText =
      options.productVersion ? options.productVersion : options.fileVersion;
  const std::optional<std::wstring> fileVersionText =
      options.fileVersion ? options.fileVersion : options.productVersion;
  VersionInfo info;
  if (!versionNumber(options.productVersion, L"--product-version", info.productVersion, error)) return false;
  if (!versionNumber(options.fileVersion, L"--file-version", info.fileVersion, error)) return false;
  if (!options.fileVersion) info.fileVersion = info.productVersion;
  if (!options.productVersion) info.productVersion = info.fileVersion;

  const std::wstring originalName = options.originalFileName ? *options.originalFileName : fileNameOf(options.output, nativePathStyle());
  const std::pair<const wchar_t*, std::optional<std::wstring>> strings[] = {
      {L"CompanyName", options.company},      {L"FileDescription", options.description},
      {L"FileVersion", fileVersionText},      {L"InternalName", withoutExtension(originalName)},
      {L"LegalCopyright", options.copyright}, {L"OriginalFilename", originalName},
      {L"ProductName", options.productName},  {L"ProductVersion", productVersionText},
  };
  for (const auto& [key, value] : strings) {
    if (value) info.strings.emplace_back(key, *value);
  }
  std::string bytes;
  if (!versionResource(info, bytes)) {
    error = L"the version strings are too long for a version resource";
    return false;
  }
  tree.erase(ResourceName::number(kRtVersion));
  putResource(tree, kRtVersion, 1, kEnglishUnitedStates, std::move(bytes));
  return true;
}

// The manifest names the application once its version information is given.
void replaceManifest(ResourceTree& tree, const StampOptions& options) {
  ManifestIdentity identity;
  if (options.changesVersion()) {
    VersionNumber number;  // the file version; either version alone gives both
    const std::optional<std::wstring>& text = options.fileVersion ? options.fileVersion : options.productVersion;
    if (text) parseVersionText(*text, number);
    identity = applicationIdentity(options.company.value_or(L""), options.productName.value_or(L""), number.parts,
                                   options.description.value_or(L""));
  }
  ManifestChoices choices;
  if (options.executionLevel) choices.executionLevel = *options.executionLevel;
  if (options.dpiAwareness) choices.dpiAwareness = *options.dpiAwareness;
  if (options.longPathAware) choices.longPathAware = *options.longPathAware;

  ResourceNames& manifests = tree[ResourceName::number(kRtManifest)];
  ResourceLanguages& languages = manifests[ResourceName::number(kManifestId)];
  const ResourceName language =
      languages.empty() ? ResourceName::number(kEnglishUnitedStates) : languages.begin()->first;
  languages.clear();
  languages[language] = ResourceData{manifestText(choices, identity), 0};
}

bool replaceSettings(ResourceTree& tree, const StampOptions& options, const std::string& bytes, std::wstring& error) {
  std::wstring text;
  SettingsProblem problem;
  if (!embeddedSettingsText(decodeProfileFile(bytes), options.openToFile, text, problem)) {
    error = *options.settings + (problem.line != 0 ? L" line " + unsignedDecimalText(problem.line) : L"") + L": " +
            problem.why;
    return false;
  }
  ResourceNames& data = tree[ResourceName::number(kRtRcData)];
  data.erase(ResourceName::number(TARN_BUILT_IN_SETTINGS));
  putResource(tree, kRtRcData, TARN_BUILT_IN_SETTINGS, kEnglishUnitedStates, embeddedSettingsBytes(text));
  return true;
}

}  // namespace

bool stampLauncher(const StampOptions& options, const StampFiles& files, std::string& out,
                   std::vector<std::wstring>& notes, std::wstring& error) {
  notes.clear();
  const std::wstring& input = options.input;
  PeImage image;
  std::wstring why;
  if (!parsePeImage(files.launcher, image, why)) {
    error = input + L" is not a Windows executable: " + why;
    return false;
  }
  if (image.directory(kResourceDirectory).address == 0) {
    error = input + L" is not a Tarn launcher";
    return false;
  }
  const int resourceIndex = resourceSectionIndex(image, why);
  if (resourceIndex < 0) {
    error = L"cannot rebuild " + input + L": " + why;
    return false;
  }
  const SectionHeader& resourceSection = image.sections[static_cast<size_t>(resourceIndex)];
  const std::string section = sectionBytes(files.launcher, resourceSection);
  // The mark first: someone else's program is refused before its whole tree is read.
  std::optional<ResourceData> mark;
  if (!readOneResource(section, resourceSection.virtualAddress, kRtRcData, TARN_LAUNCHER_MARK, mark, why)) {
    error = L"cannot read the resources of " + input + L": " + why;
    return false;
  }
  if (!isLauncherMark(mark)) {
    error = input + L" is not a Tarn launcher";
    return false;
  }
  ResourceTree tree;
  if (!parseResourceSection(section, resourceSection.virtualAddress, tree, why)) {
    error = L"cannot read the resources of " + input + L": " + why;
    return false;
  }

  if (options.icon && !replaceIcons(tree, options, files.icon, error)) return false;
  if (options.changesVersion() && !replaceVersion(tree, options, error)) return false;
  if (options.changesManifest() || options.changesVersion()) replaceManifest(tree, options);
  if (options.settings && !replaceSettings(tree, options, files.settings, error)) return false;

  RebuildNotes rebuild;
  if (!rebuildWithResources(files.launcher, image, serialiseResourceSection(tree, resourceSection.virtualAddress), out,
                            rebuild, why)) {
    error = L"cannot rebuild " + input + L": " + why;
    return false;
  }
  if (rebuild.certificateDropped) {
    notes.push_back(input + L" was signed; the signature is dropped (signing comes after stamping: sign " +
                    options.output + L")");
  }
  return true;
}

}  // namespace tarn::stamper
