#pragma once
// Windows: launcher text written to a handle of the process.

#include <windows.h>

#include <string>

namespace tarn {

// A console gets the UTF-16 text itself, a pipe or file UTF-8; lines end in
// CR LF. Unbuffered; failures are ignored.
void writeTextToHandle(HANDLE handle, const std::wstring& text);

}  // namespace tarn
