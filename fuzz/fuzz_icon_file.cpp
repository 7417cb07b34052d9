// The icon file reader on arbitrary bytes: it reads nothing outside the
// input (the sanitizers watch), and what it accepts makes a group directory
// that lists every image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "stamper/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<tarn::stamper::IconImage> images;
  std::wstring why;
  if (!tarn::stamper::parseIconFile(bytes, images, why)) {
    if (why.empty() || !images.empty()) std::abort();
    return 0;
  }
  if (images.empty()) std::abort();
  for (const tarn::stamper::IconImage& image : images) {
    if (image.entry.size() != 12 || image.data.empty() || image.data.size() > size) std::abort();
  }
  if (tarn::stamper::iconGroupDirectory(images, 1).size() != 6 + 14 * images.size()) std::abort();
  return 0;
}
