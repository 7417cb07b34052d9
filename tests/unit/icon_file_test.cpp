#include "stamper/icon_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "stamper/byte_order.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + "rest of a png";

std::string dib() {
  std::string bytes;
  appendU32(bytes, 40);  // BITMAPINFOHEADER
  bytes += std::string(36, '\x01');
  return bytes + "pixels";
}

TEST(IconFile, TakesPngAndBitmapImages) {
  const std::string file = test::iconFile({kPng, dib()});
  std::vector<IconImage> images;
  std::wstring why;
  ASSERT_TRUE(parseIconFile(file, images, why));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].data, kPng);
  EXPECT_EQ(images[1].data, dib());
  EXPECT_EQ(images[0].entry, file.substr(6, 12));
  EXPECT_EQ(images[1].entry, file.substr(22, 12));

  // The group directory: the file's header, then each entry's first 12
  // bytes with the image's resource id.
  const std::string group = iconGroupDirectory(images, 1);
  ASSERT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(group.substr(0, 6), file.substr(0, 6));
  EXPECT_EQ(group.substr(6, 12), file.substr(6, 12));
  EXPECT_EQ(group.substr(18, 2), std::string("\1\0", 2));
  EXPECT_EQ(group.substr(20, 12), file.substr(22, 12));
  EXPECT_EQ(group.substr(32, 2), std::string("\2\0", 2));
}

TEST(IconFile, RefusesWhatIsNoIcon) {
  const std::string good = test::iconFile({kPng, dib()});
  const struct {
    const char* name;
    std::function<void(std::string&)> breakIt;
    const wchar_t* why;
  } cases[] = {
      {"empty file", [](std::string& f) { f.clear(); }, L"too short for an icon header"},
      {"five bytes", [](std::string& f) { f.resize(5); }, L"too short for an icon header"},
      {"a bitmap file", [](std::string& f) { f = "BM" + f; }, L"no icon header"},
      {"reserved field set", [](std::string& f) { putU16(f, 0, 1); }, L"no icon header"},
      {"a cursor", [](std::string& f) { putU16(f, 2, 2); }, L"it is a cursor file"},
      {"no images", [](std::string& f) { putU16(f, 4, 0); }, L"it holds no images"},
      {"more entries than the file holds", [](std::string& f) { putU16(f, 4, 200); }, L"ends inside its list"},
      {"image past the end", [](std::string& f) { putU32(f, 6 + 16 + 8, 1000); }, L"image 2 lies outside the file"},
      {"image offset past the end", [](std::string& f) { putU32(f, 6 + 12, 0xFFFFFFF0); },
       L"image 1 lies outside the file"},
      {"empty image", [](std::string& f) { putU32(f, 6 + 8, 0); }, L"image 1 is empty"},
      // Each image is copied: images that overlap could make a small file
      // read as many times its size.
      {"two entries for one image", [](std::string& f) { f.replace(6 + 16 + 8, 8, f.substr(6 + 8, 8)); },
       L"two of its images share bytes"},
      {"an image inside another", [](std::string& f) { putU32(f, 6 + 16 + 12, 38 + 1); },
       L"two of its images share bytes"},
      {"image of neither kind", [](std::string& f) { f[38] = 'X'; }, L"image 1 is neither a PNG"},
      {"a BITMAPV5HEADER", [](std::string& f) { putU32(f, 38 + kPng.size(), 124); }, L"image 2 is neither a PNG"},
      {"a DIB cut inside its header", [](std::string& f) { putU32(f, 6 + 16 + 8, 20); }, L"image 2 is neither a PNG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = good;
    c.breakIt(file);
    std::vector<IconImage> images;
    std::wstring why;
    EXPECT_FALSE(parseIconFile(file, images, why));
    EXPECT_NE(why.find(c.why), std::wstring::npos) << std::string(why.begin(), why.end());
    EXPECT_TRUE(images.empty());
  }
}

}  // namespace
}  // namespace tarn::stamper
