#pragma once
// The elements of a path list (the class path) as the VM reads them.

#include <string>

namespace tarn {

// The list without empty elements: a separator at either end, or two in a
// row, as an entry whose value ends in the separator gives. The VM reads an
// empty element as the current directory.
std::wstring withoutEmptyElements(const std::wstring& list, wchar_t separator);

}  // namespace tarn
