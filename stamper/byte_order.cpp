#include "stamper/byte_order.h"

namespace tarn::stamper {

bool readU16(const std::string& bytes, size_t offset, uint16_t& value) {
  if (!fitsIn(bytes.size(), offset, 2)) return false;
  value = static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                static_cast<unsigned char>(bytes[offset + 1]) << 8);
  return true;
}

bool readU32(const std::string& bytes, size_t offset, uint32_t& value) {
  uint16_t low = 0;
  uint16_t high = 0;
  if (!readU16(bytes, offset, low) || !readU16(bytes, offset + 2, high)) return false;
  value = static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 16;
  return true;
}

void appendU16(std::string& bytes, uint16_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>(value >> 8);
}

void appendU32(std::string& bytes, uint32_t value) {
  appendU16(bytes, static_cast<uint16_t>(value & 0xFFFF));
  appendU16(bytes, static_cast<uint16_t>(value >> 16));
}

void putU16(std::string& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void putU32(std::string& bytes, size_t offset, uint32_t value) {
  putU16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
  putU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

uint64_t alignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) & ~(alignment - 1); }

void padTo(std::string& bytes, size_t alignment) { bytes.resize(alignUp(bytes.size(), alignment), '\0'); }

}  // namespace tarn::stamper
