// A runtime's release file from arbitrary bytes: the JAVA_VERSION value is
// found or not, never read outside the text, and is a piece of one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discovery/java_version.h"
#include "discovery/vendor_registry.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::wstring version;
  if (!tarn::javaVersionOfRelease(text, version)) return 0;
  require(!version.empty() && version.size() < size);
  for (wchar_t c : version) require(c != L'\n' && c >= 0 && c <= 0xFF);
  for (int32_t part : tarn::parseJavaVersion(version, 0).parts) require(part >= 0);
  return 0;
}
