#include "jvm/list_elements.h"

#include "base/text.h"

namespace tarn {

std::wstring withoutEmptyElements(const std::wstring& list, wchar_t separator) {
  std::wstring kept;
  for (const std::wstring& element : splitAtSeparator(list, separator)) {
    if (element.empty()) continue;
    if (!kept.empty()) kept += separator;
    kept += element;
  }
  return kept;
}

}  // namespace tarn
