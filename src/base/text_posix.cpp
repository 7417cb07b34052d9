// POSIX: wide character classes. ASCII is classed alike in every locale, so
// the environment's locale is loaded only for a character beyond it: loading
// it (the alias file, the LC_CTYPE tables, the converter cache) costs more
// than the rest of the launcher's start, and few starts need it. A locale
// object of its own, so the process's global locale stays as the VM finds it.
#include <locale.h>
#include <wctype.h>

#include <atomic>

#include "base/character_classes_posix.h"
#include "base/text.h"

namespace tarn {
namespace {

std::atomic<bool> environmentClasses{false};

// Null when the environment names a locale that is not installed: the C
// locale's classes then apply, as setlocale would have left them.
locale_t environmentLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

void useEnvironmentCharacterClasses() { environmentClasses = true; }

bool isWhiteSpace(wchar_t c) {
  if (c >= 0 && c < 0x80) return c == L' ' || (c >= L'\t' && c <= L'\r');
  if (environmentClasses) {
    if (const locale_t locale = environmentLocale()) return iswspace_l(static_cast<wint_t>(c), locale) != 0;
  }
  return iswspace(static_cast<wint_t>(c)) != 0;
}

}  // namespace tarn
