#pragma once
// Little-endian fields of the PE and resource formats, read from and written
// to byte strings.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn::stamper {

// False when the field does not lie wholly inside the bytes.
bool readU16(const std::string& bytes, size_t offset, uint16_t& value);
bool readU32(const std::string& bytes, size_t offset, uint32_t& value);

void appendU16(std::string& bytes, uint16_t value);
void appendU32(std::string& bytes, uint32_t value);

// Overwrites a field that lies inside the bytes.
void putU16(std::string& bytes, size_t offset, uint16_t value);
void putU32(std::string& bytes, size_t offset, uint32_t value);

// alignment is a power of two.
uint64_t alignUp(uint64_t value, uint64_t alignment);
// Appends zero bytes up to the next multiple of alignment.
void padTo(std::string& bytes, size_t alignment);

// True when [offset, offset + length) lies inside a range of `size` bytes.
inline bool fitsIn(uint64_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

}  // namespace tarn::stamper
