// Written by hand rather than with a PE library: the tool is built for Linux
// and Windows alike, and the library that Debian ships is old and has no
// Windows build.
#include "stamper/pe_writer.h"

#include <algorithm>

#include "base/text.h"
#include "stamper/byte_order.h"

namespace tarn::stamper {
namespace {

constexpr size_t kDebugEntrySize = 28;

const wchar_t* directoryName(size_t index) {
  static const wchar_t* const kNames[] = {
      L"export",         L"import",       L"resource",       L"exception", L"certificate",        L"base relocation",
      L"debug",          L"architecture", L"global pointer", L"TLS",       L"load configuration", L"bound import",
      L"import address", L"delay import", L"CLR runtime",    L"reserved"};
  return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : L"unknown";
}

std::wstring sectionName(const SectionHeader& section) { return fromUtf8(section.name); }

// Relocations are copied as they are, so none may apply to anything that moves.
bool relocationsStayBelow(const std::string& file, const PeImage& image, uint32_t limit, std::wstring& why) {
  const DataDirectory directory = image.directory(kBaseRelocationDirectory);
  if (directory.size == 0) return true;
  size_t start = 0;
  if (!image.fileOffsetOf(directory.address, directory.size, start)) {
    why = L"the base relocation directory lies outside its section's data";
    return false;
  }
  for (size_t at = 0; directory.size - at >= 8;) {
    uint32_t page = 0;
    uint32_t blockSize = 0;
    readU32(file, start + at, page);
    readU32(file, start + at + 4, blockSize);
    if (blockSize < 8 || blockSize > directory.size - at) {
      why = L"a base relocation block is malformed";
      return false;
    }
    for (size_t entry = 8; entry + 2 <= blockSize; entry += 2) {
      uint16_t value = 0;
      readU16(file, start + at + entry, value);
      if ((value >> 12) != 0 && uint64_t{page} + (value & 0xFFF) >= limit) {
        why = L"a base relocation applies to the resource section or a section after it";
        return false;
      }
    }
    at += blockSize;
  }
  return true;
}

// Debug data is found by its RVA and file offset, which must not move.
bool debugDataStaysBefore(const std::string& file, const PeImage& image, const SectionHeader& resources,
                          std::wstring& why) {
  const DataDirectory directory = image.directory(kDebugDirectory);
  if (directory.size == 0) return true;
  size_t start = 0;
  if (!image.fileOffsetOf(directory.address, directory.size, start)) {
    why = L"the debug directory lies outside its section's data";
    return false;
  }
  for (size_t at = 0; directory.size - at >= kDebugEntrySize; at += kDebugEntrySize) {
    uint32_t size = 0;
    uint32_t address = 0;
    uint32_t pointer = 0;
    readU32(file, start + at + 16, size);
    readU32(file, start + at + 20, address);
    readU32(file, start + at + 24, pointer);
    if (size == 0) continue;
    if ((address != 0 && uint64_t{address} + size > resources.virtualAddress) ||
        (pointer != 0 && uint64_t{pointer} + size > resources.pointerToRawData)) {
      why = L"debug data lies in or after the resource section";
      return false;
    }
  }
  return true;
}

}  // namespace

int resourceSectionIndex(const PeImage& image, std::wstring& why) {
  const DataDirectory directory = image.directory(kResourceDirectory);
  if (directory.address == 0) {
    why = L"it has no resources";
    return -1;
  }
  for (size_t i = 0; i < image.sections.size(); ++i) {
    if (image.sections[i].virtualAddress == directory.address && image.sections[i].sizeOfRawData != 0) {
      return static_cast<int>(i);
    }
  }
  why = L"the resource directory does not begin a section";
  return -1;
}

bool rebuildWithResources(const std::string& file, const PeImage& image, const std::string& resources, std::string& out,
                          RebuildNotes& notes, std::wstring& why) {
  notes = RebuildNotes{};
  auto refuse = [&why](std::wstring reason) {
    why = std::move(reason);
    return false;
  };
  const int found = resourceSectionIndex(image, why);
  if (found < 0) return false;
  const size_t resourceIndex = static_cast<size_t>(found);
  const SectionHeader& rsrc = image.sections[resourceIndex];
  const uint32_t fileAlignment = image.fileAlignment;
  const uint32_t sectionAlignment = image.sectionAlignment;
  if (rsrc.pointerToRawData % fileAlignment != 0 || rsrc.sizeOfRawData % fileAlignment != 0) {
    return refuse(L"the resource section is not aligned to the file alignment");
  }
  // The header fields the rebuild writes all lie before the section table's end.
  if (rsrc.pointerToRawData < image.sizeOfHeaders ||
      rsrc.pointerToRawData < image.sectionHeaderOffset(image.sections.size())) {
    return refuse(L"the resource section overlaps the headers");
  }

  const uint64_t oldFileEnd = uint64_t{rsrc.pointerToRawData} + rsrc.sizeOfRawData;
  const uint64_t oldMemoryEnd = alignUp(uint64_t{rsrc.virtualAddress} + rsrc.memorySize(), sectionAlignment);
  uint64_t sectionsEnd = oldFileEnd;
  for (size_t i = 0; i < image.sections.size(); ++i) {
    if (i == resourceIndex) continue;
    const SectionHeader& section = image.sections[i];
    const bool hasData = section.sizeOfRawData != 0;
    if (i < resourceIndex) {
      if (uint64_t{section.virtualAddress} + section.memorySize() > rsrc.virtualAddress ||
          (hasData && uint64_t{section.pointerToRawData} + section.sizeOfRawData > rsrc.pointerToRawData)) {
        return refuse(L"section " + sectionName(section) +
                      L" comes before the resource section in the table but not in the file or in memory");
      }
    } else {
      if (section.virtualAddress < oldMemoryEnd || (hasData && section.pointerToRawData < oldFileEnd)) {
        return refuse(L"section " + sectionName(section) + L" overlaps the resource section");
      }
      if ((section.characteristics & kSectionDiscardable) == 0) {
        return refuse(L"section " + sectionName(section) +
                      L" follows the resource section and is not discardable (only base relocations and debug "
                      L"information can be moved)");
      }
    }
    if (hasData) sectionsEnd = std::max(sectionsEnd, uint64_t{section.pointerToRawData} + section.sizeOfRawData);
  }

  for (size_t i = 0; i < image.directories.size(); ++i) {
    const DataDirectory directory = image.directories[i];
    if (directory.empty() || i == kResourceDirectory || i == kCertificateDirectory) continue;
    if (uint64_t{directory.address} + directory.size <= rsrc.virtualAddress) continue;
    if (i == kBaseRelocationDirectory && image.sectionAt(directory.address) > found) continue;
    return refuse(L"the " + std::wstring(directoryName(i)) + L" directory lies in or after the resource section");
  }
  if (!relocationsStayBelow(file, image, rsrc.virtualAddress, why)) return false;
  if (!debugDataStaysBefore(file, image, rsrc, why)) return false;

  const DataDirectory certificate = image.directory(kCertificateDirectory);
  const uint64_t certificateStart = certificate.address;
  const uint64_t certificateEnd = certificateStart + certificate.size;
  if (!certificate.empty()) {
    if (certificateStart < sectionsEnd || certificateEnd > file.size()) {
      return refuse(L"the certificate table does not lie after the sections");
    }
    notes.certificateDropped = true;
  }
  const uint64_t symbols = image.pointerToSymbolTable;
  const bool symbolsMove = symbols >= sectionsEnd;
  if (symbolsMove && symbols >= certificateStart && symbols < certificateEnd) {
    return refuse(L"the COFF symbol table lies inside the certificate table");
  }
  if (symbols >= rsrc.pointerToRawData && !symbolsMove) {
    return refuse(L"the COFF symbol table lies inside the resource section or a section after it");
  }

  const uint64_t newSize = resources.size();
  const uint64_t newRawSize = alignUp(newSize, fileAlignment);
  const int64_t fileShift = static_cast<int64_t>(newRawSize) - static_cast<int64_t>(rsrc.sizeOfRawData);
  const int64_t memoryShift = static_cast<int64_t>(alignUp(uint64_t{rsrc.virtualAddress} + newSize, sectionAlignment)) -
                              static_cast<int64_t>(oldMemoryEnd);
  const uint64_t lastAddress = uint64_t{image.sections.back().virtualAddress} + image.sections.back().memorySize();
  if (static_cast<int64_t>(file.size()) + fileShift > 0xFFFFFFFFll ||
      static_cast<int64_t>(lastAddress) + memoryShift > 0x7FFFFFFFll) {
    return refuse(L"the new resources make the file too large");
  }

  out.assign(file, 0, rsrc.pointerToRawData);
  out += resources;
  out.resize(rsrc.pointerToRawData + newRawSize, '\0');
  out.append(file, oldFileEnd, sectionsEnd - oldFileEnd);
  if (certificate.empty()) {
    out.append(file, sectionsEnd, std::string::npos);
  } else {
    out.append(file, sectionsEnd, certificateStart - sectionsEnd);
    out.append(file, certificateEnd, std::string::npos);
  }

  // The headers.
  auto shifted = [](uint64_t value, int64_t shift) {
    return static_cast<uint32_t>(static_cast<int64_t>(value) + shift);
  };
  uint64_t imageEnd = alignUp(image.sizeOfHeaders, sectionAlignment);
  for (size_t i = 0; i < image.sections.size(); ++i) {
    SectionHeader section = image.sections[i];
    const size_t header = image.sectionHeaderOffset(i);
    if (i == resourceIndex) {
      section.virtualSize = static_cast<uint32_t>(newSize);
      section.sizeOfRawData = static_cast<uint32_t>(newRawSize);
      putU32(out, header + 8, section.virtualSize);
      putU32(out, header + 16, section.sizeOfRawData);
    } else if (i > resourceIndex) {
      section.virtualAddress = shifted(section.virtualAddress, memoryShift);
      putU32(out, header + 12, section.virtualAddress);
      if (section.sizeOfRawData != 0) putU32(out, header + 20, shifted(section.pointerToRawData, fileShift));
    }
    imageEnd = std::max(imageEnd, section.virtualAddress + alignUp(section.memorySize(), sectionAlignment));
  }
  putU32(out, image.directoryOffset(kResourceDirectory) + 4, static_cast<uint32_t>(newSize));
  const DataDirectory relocations = image.directory(kBaseRelocationDirectory);
  if (!relocations.empty() && relocations.address >= rsrc.virtualAddress) {
    putU32(out, image.directoryOffset(kBaseRelocationDirectory), shifted(relocations.address, memoryShift));
  }
  if (!certificate.empty()) {
    putU32(out, image.directoryOffset(kCertificateDirectory), 0);
    putU32(out, image.directoryOffset(kCertificateDirectory) + 4, 0);
  }
  if (symbols != 0 && symbolsMove) {
    uint64_t moved = symbols + fileShift;
    if (!certificate.empty() && symbols >= certificateEnd) moved -= certificate.size;
    putU32(out, image.pointerToSymbolTableOffset(), static_cast<uint32_t>(moved));
  }
  putU32(out, image.sizeOfImageOffset(), static_cast<uint32_t>(imageEnd));
  if ((rsrc.characteristics & kSectionInitializedData) != 0) {
    const int64_t initialized = int64_t{image.sizeOfInitializedData} + fileShift;
    putU32(out, image.sizeOfInitializedDataOffset(), static_cast<uint32_t>(std::max<int64_t>(initialized, 0)));
  }
  putU32(out, image.checksumOffset(), peChecksum(out, image.checksumOffset()));
  return true;
}

}  // namespace tarn::stamper
