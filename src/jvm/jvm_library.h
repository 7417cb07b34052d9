#pragma once
// Loading the JVM library and finding its invocation entry points. The
// portable part (Launcher::loadJvmLibrary in jvm_library.cpp) asks the
// platform for the two steps below.

#include <cstdint>
#include <string>

namespace tarn {

// A loaded library; null when loading failed.
using LibraryModule = void*;
// An exported function, to be cast to its real type by the caller.
using ExportedFunction = void (*)();

// Loads the library at the full path. On failure returns null and sets
// `error` to the platform's error code, read right after the failing call.
LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error);

// The exported function of that narrow name; null, with `error` set, when the
// library has no such export.
ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error);

}  // namespace tarn
