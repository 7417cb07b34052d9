#include "base/environment.h"

namespace tarn {

std::wstring expandReferences(const std::wstring& text, const VariableLookup& lookup) {
  std::wstring expanded;
  expanded.reserve(text.size());
  size_t from = 0;
  while (from < text.size()) {
    const size_t open = text.find(L'%', from);
    const size_t closing = open == std::wstring::npos ? std::wstring::npos : text.find(L'%', open + 1);
    if (closing == std::wstring::npos) {
      expanded.append(text, from, std::wstring::npos);
      break;
    }
    expanded.append(text, from, open - from);
    std::wstring value;
    if (closing > open + 1 && lookup(text.substr(open + 1, closing - open - 1), value)) {
      expanded += value;
    } else {
      expanded.append(text, open, closing - open + 1);
    }
    from = closing + 1;
  }
  return expanded;
}

}  // namespace tarn
