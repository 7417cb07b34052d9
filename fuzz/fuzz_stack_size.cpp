// Stack sizes and memory percentages from arbitrary text (one byte, one
// character), with fixed memory figures: results that stay in range and
// arithmetic that never overflows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "jvm/jvm_parameters.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

bool allDigits(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return !text.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring value(data, data + size);

  const uint64_t stackSize = tarn::parseStackSize(value);
  require(stackSize % tarn::unitMultiplier(value) == 0);
  if (allDigits(value) && value.size() < 20) require(stackSize == std::stoull(std::string(value.begin(), value.end())));

  constexpr uint64_t kGiB = uint64_t{1} << 30;
  for (const tarn::MemoryStatus& memory :
       {tarn::MemoryStatus{8 * kGiB, 128 * kGiB}, tarn::MemoryStatus{UINT64_MAX, UINT64_MAX}, tarn::MemoryStatus{}}) {
    for (const wchar_t* letter : {L"p", L"T"}) {
      const std::wstring parameter = L"-Xmx" + value + letter;
      const std::wstring expanded = tarn::expandMemoryPercent(parameter, memory);
      // The prefix, then at most 20 digits, then K.
      require(expanded.size() >= 2 && expanded.back() == L'K');
      const tarn::NumberGroups groups = tarn::parseNumberGroups(parameter, parameter.size() - 1);
      require(expanded.compare(0, groups.position, parameter, 0, groups.position) == 0);
      const std::wstring digits = expanded.substr(groups.position, expanded.size() - 1 - groups.position);
      require(allDigits(digits) && digits.size() <= 20);
    }
  }
  return 0;
}
