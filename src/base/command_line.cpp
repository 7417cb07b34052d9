#include "base/command_line.h"

#include "base/text.h"

namespace tarn {

void splitCommandLine(const std::wstring& text, std::vector<std::wstring>& pieces) {
  const size_t end = text.size();
  size_t a = 0;
  while (a < end) {
    size_t i;
    if (text[a] == L'"') {
      ++a;
      size_t closing = text.find(L'"', a);
      if (closing == std::wstring::npos) {
        pieces.push_back(text.substr(a));
        return;
      }
      pieces.push_back(text.substr(a, closing - a));
      i = closing + 1;
    } else {
      size_t space = text.find(L' ', a);
      if (space == std::wstring::npos) {
        pieces.push_back(text.substr(a));
        return;
      }
      pieces.push_back(text.substr(a, space - a));
      i = space;
    }
    while (i < end && text[i] == L' ') ++i;
    a = i;
  }
}

std::vector<std::wstring> argumentsFromCommandLine(const std::wstring& commandLine) {
  std::vector<std::wstring> pieces;
  splitCommandLine(trimWhiteSpace(commandLine), pieces);
  if (!pieces.empty()) pieces.erase(pieces.begin());
  return pieces;
}

}  // namespace tarn
