#pragma once
// The common face of INI access: a file through the platform's profile-string
// functions, or INI text parsed into memory.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

class IniStore {
 public:
  virtual ~IniStore() = default;
  // The first four bytes of the store; returns 0 or the platform error code.
  virtual uint32_t readSignature(uint32_t& out) = 0;
  virtual void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) = 0;
  virtual void sectionNames(std::vector<std::wstring>& out) = 0;
  virtual bool writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) = 0;
  virtual bool remove() = 0;
};

}  // namespace tarn
