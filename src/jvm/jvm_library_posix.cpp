// POSIX: loading libjvm.so and resolving its exports.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "jvm/jvm_library.h"

#include "base/text.h"

namespace tarn {
namespace {

#if __SIZEOF_POINTER__ == 8
constexpr unsigned char kNativeElfClass = ELFCLASS64;
#else
constexpr unsigned char kNativeElfClass = ELFCLASS32;
#endif

// A library of this machine's ELF class whose loadable segments reach past
// the end of the file (a copy cut short): dlopen maps them and the process
// dies of SIGBUS when the loader touches the missing pages. Files of
// another class or shape are left to dlopen, which refuses them.
bool segmentsBeyondEnd(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool beyond = false;
  struct stat status;
  ElfW(Ehdr) header;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
      pread(fd, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 && header.e_ident[EI_CLASS] == kNativeElfClass &&
      header.e_phentsize == sizeof(ElfW(Phdr))) {
    const auto size = static_cast<uint64_t>(status.st_size);
    // The whole table in one read (at most 65,535 entries of 56 bytes).
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    const auto tableBytes = static_cast<ssize_t>(segments.size() * sizeof(ElfW(Phdr)));
    beyond = pread(fd, segments.data(), static_cast<size_t>(tableBytes), static_cast<off_t>(header.e_phoff)) != tableBytes;
    for (size_t i = 0; i < segments.size() && !beyond; ++i) {
      const ElfW(Phdr)& segment = segments[i];
      if (segment.p_type == PT_LOAD) beyond = segment.p_offset > size || segment.p_filesz > size - segment.p_offset;
    }
  }
  close(fd);
  return beyond;
}

}  // namespace

// dlopen and dlsym report only a text, and the launcher's messages carry a
// number. The numbers chosen are stable: the errno of a missing file, else
// ENOEXEC for a file that exists but cannot be loaded (wrong format, missing
// dependency); 0 for a missing export.
LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error) {
  const std::string file = toUtf8(path);
  if (segmentsBeyondEnd(file)) {
    error = ENOEXEC;
    return nullptr;
  }
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (module != nullptr) return module;
  dlerror();
  struct stat status;
  error = stat(file.c_str(), &status) != 0 ? static_cast<uint32_t>(errno) : static_cast<uint32_t>(ENOEXEC);
  return nullptr;
}

// No function of the VM's is at address zero, so a null result can only mean
// a missing export. dlerror is not asked: it would format (and translate) a
// message that nobody reads.
ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error) {
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) error = 0;
  return reinterpret_cast<ExportedFunction>(symbol);
}

}  // namespace tarn
