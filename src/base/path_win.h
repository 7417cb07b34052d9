#pragma once
// Windows: the form of a path that the file functions take at any length.

#include <string>

namespace tarn {

// A path of 260 or more characters made full (a relative one against the
// current directory) and given its long-path prefix (withLongPathPrefix);
// shorter paths, prefixed ones and those the system cannot make full stay.
std::wstring longPathForm(const std::wstring& path);

}  // namespace tarn
