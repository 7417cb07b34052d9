#include "run/running_copy_win.h"

#include <string>

namespace tarn {
namespace {

std::wstring imagePath(HANDLE process) {
  std::wstring path(1024, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process, 0, &path[0], &size)) {
      path.resize(size);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return L"";
    path.resize(path.size() * 2);
  }
}

bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& identity) {
  if (path.empty()) return false;
  ScopedFileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  return file && GetFileInformationByHandle(file.get(), &identity);
}

bool sameFile(const std::wstring& first, const std::wstring& second) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  return fileIdentity(first, a) && fileIdentity(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

ScopedKernelHandle openRunningCopy(DWORD processId) {
  if (processId == 0 || processId == GetCurrentProcessId()) return ScopedKernelHandle();
  ScopedKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return ScopedKernelHandle();
  if (!sameFile(imagePath(process.get()), imagePath(GetCurrentProcess()))) return ScopedKernelHandle();
  return process;
}

}  // namespace tarn
