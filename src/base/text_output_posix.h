#pragma once
// POSIX: launcher text written to a descriptor of the process.

#include <string>

namespace tarn {

// UTF-8, unbuffered; failures are ignored.
void writeTextToDescriptor(int descriptor, const std::wstring& text);

}  // namespace tarn
