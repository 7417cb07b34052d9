// parseColorText and the registry value check on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/link_color.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::wstring text;
  tarn::colorValueText(data[0] % 4, data + 1, size - 1, text);
  std::wstring raw;
  for (size_t i = 1; i + 1 < size; i += 2) raw.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
  uint32_t color = 0;
  if (tarn::parseColorText(raw, color) && color > 0xFFFFFF) __builtin_trap();
  return 0;
}
