#include "jvm/class_data_sharing.h"

#include "base/text.h"
#include "discovery/java_version.h"
#include "discovery/release_file.h"

namespace tarn {
namespace {

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool setsOwnSharing(const std::vector<std::string>& vmOptions) {
  static const char* const kOwn[] = {"-Xshare:",
                                     "-XX:SharedArchiveFile=",
                                     "-XX:ArchiveClassesAtExit=",
                                     "-XX:+AutoCreateSharedArchive",
                                     "-XX:-AutoCreateSharedArchive",
                                     "-XX:-UseSharedSpaces"};
  for (const std::string& option : vmOptions) {
    for (const char* own : kOwn) {
      if (startsWith(option, own)) return true;
    }
  }
  return false;
}

std::wstring hexDigits(uint64_t value, int digits) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring text;
  for (int i = digits - 1; i >= 0; --i) text += kDigits[(value >> (i * 4)) & 0xF];
  return text;
}

// FNV-1a, 64 bits, over the UTF-16 units of each text and a 0 after it.
class NameHash {
 public:
  void add(const std::wstring& text) {
    for (wchar_t c : text) addUnit(static_cast<uint16_t>(c));
    addUnit(0);
  }
  void add(uint64_t number) { add(decimalText(static_cast<int64_t>(number))); }
  std::wstring hex(int digits) const { return hexDigits(value_, digits); }

 private:
  void addUnit(uint16_t unit) {
    for (int shift = 0; shift < 16; shift += 8) {
      value_ ^= (unit >> shift) & 0xFF;
      value_ *= 0x100000001B3ull;
    }
  }
  uint64_t value_ = 0xCBF29CE484222325ull;
};

// Digits from fileName[first] up to the character `end`; false for none,
// another character, or more than `most`.
bool readNumber(const std::wstring& fileName, size_t& first, wchar_t end, int base, size_t most, uint64_t& value) {
  const size_t stop = fileName.find(end, first);
  if (stop == std::wstring::npos || stop == first || stop - first > most) return false;
  value = 0;
  for (size_t i = first; i < stop; ++i) {
    const wchar_t c = fileName[i];
    uint64_t digit;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<uint64_t>(c - L'0');
    } else if (base == 16 && c >= L'a' && c <= L'f') {
      digit = static_cast<uint64_t>(c - L'a' + 10);
    } else {
      return false;
    }
    value = value * static_cast<uint64_t>(base) + digit;
  }
  first = stop + 1;
  return true;
}

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

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
  if (releaseValue(release, "JVM_VARIANT", variant) && !equalsNoCase(variant, L"Hotspot")) {
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
  if (choice.mode == ClassDataMode::AutoCreate) {
    // The VM's own archive: only the VM can check it, by the sums of its
    // regions (the launcher checks the archives it keeps itself).
    options.push_back(L"-XX:+VerifySharedSpaces");
    options.push_back(L"-XX:+AutoCreateSharedArchive");
  }
  const bool dump = write && choice.mode == ClassDataMode::MapOrWrite;
  options.push_back((dump ? L"-XX:ArchiveClassesAtExit=" : L"-XX:SharedArchiveFile=") + archive);
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

std::wstring completeArchiveName(const ClassDataName& name, uint64_t size, uint64_t sum) {
  return name.prefix + name.key + L'-' + decimalText(static_cast<int64_t>(size)) + L'-' + hexDigits(sum, 16) + L".jsa";
}

std::wstring temporaryArchiveName(const ClassDataName& name, uint32_t processId) {
  return name.prefix + name.key + L'.' + decimalText(processId) + L".tmp";
}

bool parseCompleteArchiveName(const ClassDataName& name, const std::wstring& fileName, uint64_t& size, uint64_t& sum) {
  const std::wstring start = name.prefix + name.key + L'-';
  size_t position = start.size();
  // At most 19 decimal digits: no overflow.
  return startsWith(fileName, start) && endsWith(fileName, L".jsa") &&
         readNumber(fileName, position, L'-', 10, 19, size) && readNumber(fileName, position, L'.', 16, 16, sum) &&
         position == fileName.size() - 3;
}

uint64_t archiveSum(const std::string& bytes) {
  // Eight bytes at a time, so that the sum of a large archive costs little
  // beside the time the VM saves.
  uint64_t sum = 0x84222325CBF29CE4ull ^ bytes.size();
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t word = 0;
    for (int b = 7; b >= 0; --b) word = (word << 8) | static_cast<unsigned char>(bytes[i + static_cast<size_t>(b)]);
    sum = (sum ^ word) * 0x9E3779B97F4A7C15ull;
    sum ^= sum >> 29;
  }
  for (; i < bytes.size(); ++i) sum = (sum ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3ull;
  return sum;
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
