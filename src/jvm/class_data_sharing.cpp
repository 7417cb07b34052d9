#include "jvm/class_data_sharing.h"

#include "base/text.h"
#include "discovery/java_version.h"
#include "discovery/vendor_registry.h"

namespace tarn {
namespace {

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool setsOwnSharing(const std::vector<std::string>& vmOptions) {
  static const char* const kOwn[] = {"-Xshare:", "-XX:SharedArchiveFile=", "-XX:ArchiveClassesAtExit=",
                                     "-XX:+AutoCreateSharedArchive", "-XX:-AutoCreateSharedArchive",
                                     "-XX:-UseSharedSpaces"};
  for (const std::string& option : vmOptions) {
    for (const char* own : kOwn) {
      if (startsWith(option, own)) return true;
    }
  }
  return false;
}

// FNV-1a, 64 bits, over the UTF-16 units of each text and a 0 after it.
class NameHash {
 public:
  void add(const std::wstring& text) {
    for (wchar_t c : text) addUnit(static_cast<uint16_t>(c));
    addUnit(0);
  }
  void add(uint64_t number) { add(decimalText(static_cast<int64_t>(number))); }
  std::wstring hex(int digits) const {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (int i = digits - 1; i >= 0; --i) text += kDigits[(value_ >> (i * 4)) & 0xF];
    return text;
  }

 private:
  void addUnit(uint16_t unit) {
    for (int shift = 0; shift < 16; shift += 8) {
      value_ ^= (unit >> shift) & 0xFF;
      value_ *= 0x100000001B3ull;
    }
  }
  uint64_t value_ = 0xCBF29CE484222325ull;
};

bool startsWith(const std::wstring& text, const std::wstring& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool endsWith(const std::wstring& text, const wchar_t* suffix) {
  const size_t length = std::char_traits<wchar_t>::length(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

}  // namespace

ClassDataChoice chooseClassDataMode(const std::string& release, const std::vector<std::string>& vmOptions) {
  ClassDataChoice choice;
  if (setsOwnSharing(vmOptions)) {
    choice.reason = L"the VM parameters set their own class data sharing";
    return choice;
  }
  std::wstring variant;
  if (releaseFileValue(release, "JVM_VARIANT", variant) && !equalsNoCase(variant, L"Hotspot")) {
    choice.reason = L"the runtime's VM is not HotSpot";
    return choice;
  }
  std::wstring versionText;
  const JavaVersion version =
      javaVersionOfRelease(release, versionText) ? parseJavaVersion(versionText, 0) : JavaVersion{};
  choice.feature = version.parts[0] == 1 ? version.parts[1] : version.parts[0];
  if (choice.feature == 0) {
    choice.reason = L"the runtime's version is unknown (no JAVA_VERSION in its release file)";
  } else if (choice.feature < 13) {
    choice.reason = L"the runtime is older than 13";
  } else {
    choice.mode = choice.feature >= 19 ? ClassDataMode::AutoCreate : ClassDataMode::MapOrWrite;
  }
  return choice;
}

std::vector<std::wstring> classDataOptions(const ClassDataChoice& choice, const std::wstring& archive, bool write) {
  std::vector<std::wstring> options;
  if (choice.mode == ClassDataMode::None) return options;
  options.push_back(choice.feature >= 25 ? L"-Xlog:cds*=off,aot*=off" : L"-Xlog:cds*=off");
  if (write && choice.mode == ClassDataMode::MapOrWrite) {
    options.push_back(L"-XX:ArchiveClassesAtExit=" + archive);
    return options;
  }
  // An archive damaged past its header would be mapped as it is: the sums
  // of its regions are checked first.
  options.push_back(L"-XX:+VerifySharedSpaces");
  if (choice.mode == ClassDataMode::AutoCreate) options.push_back(L"-XX:+AutoCreateSharedArchive");
  options.push_back(L"-XX:SharedArchiveFile=" + archive);
  return options;
}

ClassDataName classDataNameFor(const std::wstring& launcher, const StampedFile& jvmLibrary,
                               const std::vector<StampedFile>& classPath, const std::wstring& vmParameters) {
  NameHash prefix;
  prefix.add(launcher);
  NameHash key;
  auto addFile = [&key](const StampedFile& file) {
    key.add(file.path);
    key.add(file.size);
    key.add(file.time);
  };
  addFile(jvmLibrary);
  for (const StampedFile& file : classPath) addFile(file);
  key.add(vmParameters);
  return ClassDataName{prefix.hex(8) + L'-', key.hex(16)};
}

std::wstring autoArchiveName(const ClassDataName& name) { return name.prefix + name.key + L".jsa"; }

std::wstring completeArchiveName(const ClassDataName& name, uint64_t size) {
  return name.prefix + name.key + L'-' + decimalText(static_cast<int64_t>(size)) + L".jsa";
}

std::wstring temporaryArchiveName(const ClassDataName& name, uint32_t processId) {
  return name.prefix + name.key + L'.' + decimalText(processId) + L".tmp";
}

bool completeArchiveSize(const ClassDataName& name, const std::wstring& fileName, uint64_t& size) {
  const std::wstring start = name.prefix + name.key + L'-';
  if (!startsWith(fileName, start) || !endsWith(fileName, L".jsa")) return false;
  const size_t first = start.size();
  const size_t last = fileName.size() - 4;
  // At most 19 digits: no overflow.
  if (last == first || last - first > 19) return false;
  uint64_t value = 0;
  for (size_t i = first; i < last; ++i) {
    if (fileName[i] < L'0' || fileName[i] > L'9') return false;
    value = value * 10 + static_cast<uint64_t>(fileName[i] - L'0');
  }
  size = value;
  return true;
}

std::vector<std::wstring> staleArchiveNames(const std::vector<std::wstring>& names, const ClassDataName& name,
                                            const std::wstring& keep, bool keepTemporaries) {
  const std::wstring writing = name.prefix + name.key + L'.';
  std::vector<std::wstring> stale;
  for (const std::wstring& file : names) {
    if (!startsWith(file, name.prefix) || file == keep) continue;
    if (keepTemporaries && startsWith(file, writing) && endsWith(file, L".tmp")) continue;
    stale.push_back(file);
  }
  return stale;
}

std::wstring classDataFolder(const std::wstring& application, const PathStyle& style, const VariableLookup& lookup) {
  std::wstring root;
  if (style.windowsForms) {
    // A service's environment may lack LOCALAPPDATA; its profile folder holds the same place.
    if (!lookup(L"LOCALAPPDATA", root) || !isAbsolutePath(root, style, true)) {
      if (!lookup(L"USERPROFILE", root) || !isAbsolutePath(root, style, true)) return std::wstring();
      root = withTrailingSeparator(root, style.separator) + L"AppData\\Local";
    }
  } else if (!lookup(L"XDG_CACHE_HOME", root) || !isAbsolutePath(root, style)) {
    if (!lookup(L"HOME", root) || !isAbsolutePath(root, style)) return std::wstring();
    root = withTrailingSeparator(root, style.separator) + L".cache";
  }
  const wchar_t separator = style.separator;
  return withTrailingSeparator(root, separator) + application + separator + L"class-data" + separator;
}

bool isFinishedDynamicArchive(const std::string& start) {
  // 0xF00BABA8, little-endian, as on every target of the launcher.
  static const char kMagic[] = {'\xA8', '\xAB', '\x0B', '\xF0'};
  return start.size() >= 4 && start.compare(0, 4, kMagic, 4) == 0;
}

}  // namespace tarn
