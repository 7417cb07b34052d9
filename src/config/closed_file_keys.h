#pragma once
// What a configuration file beside the executable may still set when the
// built-in settings are not open to it. An allowlist: a key that is not
// named here, a key added later included, comes from the built-in settings
// alone. None of these keys chooses code, a place the launcher reads or
// writes, or anything it opens.

#include <string>

namespace tarn {

enum class ClosedFileAccess {
  None,         // the file's value and its "+" addition are ignored
  Value,        // the file may set the value and add to it
  MemorySizes,  // only a "+" addition of memory sizes (memorySizeParameters)
};

ClosedFileAccess closedFileAccess(const std::wstring& section, const std::wstring& key);

// The text holds one or more VM parameters, separated by spaces, each a
// heap or stack size and nothing else: -Xms, -Xmx, -Xmn or -Xss followed by
// a number with an optional unit (k, m, g, t), or by a share of the memory
// ("50P", "25:64:1024T").
bool memorySizeParameters(const std::wstring& text);

}  // namespace tarn
