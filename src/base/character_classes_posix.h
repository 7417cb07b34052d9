#pragma once
// POSIX: which locale's character classes isWhiteSpace (base/text.h) uses.

namespace tarn {

// From now on, characters beyond ASCII are classed by the locale that the
// environment names for LC_CTYPE (LC_ALL, LC_CTYPE, LANG), not by the C
// locale. The locale is loaded at the first such character, not here.
void useEnvironmentCharacterClasses();

}  // namespace tarn
