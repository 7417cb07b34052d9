// The PE header test on arbitrary bytes: it must read nothing outside the
// input (the sanitizers watch), and agree with its two halves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "discovery/java_home.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool x86 = tarn::isX86PeImage(data, size);
  uint32_t offset = 0;
  const bool split =
      tarn::peHeadersOffset(data, size, offset) && offset <= size && tarn::isX86NtHeaders(data + offset, size - offset);
  if (x86 != split) std::abort();
  return 0;
}
