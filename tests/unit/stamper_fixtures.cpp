#include "unit/stamper_fixtures.h"

#include "stamper/byte_order.h"
#include "stamper/pe_image.h"

namespace tarn::test {
namespace {

using namespace stamper;

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kHeadersSize = 0x400;

ResourceName id(uint32_t value) { return ResourceName::number(value); }

void putResource(ResourceTree& tree, const ResourceName& type, const ResourceName& name, uint32_t language,
                 const std::string& bytes) {
  tree[type][name][id(language)] = resourceData(bytes);
}

}  // namespace

ResourceData resourceData(const std::string& bytes) { return ResourceData{bytes, 0}; }

ResourceTree PeFixture::launcherResources() {
  ResourceTree tree;
  putResource(tree, id(kRtIcon), id(1), kEnglishUnitedStates, std::string("\x28\0\0\0old icon one", 16));
  putResource(tree, id(kRtIcon), id(2), kEnglishUnitedStates, std::string("\x28\0\0\0old icon two", 16));
  putResource(tree, id(kRtGroupIcon), id(1), kEnglishUnitedStates, "old group");
  putResource(tree, id(kRtVersion), id(1), kEnglishUnitedStates, "old version");
  putResource(tree, id(kRtManifest), id(1), 2057, "<old manifest/>");
  putResource(tree, id(kRtRcData), id(8001), kEnglishUnitedStates, "Tarn launcher");
  putResource(tree, id(kRtString), id(1), kEnglishUnitedStates, std::string("\0\0\x03\0s\0t\0r\0", 10));
  putResource(tree, id(5), id(201), kEnglishUnitedStates, "dialog 201");
  putResource(tree, id(5), id(231), kEnglishUnitedStates, "dialog 231");
  putResource(tree, ResourceName::string(u"CUSTOM"), ResourceName::string(u"DATA"), 0, "custom data");
  return tree;
}

FixtureSection PeFixture::relocationSection(bool pe32Plus, uint32_t page) {
  std::string block;
  appendU32(block, page);
  appendU32(block, 12);
  appendU16(block, static_cast<uint16_t>((pe32Plus ? 0xA000 : 0x3000) | 0x010));
  appendU16(block, 0);  // padding entry
  return FixtureSection{".reloc", kRelocationCharacteristics, block};
}

std::string buildPe(const PeFixture& fixture) {
  std::vector<FixtureSection> sections;
  std::string code;
  for (int i = 0; i < 0x180; ++i) code += static_cast<char>(i * 7 + 3);
  sections.push_back(FixtureSection{".text", kCodeCharacteristics, code});
  const std::string resources = fixture.rawResources.empty()
                                    ? serialiseResourceSection(fixture.resources, kFixtureResourceRva)
                                    : fixture.rawResources;
  sections.push_back(FixtureSection{".rsrc", kWritableDataCharacteristics, resources});
  for (const FixtureSection& section : fixture.after) sections.push_back(section);

  const size_t optionalSize = fixture.pe32Plus ? 240 : 224;
  std::string file(kHeadersSize, '\0');
  file[0] = 'M';
  file[1] = 'Z';
  putU32(file, 0x3C, 0x80);
  file.replace(0x80, 4, std::string("PE\0\0", 4));
  const size_t header = 0x84;
  putU16(file, header, fixture.pe32Plus ? 0x8664 : 0x14C);
  putU16(file, header + 2, static_cast<uint16_t>(sections.size()));
  putU16(file, header + 16, static_cast<uint16_t>(optionalSize));
  putU16(file, header + 18, 0x0022);  // executable, large address aware
  const size_t optional = header + 20;
  putU16(file, optional, fixture.pe32Plus ? 0x20B : 0x10B);
  putU32(file, optional + 16, kFixtureCodeRva);  // entry point
  putU32(file, optional + 32, kSectionAlignment);
  putU32(file, optional + 36, kFileAlignment);
  putU16(file, optional + 48, 6);  // subsystem version
  putU32(file, optional + 60, kHeadersSize);
  putU16(file, optional + 68, 3);  // console
  putU32(file, optional + (fixture.pe32Plus ? 108 : 92), 16);
  const size_t directories = optional + (fixture.pe32Plus ? 112 : 96);
  const size_t table = optional + optionalSize;

  uint32_t rva = kFixtureCodeRva;
  uint32_t initialized = 0;
  for (size_t i = 0; i < sections.size(); ++i) {
    const FixtureSection& section = sections[i];
    const size_t at = table + 40 * i;
    const uint32_t raw = static_cast<uint32_t>(alignUp(section.bytes.size(), kFileAlignment));
    file.replace(at, section.name.size(), section.name);
    putU32(file, at + 8, static_cast<uint32_t>(section.bytes.size()));
    putU32(file, at + 12, rva);
    putU32(file, at + 16, raw);
    putU32(file, at + 20, static_cast<uint32_t>(file.size()));
    putU32(file, at + 36, section.characteristics);
    if (section.name == ".rsrc") {
      putU32(file, directories + 8 * kResourceDirectory, rva);
      putU32(file, directories + 8 * kResourceDirectory + 4, static_cast<uint32_t>(section.bytes.size()));
    }
    if (section.name == ".reloc") {
      putU32(file, directories + 8 * kBaseRelocationDirectory, rva);
      putU32(file, directories + 8 * kBaseRelocationDirectory + 4, static_cast<uint32_t>(section.bytes.size()));
    }
    if (section.characteristics & kSectionInitializedData) initialized += raw;
    file += section.bytes;
    padTo(file, kFileAlignment);
    rva += static_cast<uint32_t>(alignUp(section.bytes.size(), kSectionAlignment));
  }
  putU32(file, optional + 8, initialized);
  putU32(file, optional + 56, rva);  // size of image
  if (fixture.symbolTableInTrailing) putU32(file, header + 8, static_cast<uint32_t>(file.size()));
  file += fixture.trailing;
  if (!fixture.certificate.empty()) {
    padTo(file, 8);
    putU32(file, directories + 8 * kCertificateDirectory, static_cast<uint32_t>(file.size()));
    putU32(file, directories + 8 * kCertificateDirectory + 4, static_cast<uint32_t>(fixture.certificate.size()));
    file += fixture.certificate;
  }
  putU32(file, optional + 64, referenceChecksum(file, optional + 64));
  return file;
}

ResourceTree resourcesOf(const std::string& file) {
  PeImage image;
  std::wstring why;
  ResourceTree tree;
  if (!parsePeImage(file, image, why)) return tree;
  for (const SectionHeader& section : image.sections) {
    if (section.virtualAddress != image.directory(kResourceDirectory).address) continue;
    if (!parseResourceSection(sectionBytes(file, section), section.virtualAddress, tree, why)) tree.clear();
  }
  return tree;
}

uint32_t referenceChecksum(const std::string& file, size_t checksumOffset) {
  std::string copy = file;
  putU32(copy, checksumOffset, 0);
  if (copy.size() % 2 != 0) copy += '\0';
  uint64_t sum = 0;
  for (size_t i = 0; i < copy.size(); i += 2) {
    sum += static_cast<unsigned char>(copy[i]) + 256u * static_cast<unsigned char>(copy[i + 1]);
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

namespace {

// One block of a version resource: wLength, wValueLength, wType, a
// NUL-ended UTF-16 key, padding to 4, the value, padding, the children.
struct VersionBlock {
  std::u16string key;
  std::string value;  // as bytes; for text (wType 1) wValueLength counts units
  std::vector<VersionBlock> children;
};

bool readBlock(const std::string& bytes, size_t at, size_t& end, VersionBlock& block) {
  uint16_t length = 0;
  uint16_t valueLength = 0;
  uint16_t type = 0;
  if (!readU16(bytes, at, length) || !readU16(bytes, at + 2, valueLength) || !readU16(bytes, at + 4, type)) {
    return false;
  }
  end = at + length;
  if (length < 6 || end > bytes.size()) return false;
  size_t cursor = at + 6;
  for (;;) {
    uint16_t unit = 0;
    if (cursor + 2 > end || !readU16(bytes, cursor, unit)) return false;
    cursor += 2;
    if (unit == 0) break;
    block.key += static_cast<char16_t>(unit);
  }
  cursor = alignUp(cursor - at, 4) + at;
  const size_t valueBytes = type == 1 ? 2u * valueLength : valueLength;
  if (cursor + valueBytes > end) return false;
  block.value = bytes.substr(cursor, valueBytes);
  cursor = alignUp(cursor + valueBytes - at, 4) + at;
  while (cursor < end) {
    VersionBlock child;
    size_t childEnd = 0;
    if (!readBlock(bytes, cursor, childEnd, child)) return false;
    block.children.push_back(std::move(child));
    cursor = alignUp(childEnd - at, 4) + at;
  }
  return true;
}

}  // namespace

VersionRead readVersionResource(const std::string& bytes) {
  VersionRead read;
  VersionBlock root;
  size_t end = 0;
  uint32_t signature = 0;
  if (!readBlock(bytes, 0, end, root) || root.key != u"VS_VERSION_INFO" || root.value.size() != 52 ||
      !readU32(root.value, 0, signature) || signature != 0xFEEF04BD) {
    return read;
  }
  readU32(root.value, 8, read.fileVersion[0]);
  readU32(root.value, 12, read.fileVersion[1]);
  readU32(root.value, 16, read.productVersion[0]);
  readU32(root.value, 20, read.productVersion[1]);
  for (const VersionBlock& info : root.children) {
    if (info.key != u"StringFileInfo" || info.children.empty()) continue;
    for (const VersionBlock& string : info.children[0].children) {
      std::u16string value;
      for (size_t i = 0; i + 1 < string.value.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(string.value[i]) |
                                                    static_cast<unsigned char>(string.value[i + 1]) << 8);
        if (unit == 0) break;
        value += unit;
      }
      read.strings.emplace_back(string.key, value);
    }
  }
  read.ok = true;
  return read;
}

std::string iconFile(const std::vector<std::string>& images) {
  std::string file;
  appendU16(file, 0);
  appendU16(file, 1);
  appendU16(file, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    file += static_cast<char>(16 * (i + 1));  // width
    file += static_cast<char>(16 * (i + 1));  // height
    file += '\0';                             // colours
    file += '\0';
    appendU16(file, 1);   // planes
    appendU16(file, 32);  // bits
    appendU32(file, static_cast<uint32_t>(images[i].size()));
    appendU32(file, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& image : images) file += image;
  return file;
}

}  // namespace tarn::test
