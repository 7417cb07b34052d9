#include <windows.h>

#include <algorithm>

#include "base/path_win.h"
#include "base/scoped_handle_win.h"
#include "base/text.h"
#include "base/text_output_win.h"
#include "stamper/file_io.h"

namespace tarn::stamper {
namespace {

constexpr LONGLONG kLargestFile = 256ll << 20;

std::wstring systemReason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason = length != 0 ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = L"system error";
  return reason + L" (error " + unsignedDecimalText(error) + L")";
}

// The folder part of a path: before the last "\" or "/", or after "C:".
std::wstring folderOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) return path.substr(0, separator + 1);
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  return std::wstring();
}

bool writeAll(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
    DWORD count = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &count, nullptr) || count == 0) return false;
    written += count;
  }
  return true;
}

}  // namespace

bool readWholeFile(const std::wstring& path, std::string& bytes, std::wstring& why) {
  bytes.clear();
  ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    why = systemReason(GetLastError());
    return false;
  }
  if (size.QuadPart > kLargestFile) {
    why = L"it is larger than 256 MiB";
    return false;
  }
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD count = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &count, nullptr)) {
      why = systemReason(GetLastError());
      return false;
    }
    if (count == 0) break;
    done += count;
  }
  bytes.resize(done);
  return true;
}

bool replaceFile(const std::wstring& path, const std::string& bytes, std::wstring& why) {
  const std::wstring target = longPathForm(path);
  // The temporary file beside the output, so that the rename stays on one volume.
  std::wstring temporary;
  ScopedFileHandle file;
  DWORD error = ERROR_FILE_EXISTS;
  for (unsigned attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
    temporary = longPathForm(folderOf(path) + L".tarn-stamp-" + unsignedDecimalText(GetCurrentProcessId()) + L"-" +
                             unsignedDecimalText(attempt) + L".tmp");
    file.reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
  }
  if (!file) {
    why = systemReason(error);
    return false;
  }
  if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
    error = GetLastError();
    if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
  }
  file.reset();
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temporary.c_str());
    why = systemReason(error);
    return false;
  }
  return true;
}

void writeErrorLine(const std::wstring& line) { writeTextToHandle(GetStdHandle(STD_ERROR_HANDLE), line + L"\n"); }
void writeOutputLine(const std::wstring& line) { writeTextToHandle(GetStdHandle(STD_OUTPUT_HANDLE), line + L"\n"); }

}  // namespace tarn::stamper
