// Windows: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER read through the registry
// API, in the process's own view or, with KEY_WOW64_32KEY, in the 32-bit view.
#include <windows.h>

#include "base/scoped_handle_win.h"
#include "discovery/registry_reader.h"

namespace tarn {

namespace {

// A registry key name has at most 255 characters.
constexpr DWORD kKeyNameBuffer = 256;
// A value that keeps growing between the size query and the read is given up.
constexpr int kValueReadAttempts = 4;

ScopedRegistryKey openKey(HKEY hive, const std::wstring& path, bool otherView) {
  ScopedRegistryKey key;
  // The API stops at a zero character and would open another key.
  if (path.find(L'\0') != std::wstring::npos) return key;
  const REGSAM access = otherView ? KEY_READ | KEY_WOW64_32KEY : KEY_READ;
  if (RegOpenKeyExW(hive, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

class HiveRegistry : public RegistryReader {
 public:
  HiveRegistry(HKEY hive, bool otherView) : hive_(hive), otherView_(otherView) {}

  std::vector<std::wstring> subkeyNames(const std::wstring& path) override {
    std::vector<std::wstring> names;
    const ScopedRegistryKey key = openKey(hive_, path, otherView_);
    if (!key) return names;
    wchar_t name[kKeyNameBuffer];
    for (DWORD index = 0;; ++index) {
      DWORD length = kKeyNameBuffer;
      // RegEnumKeyExW: ERROR_NO_MORE_ITEMS past the last subkey.
      if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }

  bool readValue(const std::wstring& path, const std::wstring& name, std::vector<uint8_t>& data) override {
    const ScopedRegistryKey key = openKey(hive_, path, otherView_);
    if (!key) return false;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
      return false;
    for (int attempt = 0; attempt < kValueReadAttempts; ++attempt) {
      // Whole UTF-16 units, and room for the terminator that the API may add
      // to a string stored without one.
      std::vector<uint8_t> buffer((size + 1) / 2 * 2 + sizeof(wchar_t), 0);
      DWORD length = static_cast<DWORD>(buffer.size());
      // RegQueryValueExW: ERROR_MORE_DATA with the size needed in `length`
      // when the value has grown since the size was asked for.
      const LONG result = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, buffer.data(), &length);
      if (result == ERROR_MORE_DATA) {
        size = length;
        continue;
      }
      if (result != ERROR_SUCCESS || length > buffer.size()) return false;
      buffer.resize(length);
      data = std::move(buffer);
      return true;
    }
    return false;
  }

 private:
  HKEY hive_;
  bool otherView_;
};

}  // namespace

std::unique_ptr<RegistryReader> machineRegistry(bool otherView) {
  return std::make_unique<HiveRegistry>(HKEY_LOCAL_MACHINE, otherView);
}

std::unique_ptr<RegistryReader> userRegistry() { return std::make_unique<HiveRegistry>(HKEY_CURRENT_USER, false); }

}  // namespace tarn
