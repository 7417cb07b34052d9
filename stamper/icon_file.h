#pragma once
// An .ico file taken apart into the pieces of a resource icon: one RT_ICON
// per image and the RT_GROUP_ICON directory that lists them.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::stamper {

struct IconImage {
  // The directory entry's first 12 bytes (size, colours, planes, bit count,
  // image size), as the file holds them.
  std::string entry;
  std::string data;  // a PNG file or a DIB (BITMAPINFOHEADER, pixels, mask)
};

// False, with the reason, unless the bytes are an icon file (type 1) with
// at least one image, every image inside the file, no two sharing a byte,
// and each a PNG or a DIB; images is empty then.
bool parseIconFile(const std::string& bytes, std::vector<IconImage>& images, std::wstring& why);

// The RT_GROUP_ICON data for the images stored as RT_ICON ids firstId,
// firstId + 1, ...
std::string iconGroupDirectory(const std::vector<IconImage>& images, uint16_t firstId);

}  // namespace tarn::stamper
