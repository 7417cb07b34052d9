// The "Virtual Machine Parameters" splitter on arbitrary UTF-16 text: two
// input bytes make one code unit (little-endian), unpaired surrogates and
// NULs included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "jvm/jvm_parameters.h"

namespace {

std::wstring utf16Units(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

void require(bool condition) {
  if (!condition) std::abort();
}

std::wstring withoutQuotes(const std::wstring& text) {
  std::wstring kept;
  for (wchar_t c : text) {
    if (c != L'"') kept += c;
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = utf16Units(data, size);

  // Every parameter ends at a space or at the end of the text, never before its start.
  for (size_t start = 0; start <= text.size() && start <= 256; ++start) {
    const size_t end = tarn::nextParameterEnd(text, start);
    require(end >= start && end <= text.size());
    require(end == text.size() || text[end] == L' ');
  }

  // Removing quote pairs only ever drops quotes.
  const std::wstring unquoted = tarn::removeQuotePairs(text);
  require(unquoted.size() <= text.size());
  require(withoutQuotes(unquoted) == withoutQuotes(text));

  // Appended after what the list holds; the stack size is that of the last
  // "-Xss" parameter and is left alone without one.
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  constexpr uint64_t kUntouched = 7;
  std::vector<std::wstring> parameters{L"first"};
  uint64_t stackSize = kUntouched;
  tarn::appendVmParameters(text, tarn::MemoryStatus{8 * kGiB, 2 * kGiB}, parameters, stackSize);
  require(parameters.size() <= text.size() + 1);
  require(parameters.front() == L"first");
  const std::wstring* lastStackSize = nullptr;
  for (size_t i = 1; i < parameters.size(); ++i) {
    if (parameters[i].compare(0, 4, L"-Xss") == 0) lastStackSize = &parameters[i];
  }
  require(lastStackSize != nullptr ? stackSize == tarn::parseStackSize(lastStackSize->substr(4))
                                   : stackSize == kUntouched);
  return 0;
}
