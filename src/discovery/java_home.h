#pragma once
// The layout of a Java home: where its JVM library lies for each JVM type,
// how a runtime shipped beside the launcher is recognised, and the image
// test that sends a 32-bit x86 jvm.dll to the sibling launcher.
//
// A Java home is a folder ending in the platform's separator. The search
// logic is portable and takes the layout and an existence test as
// parameters, so both platforms' tables are tested natively.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/path.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

struct JvmLibraryCandidate {
  const wchar_t* subPath;
  bool server;
};

struct JavaHomeLayout {
  wchar_t separator;
  // Tried alone for JvmType::Server and first for JvmType::FavorServer.
  std::vector<JvmLibraryCandidate> serverVm;
  // Client VMs first, a server VM after them: JvmType::Any, and
  // JvmType::FavorServer when no server VM was found.
  std::vector<JvmLibraryCandidate> anyVm;
  // A file that every runtime home holds.
  std::wstring runtimeMarker;
  // The folder beside the launcher that holds a bundled runtime.
  std::wstring privateRuntimeFolder;
};

extern const JavaHomeLayout kWindowsJavaHomeLayout;
extern const JavaHomeLayout kPosixJavaHomeLayout;
const JavaHomeLayout& nativeJavaHomeLayout();

// A registered home is an absolute path by the rules of the layout's
// platform: a relative one would be taken against whatever the current
// directory is.
bool isAbsoluteHome(const std::wstring& home, const JavaHomeLayout& layout);

using ExistenceTest = std::function<bool(const std::wstring& path)>;

// Where a search looks for a JVM library inside a registered home.
struct JavaHomeProbe {
  const JavaHomeLayout& layout;
  ExistenceTest exists;
  // The start of a file in the home (its "release" file); none may be given
  // where no search needs it.
  std::function<bool(const std::wstring& path, std::string& bytes)> readFile;
};

// home + the first sub-path of the JVM type's order that exists, or the
// empty string. `server` is written only when a path is found.
std::wstring findJvmLibraryIn(const std::wstring& home, JvmType jvmType, bool& server, const JavaHomeLayout& layout,
                              const ExistenceTest& exists);

// Why findJvmLibraryIn found nothing in the home, in words for the diagnose
// mode: a VM of another type only ("wrong JVM type"), a runtime without a
// VM of the type (the folders looked in named), or no runtime at all (no
// runtime marker).
std::wstring whyNoJvmLibrary(const std::wstring& home, JvmType jvmType, const JavaHomeLayout& layout,
                               const ExistenceTest& exists);

// The runtime's home, as the VM itself sees it, for a JVM library that
// findJvmLibraryIn found: the library path less the shortest sub-path of the
// layout it ends in, without the trailing separator. A Java 8 development
// kit's VM (jre/lib/amd64/server/libjvm.so) thus has its jre/ folder as home,
// as the same kit's jvm.dll does on Windows. A path that ends in none of the
// sub-paths loses its last three components.
std::wstring javaHomeOfJvmLibrary(const std::wstring& libraryPath, const JavaHomeLayout& layout);

// The home that a launcher in `launcherFolder` takes its bundled runtime
// from: the folder itself when it is a runtime's root, else its private
// runtime sub-folder when that holds one, else the folder itself again, so
// that the search stays inside the launcher's folder and never falls back
// to the current directory. False for an empty folder.
bool choosePrivateRuntimeHome(const std::wstring& launcherFolder, const JavaHomeLayout& layout,
                              const ExistenceTest& exists, std::wstring& home);

// The published PE rule: "MZ" at offset 0, the 32-bit little-endian offset
// of the NT headers at 0x3C, "PE\0\0" there, and the machine field 0x014C
// (Intel 386) right after it. Reads nothing outside [data, data + size).
bool isX86PeImage(const uint8_t* data, size_t size);
// Its two halves, for a reader that fetches the NT headers separately:
// the image's first kPeDosHeaderSize bytes give the headers' offset...
constexpr size_t kPeDosHeaderSize = 0x40;
bool peHeadersOffset(const uint8_t* data, size_t size, uint32_t& offset);
// ...and the kPeMachineEnd bytes found there decide.
constexpr size_t kPeMachineEnd = 6;
bool isX86NtHeaders(const uint8_t* data, size_t size);
// The machine field itself (0x014C for Intel 386, 0x8664 for x64), by the
// same rule; false when the bytes are no PE image.
constexpr uint16_t kPeMachineI386 = 0x014C;
bool peMachineOfNtHeaders(const uint8_t* data, size_t size, uint16_t& machine);
bool peImageMachine(const uint8_t* data, size_t size, uint16_t& machine);

// On the native layout and file system.
std::wstring findJvmLibrary(const std::wstring& home, JvmType jvmType, bool& server);
std::wstring whyNoJvmLibrary(const std::wstring& home, JvmType jvmType);

// The chosen JVM library is one for the sibling launcher: a 32-bit x86
// jvm.dll found by the 64-bit launcher while a sibling is configured. The
// 32-bit launcher loads such a library itself (handing it back would send
// the start to and fro), and without a sibling the file is not even opened.
bool jvmLibraryNeedsSibling(const std::wstring& jvmLibraryPath, bool hasSibling);

// The file is a 32-bit x86 PE image; false when it cannot be read.
bool isX86PeFile(const std::wstring& path);
// The file is a PE image, and of the other width than the one wanted (x86
// or not): a VM that a launcher of that width cannot load. False when it
// cannot be read, which leaves the failure to the load and its message.
bool isPeFileOfOtherWidth(const std::wstring& path, bool x86);

// Platform side.
// The machine field of the PE image in the file; false when it cannot be
// read or is no PE image.
bool readPeFileMachine(const std::wstring& path, uint16_t& machine);

}  // namespace tarn
