#include "stamper/icon_file.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kFileEntrySize = 16;
constexpr uint16_t kIconType = 1;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
const char kPngSignature[] = "\x89PNG\r\n\x1A\n";

bool isPng(const std::string& data) { return data.compare(0, 8, kPngSignature, 8) == 0; }

bool isDib(const std::string& data) {
  uint32_t headerSize = 0;
  return readU32(data, 0, headerSize) && headerSize == kBitmapInfoHeaderSize && data.size() >= kBitmapInfoHeaderSize;
}

}  // namespace

bool parseIconFile(const std::string& bytes, std::vector<IconImage>& images, std::wstring& why) {
  images.clear();
  uint16_t reserved = 0;
  uint16_t type = 0;
  uint16_t count = 0;
  if (!readU16(bytes, 0, reserved) || !readU16(bytes, 2, type) || !readU16(bytes, 4, count)) {
    why = L"too short for an icon header";
    return false;
  }
  if (reserved != 0 || type != kIconType) {
    why = type == 2 && reserved == 0 ? L"it is a cursor file" : L"no icon header";
    return false;
  }
  if (count == 0) {
    why = L"it holds no images";
    return false;
  }
  if (!fitsIn(bytes.size(), kHeaderSize, size_t{count} * kFileEntrySize)) {
    why = L"the file ends inside its list of images";
    return false;
  }
  // Each image is copied, so no byte of the file may belong to two images:
  // what is copied then adds up to at most the file's size.
  std::vector<std::pair<uint32_t, uint32_t>> spans;  // offset and size, image by image
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeaderSize + i * kFileEntrySize;
    uint32_t size = 0;
    uint32_t offset = 0;
    readU32(bytes, entry + 8, size);
    readU32(bytes, entry + 12, offset);
    const std::wstring which = L"image " + unsignedDecimalText(i + 1);
    if (size == 0) {
      why = which + L" is empty";
      return false;
    }
    if (!fitsIn(bytes.size(), offset, size)) {
      why = which + L" lies outside the file";
      return false;
    }
    spans.emplace_back(offset, size);
  }
  std::vector<std::pair<uint32_t, uint32_t>> ordered = spans;
  std::sort(ordered.begin(), ordered.end());
  for (size_t i = 1; i < ordered.size(); ++i) {
    if (uint64_t{ordered[i - 1].first} + ordered[i - 1].second > ordered[i].first) {
      why = L"two of its images share bytes";
      return false;
    }
  }
  std::vector<IconImage> read;
  for (size_t i = 0; i < count; ++i) {
    IconImage image{bytes.substr(kHeaderSize + i * kFileEntrySize, 12), bytes.substr(spans[i].first, spans[i].second)};
    if (!isPng(image.data) && !isDib(image.data)) {
      why = L"image " + unsignedDecimalText(i + 1) + L" is neither a PNG image nor a bitmap with a BITMAPINFOHEADER";
      return false;
    }
    read.push_back(std::move(image));
  }
  images = std::move(read);
  return true;
}

std::string iconGroupDirectory(const std::vector<IconImage>& images, uint16_t firstId) {
  std::string group;
  appendU16(group, 0);
  appendU16(group, kIconType);
  appendU16(group, static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    group += images[i].entry;
    appendU16(group, static_cast<uint16_t>(firstId + i));
  }
  return group;
}

}  // namespace tarn::stamper
