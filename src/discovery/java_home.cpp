#include "discovery/java_home.h"

#include "base/path.h"

namespace tarn {

const JavaHomeLayout kWindowsJavaHomeLayout{
    L'\\',
    {{L"bin\\server\\jvm.dll", true}},
    {
        {L"bin\\client\\jvm.dll", false},
        {L"bin\\classic\\jvm.dll", false},
        {L"bin\\hotspot\\jvm.dll", false},
        {L"bin\\server\\jvm.dll", true},
        {L"bin\\jrockit\\jvm.dll", false},
    },
    L"bin\\java.dll",
    L"jre64\\",
};

// Java 9 and later keep the VM in lib/<type>/; Java 8 in jre/lib/amd64/<type>/
// of a development kit and lib/amd64/<type>/ of a runtime.
const JavaHomeLayout kPosixJavaHomeLayout{
    L'/',
    {
        {L"lib/server/libjvm.so", true},
        {L"jre/lib/amd64/server/libjvm.so", true},
        {L"lib/amd64/server/libjvm.so", true},
    },
    {
        {L"lib/client/libjvm.so", false},
        {L"lib/server/libjvm.so", true},
        {L"jre/lib/amd64/server/libjvm.so", true},
        {L"lib/amd64/server/libjvm.so", true},
    },
    L"lib/libjava.so",
    L"jre64/",
};

namespace {

bool findFirst(const std::wstring& home, const std::vector<JvmLibraryCandidate>& candidates,
               const ExistenceTest& exists, std::wstring& path, bool& server) {
  for (const JvmLibraryCandidate& candidate : candidates) {
    std::wstring tried = home + candidate.subPath;
    if (exists(tried)) {
      path = std::move(tried);
      server = candidate.server;
      return true;
    }
  }
  return false;
}

}  // namespace

bool isAbsoluteHome(const std::wstring& home, const JavaHomeLayout& layout) {
  return isAbsolutePath(home, layout.separator == L'\\' ? kWindowsPathStyle : kPosixPathStyle);
}

std::wstring findJvmLibraryIn(const std::wstring& home, JvmType jvmType, bool& server, const JavaHomeLayout& layout,
                              const ExistenceTest& exists) {
  std::wstring path;
  if (jvmType != JvmType::Any) {
    if (findFirst(home, layout.serverVm, exists, path, server)) return path;
    // "server" accepts nothing else.
    if (jvmType == JvmType::Server) return std::wstring();
  }
  findFirst(home, layout.anyVm, exists, path, server);
  return path;
}

std::wstring whyNoJvmLibrary(const std::wstring& home, JvmType jvmType, const JavaHomeLayout& layout,
                             const ExistenceTest& exists) {
  bool server = false;
  if (jvmType == JvmType::Server && !findJvmLibraryIn(home, JvmType::Any, server, layout, exists).empty()) {
    return L"wrong JVM type: a VM, but no server VM (JVM Type=server)";
  }
  if (!exists(home + layout.runtimeMarker)) return L"no runtime there (no " + layout.runtimeMarker + L')';
  // The folders in the order findJvmLibraryIn tries them, each once.
  std::vector<std::wstring> folders;
  const auto add = [&](const std::vector<JvmLibraryCandidate>& candidates) {
    for (const JvmLibraryCandidate& candidate : candidates) {
      const std::wstring folder = parentFolder(candidate.subPath, layout.separator);
      bool listed = false;
      for (const std::wstring& known : folders) listed = listed || known == folder;
      if (!listed) folders.push_back(folder);
    }
  };
  if (jvmType != JvmType::Any) add(layout.serverVm);
  if (jvmType != JvmType::Server) add(layout.anyVm);
  std::wstring why = L"no JVM library of the JVM type in ";
  for (size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) why += i + 1 == folders.size() ? L" or " : L", ";
    why += folders[i];
  }
  return why;
}

