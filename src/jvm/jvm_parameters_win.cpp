// Windows: the machine's memory figures and the narrow text of the thread's code page.
#include <windows.h>

#include "jvm/jvm_parameters.h"

namespace tarn {

MemoryStatus currentMemoryStatus() {
  // GlobalMemoryStatus reports what this process can use: in a 32-bit
  // process its figures stop at the process's address space (2 GB without
  // large-address awareness), so a percentage of "physical" memory stays a
  // heap that a 32-bit VM can reserve. The 64-bit figures of the Ex form
  // would ask such a VM for more than it can ever map.
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  MemoryStatus memory;
  memory.totalPhysical = status.dwTotalPhys;
  memory.availableVirtual = status.dwAvailVirtual;
  return memory;
}

std::string toJvmCodePage(const std::wstring& text) {
  // With a terminated input WideCharToMultiByte counts the terminator in the
  // size it reports and in what it writes; 0 means failure.
  const int needed = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (needed - 1 < 1) return std::string();
  std::string narrow(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, &narrow[0], needed, nullptr, nullptr) == 0) {
    return std::string();
  }
  narrow.resize(static_cast<size_t>(needed - 1));
  return narrow;
}

namespace {

bool namesAgain(const std::string& narrow, const std::wstring& path) {
  if (narrow.empty()) return path.empty();
  const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  if (needed <= 0) return false;
  std::wstring back(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), back.data(), needed);
  return back == path;
}

// The short form of the longest leading part of the path that exists, with
// the rest appended as it is; empty when no part has one.
std::wstring shortForm(const std::wstring& path) {
  std::wstring head = path;
  std::wstring tail;
  for (;;) {
    const DWORD needed = GetShortPathNameW(head.c_str(), nullptr, 0);
    if (needed != 0) {
      std::wstring shortHead(needed, L'\0');
      const DWORD length = GetShortPathNameW(head.c_str(), shortHead.data(), needed);
      if (length != 0 && length < needed) {
        shortHead.resize(length);
        return shortHead + tail;
      }
    }
    const size_t cut = head.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut == 0) return std::wstring();
    tail = head.substr(cut) + tail;
    head.resize(cut);
  }
}

}  // namespace

std::wstring codePageSafePath(const std::wstring& path) {
  if (namesAgain(toJvmCodePage(path), path)) return path;
  const std::wstring shortPath = shortForm(path);
  if (shortPath.empty() || !namesAgain(toJvmCodePage(shortPath), shortPath)) return std::wstring();
  return shortPath;
}

}  // namespace tarn
