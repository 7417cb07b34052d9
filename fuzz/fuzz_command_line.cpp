// The command-line splitter on arbitrary UTF-16 text: two input bytes make
// one code unit (little-endian), unpaired surrogates and NULs included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/command_line.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = utf16Units(data, size);

  std::vector<std::wstring> pieces;
  tarn::splitCommandLine(text, pieces);
  // Every piece is a stretch of the text, and the pieces never hold more
  // characters than the text has.
  size_t characters = 0;
  for (const std::wstring& piece : pieces) {
    require(text.find(piece) != std::wstring::npos);
    characters += piece.size();
  }
  require(characters <= text.size());
  require(pieces.size() <= text.size());

  // Pieces without a double quote survive being quoted and split again.
  std::wstring quoted = L"program";
  std::vector<std::wstring> plain;
  for (const std::wstring& piece : pieces) {
    if (piece.find(L'"') != std::wstring::npos) continue;
    quoted += L" \"" + piece + L"\"";
    plain.push_back(piece);
  }
  require(tarn::argumentsFromCommandLine(quoted) == plain);

  // The whole-command-line road: trimming, then the program token dropped.
  tarn::argumentsFromCommandLine(text);
  return 0;
}
