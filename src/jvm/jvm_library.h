#pragma once
// Loading the JVM library and finding its invocation entry points. The
// portable part (jvm_library.cpp) asks the platform for the two steps below.

#include <jni.h>

#include <cstdint>
#include <string>

#include "jni/class_lookup.h"

namespace tarn {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using DefaultInitArgsFunction = jint(JNICALL*)(void*);

// The loaded library as the launcher uses it.
struct JvmEntryPoints {
  CreateJavaVmFunction createJavaVm = nullptr;
  DefaultInitArgsFunction defaultInitArgs = nullptr;
  // Optional: without it the main class is looked up through FindClass alone.
  FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr;
};

// Loads the library and finds its entry points; false, with the message
// written, when it cannot be loaded or lacks a required export. The library
// is never freed: the VM lives until the process ends.
bool loadJvmLibrary(const std::wstring& path, JvmEntryPoints& out);

// A loaded library; null when loading failed.
using LibraryModule = void*;
// An exported function, to be cast to its real type by the caller.
using ExportedFunction = void (*)();

// Platform side.
// Loads the library at the full path. On failure returns null and sets
// `error` to the platform's error code, read right after the failing call.
LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error);
// The exported function of that narrow name; null, with `error` set, when the
// library has no such export.
ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error);

}  // namespace tarn
