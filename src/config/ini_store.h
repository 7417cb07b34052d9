#pragma once
// The common face of INI reads: a file on disk, INI text parsed into
// memory, or the two layered.

#include <string>

namespace tarn {

class IniStore {
 public:
  virtual ~IniStore() = default;
  // Leaves out as it was when the store has no value for the key, except
  // where the store says otherwise.
  virtual void readString(const std::wstring& section, const std::wstring& key, std::wstring& out) = 0;
};

}  // namespace tarn
