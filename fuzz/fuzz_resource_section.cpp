// The PE reader, the resource section reader and the rebuild on arbitrary
// bytes. The first byte chooses: odd, the rest is a resource section at RVA
// 0x1000; even, the rest is a PE file. Whatever is read must be written so
// that it reads back the same, and a rebuilt file must be a PE file whose
// resources are the ones put in, that rebuilds again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "stamper/pe_image.h"
#include "stamper/pe_writer.h"
#include "stamper/resource_tree.h"

namespace {

using namespace tarn::stamper;

void require(bool condition) {
  if (!condition) std::abort();
}

// The resources of a PE file, or false.
bool readResources(const std::string& file, PeImage& image, ResourceTree& tree) {
  std::wstring why;
  if (!parsePeImage(file, image, why)) return false;
  const int index = resourceSectionIndex(image, why);
  if (index < 0) return false;
  const SectionHeader& section = image.sections[static_cast<size_t>(index)];
  return parseResourceSection(sectionBytes(file, section), section.virtualAddress, tree, why);
}

void checkRoundTrip(const ResourceTree& tree, uint32_t rva) {
  ResourceTree again;
  std::wstring why;
  require(parseResourceSection(serialiseResourceSection(tree, rva), rva, again, why));
  require(again == tree);
}

void checkRebuild(const std::string& file) {
  PeImage image;
  ResourceTree tree;
  if (!readResources(file, image, tree)) return;
  const uint32_t rva = image.directory(kResourceDirectory).address;
  checkRoundTrip(tree, rva);

  const std::string resources = serialiseResourceSection(tree, rva);
  std::string rebuilt;
  RebuildNotes notes;
  std::wstring why;
  if (!rebuildWithResources(file, image, resources, rebuilt, notes, why)) return;
  PeImage rebuiltImage;
  ResourceTree rebuiltTree;
  require(readResources(rebuilt, rebuiltImage, rebuiltTree));
  require(rebuiltTree == tree);
  require(rebuiltImage.checksum == peChecksum(rebuilt, rebuiltImage.checksumOffset()));
  require(rebuiltImage.directory(kCertificateDirectory).empty());

  std::string twice;
  require(rebuildWithResources(rebuilt, rebuiltImage, resources, twice, notes, why));
  require(twice == rebuilt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    ResourceTree tree;
    std::wstring why;
    if (parseResourceSection(bytes, 0x1000, tree, why)) checkRoundTrip(tree, 0x1000);
  } else {
    checkRebuild(bytes);
  }
  return 0;
}
