#include "run/instance_block.h"

#include "base/text.h"

namespace tarn {
namespace {

constexpr size_t kOwnerOffset = 0;
constexpr size_t kAreaOffset = 12;
constexpr size_t kRecordOffset = kAreaOffset + kArgumentAreaSize;
constexpr size_t kRecordSize = 12;
constexpr uint32_t kRecordMagic = 0x4E524154;  // "TARN" in the block's byte order
constexpr size_t kPendingOffset = kRecordOffset + kRecordSize;
constexpr uint32_t kPendingMagic = 0x51455254;  // "TREQ"
// Units that start a string in the whole field: the last one has its
// follower in the block's final two bytes.
constexpr size_t kFieldEnd = kInstanceBlockSize - 2;

void put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

char16_t unitAt(const uint8_t* block, size_t offset) {
  return static_cast<char16_t>(block[offset] | block[offset + 1] << 8);
}

// FNV-1a over the argument area and then the count's four bytes.
uint32_t recordHash(const uint8_t* block, uint32_t count) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < kArgumentAreaSize; ++i) hash = (hash ^ block[kAreaOffset + i]) * 16777619u;
  for (int i = 0; i < 4; ++i) hash = (hash ^ static_cast<uint8_t>(count >> (8 * i))) * 16777619u;
  return hash;
}

// Exactly `count` NUL-ended strings and the closing NUL within the area;
// false when the area does not hold them.
bool readCounted(const uint8_t* block, uint32_t count, std::vector<std::u16string>& out) {
  const size_t end = kAreaOffset + kArgumentAreaSize;
  size_t offset = kAreaOffset;
  std::vector<std::u16string> arguments;
  for (uint32_t i = 0; i < count; ++i) {
    std::u16string argument;
    for (;;) {
      if (offset >= end) return false;
      const char16_t unit = unitAt(block, offset);
      offset += 2;
      if (unit == 0) break;
      argument.push_back(unit);
    }
    arguments.push_back(std::move(argument));
  }
  if (offset >= end || unitAt(block, offset) != 0) return false;
  out = std::move(arguments);
  return true;
}

std::vector<std::u16string> readUpToDoubleNul(const uint8_t* block) {
  std::vector<std::u16string> arguments;
  std::u16string current;
  for (size_t offset = kAreaOffset; offset < kFieldEnd; offset += 2) {
    const char16_t unit = unitAt(block, offset);
    if (unit != 0) {
      current.push_back(unit);
      continue;
    }
    arguments.push_back(current);
    current.clear();
    if (unitAt(block, offset + 2) == 0) break;
  }
  return arguments;
}

}  // namespace

void writeInstanceOwner(uint8_t* block, const InstanceOwner& owner) {
  put32(block + kOwnerOffset, owner.listenerThreadId);
  put32(block + kOwnerOffset + 4, owner.processId);
  put32(block + kOwnerOffset + 8, owner.requestMessage);
}

InstanceOwner readInstanceOwner(const uint8_t* block) {
  InstanceOwner owner;
  owner.listenerThreadId = get32(block + kOwnerOffset);
  owner.processId = get32(block + kOwnerOffset + 4);
  owner.requestMessage = get32(block + kOwnerOffset + 8);
  return owner;
}

bool ownerRecorded(const InstanceOwner& owner) { return owner.processId != 0 && owner.listenerThreadId != 0; }

void writePendingRequest(uint8_t* block, uint32_t requester) {
  put32(block + kPendingOffset + 4, requester);
  put32(block + kPendingOffset, kPendingMagic);
}

bool takePendingRequest(uint8_t* block, uint32_t requester) {
  if (get32(block + kPendingOffset) != kPendingMagic || get32(block + kPendingOffset + 4) != requester) return false;
  put32(block + kPendingOffset, 0);
  put32(block + kPendingOffset + 4, 0);
  return true;
}

size_t encodedArgumentsSize(const std::vector<std::u16string>& arguments) {
  size_t total = 2;
  for (const std::u16string& argument : arguments) total += 2 * argument.size() + 2;
  return total;
}

bool writeForwardedArguments(uint8_t* block, const std::vector<std::u16string>& arguments) {
  if (encodedArgumentsSize(arguments) > kArgumentAreaSize) return false;
  uint8_t* area = block + kAreaOffset;
  for (size_t i = 0; i < kArgumentAreaSize; ++i) area[i] = 0;
  size_t offset = 0;
  bool hasEmpty = false;
  for (const std::u16string& argument : arguments) {
    for (char16_t unit : argument) {
      area[offset] = static_cast<uint8_t>(unit);
      area[offset + 1] = static_cast<uint8_t>(unit >> 8);
      offset += 2;
    }
    offset += 2;  // its NUL, already there
    hasEmpty = hasEmpty || argument.empty();
  }
  uint8_t* record = block + kRecordOffset;
  if (!hasEmpty) {
    for (size_t i = 0; i < kRecordSize; ++i) record[i] = 0;
    return true;
  }
  put32(record, kRecordMagic);
  const uint32_t count = static_cast<uint32_t>(arguments.size());
  put32(record + 4, count);
  put32(record + 8, recordHash(block, count));
  return true;
}

std::vector<std::u16string> readForwardedArguments(const uint8_t* block) {
  const uint8_t* record = block + kRecordOffset;
  const uint32_t count = get32(record + 4);
  std::vector<std::u16string> counted;
  if (get32(record) == kRecordMagic && count > 0 && get32(record + 8) == recordHash(block, count) &&
      readCounted(block, count, counted)) {
    return counted;
  }
  return readUpToDoubleNul(block);
}

bool writeArgumentList(uint8_t* block, const std::vector<std::wstring>& arguments) {
  std::vector<std::u16string> units;
  for (const std::wstring& argument : arguments) units.push_back(toUtf16(argument));
  return writeForwardedArguments(block, units);
}

std::vector<std::wstring> readArgumentList(const uint8_t* block) {
  std::vector<std::wstring> arguments;
  for (const std::u16string& units : readForwardedArguments(block)) {
    arguments.push_back(fromUtf16(units, UnpairedSurrogates::KeepWherePossible));
  }
  return arguments;
}

std::wstring instanceObjectName(const std::wstring& executablePath) { return replaceAll(executablePath, L'\\', L'_'); }

std::string instanceFileStem(const std::wstring& executablePath) {
  uint64_t hash = 14695981039346656037ull;
  for (char byte : toUtf8(executablePath)) hash = (hash ^ static_cast<uint8_t>(byte)) * 1099511628211ull;
  std::string stem = "tarn-";
  for (int shift = 60; shift >= 0; shift -= 4) stem += "0123456789abcdef"[(hash >> shift) & 0xF];
  return stem;
}

std::wstring mainStartedEventName(const std::wstring& objectName) { return objectName + L"_upr_evt"; }

std::wstring requestLockName(const std::wstring& objectName) { return objectName + L"_upr_lock"; }

}  // namespace tarn
