// Windows: the machine's memory figures and the narrow text of the thread's code page.
#include <windows.h>

#include "jvm/jvm_parameters.h"

namespace tarn {

MemoryStatus currentMemoryStatus() {
  // GlobalMemoryStatus reports SIZE_T figures, which cap at 4 GB in a 32-bit
  // process; the Ex form gives 64-bit figures in every process.
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  MemoryStatus memory;
  if (!GlobalMemoryStatusEx(&status)) return memory;
  memory.totalPhysical = status.ullTotalPhys;
  memory.availableVirtual = status.ullAvailVirtual;
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

}  // namespace tarn
