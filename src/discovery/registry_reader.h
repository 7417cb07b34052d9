#pragma once
// The registry as the runtime search reads it: one hive in one view, its
// subkeys and values. The real reader is registry_reader_win.cpp; Linux has
// no registry and finds nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarn {

// One registry hive in one view. Key paths are relative to it.
class RegistryReader {
 public:
  virtual ~RegistryReader() = default;
  // The names of the key's subkeys in the registry's enumeration order;
  // none when the key cannot be opened.
  virtual std::vector<std::wstring> subkeyNames(const std::wstring& key) = 0;
  // The raw bytes of a value, whatever its type; false when the key cannot
  // be opened or the value not read.
  virtual bool readValue(const std::wstring& key, const std::wstring& name, std::vector<uint8_t>& data) = 0;
};

// HKEY_LOCAL_MACHINE in the launcher's own view (the 64-bit one for the x64
// build, the 32-bit one for the x86 build), or with `otherView` the 32-bit
// view. HKEY_CURRENT_USER's software keys are one for both views, so its
// runtimes may be of either width.
std::unique_ptr<RegistryReader> machineRegistry(bool otherView);
std::unique_ptr<RegistryReader> userRegistry();

// The text of a JavaHome value's bytes: UTF-16LE code units up to the first
// zero unit, or all of them; a final odd byte is half a unit and is dropped.
std::wstring javaHomeText(const std::vector<uint8_t>& data);

}  // namespace tarn
