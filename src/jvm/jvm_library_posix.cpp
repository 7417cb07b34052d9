// POSIX: loading libjvm.so and resolving its exports.
#include <dlfcn.h>
#include <errno.h>
#include <sys/stat.h>

#include "jvm/jvm_library.h"

#include "base/text.h"

namespace tarn {

// dlopen and dlsym report only a text, and the launcher's messages carry a
// number. The numbers chosen are stable: the errno of a missing file, else
// ENOEXEC for a file that exists but cannot be loaded (wrong format, missing
// dependency); 0 for a missing export.
LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error) {
  const std::string file = toUtf8(path);
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (module != nullptr) return module;
  dlerror();
  struct stat status;
  error = stat(file.c_str(), &status) != 0 ? static_cast<uint32_t>(errno) : static_cast<uint32_t>(ENOEXEC);
  return nullptr;
}

ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error) {
  dlerror();
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) {
    dlerror();
    error = 0;
  }
  return reinterpret_cast<ExportedFunction>(symbol);
}

}  // namespace tarn
