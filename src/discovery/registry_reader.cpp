#include "discovery/registry_reader.h"

#include "base/text.h"

namespace tarn {

std::wstring javaHomeText(const std::vector<uint8_t>& data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    units += unit;
  }
  // The units go to the file system as they are, unpaired surrogates too.
  return fromUtf16(units, UnpairedSurrogates::KeepWherePossible);
}

}  // namespace tarn
