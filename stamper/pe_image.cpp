#include "stamper/pe_image.h"

#include "base/text.h"
#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kMaxDirectories = 16;
constexpr size_t kCoffSymbolSize = 18;
constexpr size_t kLongestSectionName = 255;

bool isPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// "/123" names the string at that offset in the COFF string table.
std::string longSectionName(const std::string& bytes, const PeImage& image, const std::string& shortName) {
  if (shortName.size() < 2 || shortName[0] != '/' || image.pointerToSymbolTable == 0) return shortName;
  uint64_t offset = 0;
  for (size_t i = 1; i < shortName.size(); ++i) {
    if (shortName[i] < '0' || shortName[i] > '9') return shortName;
    offset = offset * 10 + static_cast<uint64_t>(shortName[i] - '0');
  }
  const uint64_t table =
      static_cast<uint64_t>(image.pointerToSymbolTable) + kCoffSymbolSize * uint64_t{image.numberOfSymbols};
  const uint64_t start = table + offset;
  if (offset < 4 || start >= bytes.size()) return shortName;
  // Every section may name the same string: a cap keeps the time and the
  // memory the names take proportional to the section table.
  const std::string window = bytes.substr(static_cast<size_t>(start), kLongestSectionName + 1);
  const size_t end = window.find('\0');
  if (end == std::string::npos) return shortName;
  return window.substr(0, end);
}

}  // namespace

DataDirectory PeImage::directory(size_t index) const {
  return index < directories.size() ? directories[index] : DataDirectory{};
}

int PeImage::sectionAt(uint32_t rva) const {
  for (size_t i = 0; i < sections.size(); ++i) {
    const SectionHeader& section = sections[i];
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.memorySize()) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool PeImage::fileOffsetOf(uint32_t rva, uint32_t length, size_t& offset) const {
  const int index = sectionAt(rva);
  if (index < 0) return false;
  const SectionHeader& section = sections[static_cast<size_t>(index)];
  const uint32_t within = rva - section.virtualAddress;
  if (!fitsIn(section.sizeOfRawData, within, length)) return false;
  offset = static_cast<size_t>(section.pointerToRawData) + within;
  return true;
}

bool parsePeImage(const std::string& bytes, PeImage& image, std::wstring& why) {
  image = PeImage{};
  if (bytes.size() < 64) {
    why = L"too short for a DOS header";
    return false;
  }
  if (bytes[0] != 'M' || bytes[1] != 'Z') {
    why = L"no MZ signature";
    return false;
  }
  uint32_t peOffset = 0;
  readU32(bytes, 0x3C, peOffset);
  if (!fitsIn(bytes.size(), peOffset, 24)) {
    why = L"the PE header offset points outside the file";
    return false;
  }
  if (bytes.compare(peOffset, 4, std::string("PE\0\0", 4)) != 0) {
    why = L"no PE signature";
    return false;
  }
  image.fileHeaderOffset = peOffset + 4;
  const size_t fileHeader = image.fileHeaderOffset;
  uint16_t sectionCount = 0;
  uint16_t optionalHeaderSize = 0;
  readU16(bytes, fileHeader + 2, sectionCount);
  readU32(bytes, fileHeader + 8, image.pointerToSymbolTable);
  readU32(bytes, fileHeader + 12, image.numberOfSymbols);
  readU16(bytes, fileHeader + 16, optionalHeaderSize);
  image.optionalHeaderOffset = fileHeader + 20;
  const size_t optional = image.optionalHeaderOffset;

  uint16_t magic = 0;
  if (!readU16(bytes, optional, magic)) {
    why = L"the file ends inside the optional header";
    return false;
  }
  if (magic != kPe32Magic && magic != kPe32PlusMagic) {
    why = L"the optional header is neither PE32 nor PE32+";
    return false;
  }
  image.pe32Plus = magic == kPe32PlusMagic;
  const size_t fixedSize = image.pe32Plus ? 112 : 96;
  uint32_t directoryCount = 0;
  if (optionalHeaderSize < fixedSize || !fitsIn(bytes.size(), optional, optionalHeaderSize) ||
      !readU32(bytes, optional + fixedSize - 4, directoryCount)) {
    why = L"the optional header is cut short";
    return false;
  }
  if (directoryCount > kMaxDirectories) directoryCount = kMaxDirectories;
  if (optionalHeaderSize < fixedSize + 8 * directoryCount) {
    why = L"the optional header is too small for its data directories";
    return false;
  }
  readU32(bytes, optional + 8, image.sizeOfInitializedData);
  readU32(bytes, optional + 32, image.sectionAlignment);
  readU32(bytes, optional + 36, image.fileAlignment);
  readU32(bytes, optional + 56, image.sizeOfImage);
  readU32(bytes, optional + 60, image.sizeOfHeaders);
  readU32(bytes, optional + 64, image.checksum);
  if (!isPowerOfTwo(image.fileAlignment) || image.fileAlignment > 0x10000 || !isPowerOfTwo(image.sectionAlignment) ||
      image.sectionAlignment < image.fileAlignment) {
    why = L"its section and file alignments are not powers of two with the file alignment the smaller";
    return false;
  }
  for (size_t i = 0; i < directoryCount; ++i) {
    DataDirectory directory;
    readU32(bytes, image.directoryOffset(i), directory.address);
    readU32(bytes, image.directoryOffset(i) + 4, directory.size);
    image.directories.push_back(directory);
  }

  image.sectionTableOffset = optional + optionalHeaderSize;
  if (!fitsIn(bytes.size(), image.sectionTableOffset, 40 * size_t{sectionCount})) {
    why = L"the section table lies outside the file";
    return false;
  }
  for (size_t i = 0; i < sectionCount; ++i) {
    const size_t at = image.sectionHeaderOffset(i);
    SectionHeader section;
    std::string name = bytes.substr(at, 8);
    section.name = name.substr(0, name.find('\0'));
    readU32(bytes, at + 8, section.virtualSize);
    readU32(bytes, at + 12, section.virtualAddress);
    readU32(bytes, at + 16, section.sizeOfRawData);
    readU32(bytes, at + 20, section.pointerToRawData);
    readU32(bytes, at + 36, section.characteristics);
    section.name = longSectionName(bytes, image, section.name);
    if (section.sizeOfRawData != 0 && !fitsIn(bytes.size(), section.pointerToRawData, section.sizeOfRawData)) {
      why = L"section " + fromUtf8(section.name) + L" lies outside the file";
      return false;
    }
    image.sections.push_back(section);
  }
  return true;
}

std::string sectionBytes(const std::string& file, const SectionHeader& section) {
  uint32_t size = section.sizeOfRawData;
  if (section.virtualSize != 0 && section.virtualSize < size) size = section.virtualSize;
  if (size == 0) return std::string();
  return file.substr(section.pointerToRawData, size);
}

uint32_t peChecksum(const std::string& bytes, size_t checksumOffset) {
  auto byteAt = [&](size_t i) -> uint32_t {
    if (i >= bytes.size() || (i >= checksumOffset && i - checksumOffset < 4)) return 0;
    return static_cast<unsigned char>(bytes[i]);
  };
  uint32_t sum = 0;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    sum += byteAt(i) | byteAt(i + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return sum + static_cast<uint32_t>(bytes.size());
}

}  // namespace tarn::stamper
