#pragma once
// What lies at the output path before it is replaced.

#include <string>

namespace tarn::stamper {

// True when nothing is there or a regular file is (a link is taken for
// what it names). False, with the reason, for a folder, a device, a pipe or
// anything else that the stamped file must not take the place of.
bool outputMayBeReplaced(const std::wstring& path, std::wstring& why);

}  // namespace tarn::stamper
