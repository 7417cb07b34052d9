// Windows: full paths and existence by directory search.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/path.h"
#include "base/path_win.h"
#include "base/scoped_handle_win.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kWindowsPathStyle; }

std::wstring absolutePath(const std::wstring& path) {
  if (path.empty()) return path;
  // GetFullPathNameW returns the length without the terminator when the path
  // fits, else the size needed with it; 0 is failure.
  std::vector<wchar_t> buffer(path.size() + MAX_PATH);
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

std::wstring longPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  return withLongPathPrefix(absolutePath(path));
}

namespace {

bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
  // No access rights are needed to ask who a file is.
  ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && GetFileInformationByHandle(file.get(), &info);
}

}  // namespace

bool isSameFile(const std::wstring& a, const std::wstring& b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  if (!fileIdentity(a, first) || !fileIdentity(b, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool pathExists(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(longPathForm(path).c_str(), &data));
  return search.valid();
}

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(longPathForm(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool readFileStart(const std::wstring& path, size_t limit, std::string& bytes) {
  ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size)) return false;
  const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  bytes.assign(fileSize < limit ? static_cast<size_t>(fileSize) : limit, '\0');
  size_t length = 0;
  // A file that grows while it is read gives what it held at the start.
  while (length < bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - length, 1u << 30));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + length, wanted, &read, nullptr)) return false;
    if (read == 0) break;
    length += read;
  }
  bytes.resize(length);
  return true;
}

}  // namespace tarn
