#pragma once
// Service mode: the process runs the Java application as a Windows service.

#include <cstdint>

namespace tarn {

class Launcher;

// Prepares the service and runs the service control dispatcher; the result
// is the process exit code.
int32_t runServiceMode(Launcher& launcher);

}  // namespace tarn
