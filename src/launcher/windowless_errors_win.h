#pragma once
// What the windowless launcher's message boxes share.

#include <string>

namespace tarn {

// This executable is built for the GUI subsystem: no console of its own.
bool isWindowlessImage();

// The title of a box: "run" for C:\App\run.exe.
std::wstring programName();

}  // namespace tarn
