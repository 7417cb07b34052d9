#pragma once
// Owners of Windows handles: one template, a traits class per kind of handle
// saying which value means "none" and how to close it. Closing keeps the
// caller's last error intact.

#include <windows.h>

namespace tarn {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  bool valid() const { return handle_ != Traits::invalid(); }
  explicit operator bool() const { return valid(); }
  Handle get() const { return handle_; }

  Handle release() {
    Handle handle = handle_;
    handle_ = Traits::invalid();
    return handle;
  }

  void reset(Handle handle = Traits::invalid()) {
    if (valid()) {
      DWORD error = GetLastError();
      Traits::close(handle_);
      SetLastError(error);
    }
    handle_ = handle;
  }

  // For out-parameters: the old handle is closed first.
  Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::invalid();
};

struct FileHandleTraits {  // CreateFileW: INVALID_HANDLE_VALUE means none
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { CloseHandle(handle); }
};

struct KernelHandleTraits {  // threads, events, processes, mappings: null means none
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { CloseHandle(handle); }
};

struct FindHandleTraits {  // FindFirstFileW
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { FindClose(handle); }
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { RegCloseKey(handle); }
};

struct MappedViewTraits {
  using Handle = void*;
  static Handle invalid() { return nullptr; }
  static void close(Handle view) { UnmapViewOfFile(view); }
};

struct ModuleTraits {  // LoadLibraryW
  using Handle = HMODULE;
  static Handle invalid() { return nullptr; }
  static void close(Handle module) { FreeLibrary(module); }
};

struct GdiObjectTraits {  // fonts, brushes: DeleteObject
  using Handle = HGDIOBJ;
  static Handle invalid() { return nullptr; }
  static void close(Handle object) { DeleteObject(object); }
};

struct WindowTraits {  // CreateWindowExW
  using Handle = HWND;
  static Handle invalid() { return nullptr; }
  static void close(Handle window) { DestroyWindow(window); }
};

using ScopedFileHandle = ScopedHandle<FileHandleTraits>;
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;
using ScopedMappedView = ScopedHandle<MappedViewTraits>;
using ScopedModule = ScopedHandle<ModuleTraits>;
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedWindow = ScopedHandle<WindowTraits>;

}  // namespace tarn
