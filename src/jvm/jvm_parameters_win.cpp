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

}  // namespace tarn
