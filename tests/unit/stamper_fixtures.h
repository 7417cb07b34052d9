#pragma once
// Test support for the stamper's tests: small PE files built in memory (PE32
// or PE32+, file alignment 0x200, section alignment 0x1000) with a code
// section, a resource section and the sections that follow it; icon files.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "stamper/resource_tree.h"

namespace tarn::test {

struct FixtureSection {
  std::string name;
  uint32_t characteristics;
  std::string bytes;
};

constexpr uint32_t kCodeCharacteristics = 0x60000020;
constexpr uint32_t kRelocationCharacteristics = 0x42000040;
constexpr uint32_t kWritableDataCharacteristics = 0xC0000040;
constexpr uint32_t kFixtureCodeRva = 0x1000;
constexpr uint32_t kFixtureResourceRva = 0x2000;

struct PeFixture {
  bool pe32Plus = true;
  stamper::ResourceTree resources = launcherResources();
  // The .rsrc bytes, when not the serialised resources.
  std::string rawResources;
  // After .rsrc; by default .reloc with one block for the code section.
  std::vector<FixtureSection> after = {relocationSection(true)};
  std::string trailing;  // after the last section
  bool symbolTableInTrailing = false;
  std::string certificate;  // last in the file, named by the certificate directory

  // What one of our launchers carries, in small: two icons and their group,
  // the version, the manifest, the mark, a string table and a named type.
  static stamper::ResourceTree launcherResources();
  static FixtureSection relocationSection(bool pe32Plus, uint32_t page = kFixtureCodeRva);
};

std::string buildPe(const PeFixture& fixture);

// The checksum summed in 64 bits and folded once at the end.
uint32_t referenceChecksum(const std::string& file, size_t checksumOffset);

// The resources of a PE file, read with the stamper's readers; empty when
// the file has none or they do not read.
stamper::ResourceTree resourcesOf(const std::string& file);

// Bytes as resource data.
stamper::ResourceData resourceData(const std::string& bytes);

// A version resource read back by a reader of its own (not the stamper's
// writer): the fixed information's two version numbers and the strings of
// the first string table, in their order. ok is false when the blocks do not
// nest as they should.
struct VersionRead {
  bool ok = false;
  uint32_t fileVersion[2] = {0, 0};  // most and least significant halves
  uint32_t productVersion[2] = {0, 0};
  std::vector<std::pair<std::u16string, std::u16string>> strings;
};
VersionRead readVersionResource(const std::string& bytes);

// An .ico file with the images after its directory, in order; image i is
// 16 * (i + 1) pixels square, 32 bits deep.
std::string iconFile(const std::vector<std::string>& images);

}  // namespace tarn::test
