#pragma once
// The splash image, shown as the VM starts through the runtime's own
// splash-screen library, as the JDK's launcher shows it: the application's
// java.awt.SplashScreen then finds it (the VM loads the same library), can
// draw on it and close it, and it closes by itself when the first window
// opens.

#include <string>

#include "base/path.h"

namespace tarn {

// The runtime's splash-screen library beside its VM library's folder:
// bin\splashscreen.dll for bin\server\jvm.dll, lib/libsplashscreen.so for
// lib/server/libjvm.so (lib/amd64/... on Java 8 alike).
std::wstring splashLibraryOf(const std::wstring& jvmLibrary, const PathStyle& style);

// Shows the image; false, the diagnose mode told why, when there is none to
// show: no library (a headless runtime), or an image the library cannot
// read. The application starts all the same.
bool showSplashScreen(const std::wstring& jvmLibrary, const std::wstring& image);

}  // namespace tarn
