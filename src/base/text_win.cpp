// Windows: the C runtime's wide character classes, which do not depend on the
// thread's locale.
#include <cwctype>

#include "base/text.h"

namespace tarn {

bool isWhiteSpace(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }

}  // namespace tarn
