#pragma once
// The headers of a PE file (PE32 and PE32+) read from its bytes: the file
// header, the optional header's fields that a rebuild touches, the data
// directories and the section table. Every read is checked against the
// file's size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn::stamper {

enum DataDirectoryIndex : size_t {
  kResourceDirectory = 2,
  kCertificateDirectory = 4,  // its address is a file offset, not an RVA
  kBaseRelocationDirectory = 5,
  kDebugDirectory = 6,
};

// IMAGE_SCN_* bits the rebuild looks at.
constexpr uint32_t kSectionInitializedData = 0x00000040;
constexpr uint32_t kSectionDiscardable = 0x02000000;

struct DataDirectory {
  uint32_t address = 0;
  uint32_t size = 0;
  bool empty() const { return address == 0 && size == 0; }
};

struct SectionHeader {
  // As the header holds it; a long name ("/4") is looked up in the COFF
  // string table when the file has one (up to 255 bytes; a longer one is
  // left as "/4").
  std::string name;
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t sizeOfRawData = 0;
  uint32_t pointerToRawData = 0;
  uint32_t characteristics = 0;

  // What the loader maps: the virtual size, or the raw size when that is 0.
  uint32_t memorySize() const { return virtualSize != 0 ? virtualSize : sizeOfRawData; }
};

struct PeImage {
  bool pe32Plus = false;
  size_t fileHeaderOffset = 0;  // the COFF file header, after "PE\0\0"
  size_t optionalHeaderOffset = 0;
  size_t sectionTableOffset = 0;
  uint32_t pointerToSymbolTable = 0;
  uint32_t numberOfSymbols = 0;
  uint32_t sizeOfInitializedData = 0;
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t checksum = 0;
  std::vector<DataDirectory> directories;  // at most 16
  std::vector<SectionHeader> sections;

  // Where the fields that a rebuild changes lie in the file.
  size_t pointerToSymbolTableOffset() const { return fileHeaderOffset + 8; }
  size_t sizeOfInitializedDataOffset() const { return optionalHeaderOffset + 8; }
  size_t sizeOfImageOffset() const { return optionalHeaderOffset + 56; }
  size_t checksumOffset() const { return optionalHeaderOffset + 64; }
  size_t directoryOffset(size_t index) const { return optionalHeaderOffset + (pe32Plus ? 112 : 96) + 8 * index; }
  size_t sectionHeaderOffset(size_t index) const { return sectionTableOffset + 40 * index; }

  // The directory, or an empty one when the header has fewer entries.
  DataDirectory directory(size_t index) const;
  // The index of the section whose mapped span holds the RVA, or -1.
  int sectionAt(uint32_t rva) const;
  // The file offset of the bytes at an RVA inside a section's raw data, or
  // false when no section's raw data holds them.
  bool fileOffsetOf(uint32_t rva, uint32_t length, size_t& offset) const;
};

// False, with the reason, when the bytes are not a PE image this reader
// understands.
bool parsePeImage(const std::string& bytes, PeImage& image, std::wstring& why);

// The section's bytes as the loader sees them: its raw data, cut to its
// virtual size when that is smaller.
std::string sectionBytes(const std::string& file, const SectionHeader& section);

// The PE checksum: the file as little-endian 16-bit words (a final odd byte
// padded with zero), the checksum field taken as 0, added with the carries
// folded back in, plus the file's length.
uint32_t peChecksum(const std::string& bytes, size_t checksumOffset);

}  // namespace tarn::stamper
