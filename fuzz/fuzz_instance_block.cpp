// The single-instance block as another process may have left it: any 2092
// bytes are read without leaving the block, and what is read survives being
// written again. The input, padded with zeros or cut, is the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "run/instance_block.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Heap copies of exactly the block's size, so that the sanitizer sees any
  // read past its end.
  std::vector<uint8_t> block(tarn::kInstanceBlockSize, 0);
  std::memcpy(block.data(), data, size < block.size() ? size : block.size());

  const std::vector<std::u16string> arguments = tarn::readForwardedArguments(block.data());
  size_t units = 0;
  for (const std::u16string& argument : arguments) units += argument.size() + 1;
  require(units <= tarn::kInstanceBlockSize / 2);

  std::vector<uint8_t> written(tarn::kInstanceBlockSize, 0);
  if (!tarn::writeForwardedArguments(written.data(), arguments)) {
    require(tarn::encodedArgumentsSize(arguments) > tarn::kArgumentAreaSize);
    return 0;
  }
  const std::vector<std::u16string> again = tarn::readForwardedArguments(written.data());
  require(again == arguments || (arguments.empty() && again == std::vector<std::u16string>{u""}));
  return 0;
}