std::wstring javaHomeOfJvmLibrary(const std::wstring& libraryPath, const JavaHomeLayout& layout) {
  size_t shortest = std::wstring::npos;
  for (const auto* candidates : {&layout.serverVm, &layout.anyVm}) {
    for (const JvmLibraryCandidate& candidate : *candidates) {
      const std::wstring subPath = candidate.subPath;
      const size_t size = libraryPath.size();
      if (size < subPath.size() || libraryPath.compare(size - subPath.size(), subPath.size(), subPath) != 0) continue;
      // The sub-path must start a component: "mylib/server/libjvm.so" is no "lib/server/libjvm.so".
      const size_t start = size - subPath.size();
      if (start > 0 && libraryPath[start - 1] != layout.separator) continue;
      if (shortest == std::wstring::npos || subPath.size() < shortest) shortest = subPath.size();
    }
  }
  if (shortest == std::wstring::npos) return stripPathComponents(libraryPath, 3, layout.separator);
  std::wstring home = libraryPath;
  home.erase(home.size() - shortest);
  if (!home.empty() && home.back() == layout.separator) home.pop_back();
  return home;
}

bool choosePrivateRuntimeHome(const std::wstring& launcherFolder, const JavaHomeLayout& layout,
                              const ExistenceTest& exists, std::wstring& home) {
  if (launcherFolder.empty()) return false;
  const std::wstring folder = withTrailingSeparator(launcherFolder, layout.separator);
  // The launcher sits in the root of a runtime.
  if (exists(folder + layout.runtimeMarker)) {
    home = folder;
    return true;
  }
  const std::wstring bundled = folder + layout.privateRuntimeFolder;
  home = exists(bundled + layout.runtimeMarker) ? bundled : folder;
  return true;
}

bool peHeadersOffset(const uint8_t* data, size_t size, uint32_t& offset) {
  constexpr size_t kOffsetField = 0x3C;
  if (data == nullptr || size < kPeDosHeaderSize) return false;
  if (data[0] != 'M' || data[1] != 'Z') return false;
  offset = static_cast<uint32_t>(data[kOffsetField]) | static_cast<uint32_t>(data[kOffsetField + 1]) << 8 |
           static_cast<uint32_t>(data[kOffsetField + 2]) << 16 | static_cast<uint32_t>(data[kOffsetField + 3]) << 24;
  return true;
}

bool peMachineOfNtHeaders(const uint8_t* data, size_t size, uint16_t& machine) {
  if (data == nullptr || size < kPeMachineEnd) return false;
  if (data[0] != 'P' || data[1] != 'E' || data[2] != 0 || data[3] != 0) return false;
  machine = static_cast<uint16_t>(data[4] | data[5] << 8);
  return true;
}

bool isX86NtHeaders(const uint8_t* data, size_t size) {
  uint16_t machine = 0;
  return peMachineOfNtHeaders(data, size, machine) && machine == kPeMachineI386;
}

bool peImageMachine(const uint8_t* data, size_t size, uint16_t& machine) {
  uint32_t offset = 0;
  if (!peHeadersOffset(data, size, offset) || offset > size) return false;
  return peMachineOfNtHeaders(data + offset, size - offset, machine);
}

bool isX86PeImage(const uint8_t* data, size_t size) {
  uint16_t machine = 0;
  return peImageMachine(data, size, machine) && machine == kPeMachineI386;
}

bool isX86PeFile(const std::wstring& path) {
  uint16_t machine = 0;
  return readPeFileMachine(path, machine) && machine == kPeMachineI386;
}

bool isPeFileOfOtherWidth(const std::wstring& path, bool x86) {
  uint16_t machine = 0;
  return readPeFileMachine(path, machine) && (machine == kPeMachineI386) != x86;
}

std::wstring findJvmLibrary(const std::wstring& home, JvmType jvmType, bool& server) {
  return findJvmLibraryIn(home, jvmType, server, nativeJavaHomeLayout(), pathExists);
}

std::wstring whyNoJvmLibrary(const std::wstring& home, JvmType jvmType) {
  return whyNoJvmLibrary(home, jvmType, nativeJavaHomeLayout(), pathExists);
}

bool jvmLibraryNeedsSibling(const std::wstring& jvmLibraryPath, bool hasSibling) {
  if (!hasSibling || sizeof(void*) == 4) return false;
  return isX86PeFile(jvmLibraryPath);
}

}  // namespace tarn
