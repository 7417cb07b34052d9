#pragma once
// The message of a start that ends because no class path results.

#include <string>

namespace tarn {

// Writes why no class path results: none is configured, or the configured
// entries (";"-separated, as in the settings) matched no file.
void reportMissingClassPath(const std::wstring& configuredEntries);

}  // namespace tarn
