// POSIX: the machine's memory figures and the narrow text the VM receives (UTF-8).
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "base/text.h"
#include "jvm/jvm_parameters.h"

namespace tarn {
namespace {

// The user address space of x86-64 with four-level page tables.
constexpr uint64_t kAddressSpace = uint64_t{1} << 47;

// Bytes of address space the process maps now (first field of statm, in pages).
uint64_t mappedBytes(uint64_t pageSize) {
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long pages = 0;
  if (std::fscanf(statm, "%llu", &pages) != 1) pages = 0;
  std::fclose(statm);
  return pages * pageSize;
}

}  // namespace

MemoryStatus currentMemoryStatus() {
  MemoryStatus memory;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return memory;
  memory.totalPhysical = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);

  uint64_t limit = kAddressSpace;
  struct rlimit addressSpace;
  if (getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY &&
      addressSpace.rlim_cur < limit) {
    limit = addressSpace.rlim_cur;
  }
  const uint64_t used = mappedBytes(static_cast<uint64_t>(pageSize));
  memory.availableVirtual = limit > used ? limit - used : 0;
  return memory;
}

std::string toJvmCodePage(const std::wstring& text) { return toUtf8(text); }

std::wstring codePageSafePath(const std::wstring& path) { return path; }

}  // namespace tarn
