// A windowless launcher (the GUI-subsystem build) has no console of its own:
// each error line is shown in a message box titled with the executable's
// name, and written where a console program's would go as well (standard
// output when it was redirected, otherwise the console of the program that
// started it, if any).
#include <windows.h>

#include <string>

#include "base/error_output.h"
#include "base/path.h"
#include "base/scoped_handle_win.h"
#include "base/text_output_win.h"
#include "config/launcher_paths.h"
#include "launcher/process_platform.h"
#include "launcher/windowless_errors_win.h"
#include "ui/interactive_desktop_win.h"

namespace tarn {
namespace {

bool hasStandardOutput() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output != nullptr && output != INVALID_HANDLE_VALUE;
}

// Attached only for the line: attached for longer, the parent console's
// Ctrl+C would end the application.
void writeToParentConsole(const std::wstring& line) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  {
    ScopedFileHandle console(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (console) writeTextToHandle(console.get(), line);
  }
  FreeConsole();
}

// The message itself, without the line's "Error: " and " \n".
std::wstring messageOf(const std::wstring& line) {
  static const std::wstring kPrefix = L"Error: ";
  static const std::wstring kEnd = L" \n";
  size_t first = line.compare(0, kPrefix.size(), kPrefix) == 0 ? kPrefix.size() : 0;
  size_t last = line.size();
  if (last - first >= kEnd.size() && line.compare(last - kEnd.size(), kEnd.size(), kEnd) == 0) last -= kEnd.size();
  return line.substr(first, last - first);
}

void showErrorLine(const std::wstring& line) {
  if (hasStandardOutput()) {
    writeStandardOutput(line);
  } else {
    writeToParentConsole(line);
  }
  // Nobody could answer a box on another window station.
  if (!hasInteractiveDesktop()) return;
  MessageBoxW(nullptr, messageOf(line).c_str(), programName().c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

bool isWindowlessImage() {
  const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

std::wstring programName() {
  std::wstring path;
  uint32_t error = 0;
  if (!queryModulePath(path, error)) return std::wstring();
  return withoutExtension(fileNameOf(path, kWindowsPathStyle));
}

void routeErrorsOfWindowlessProgram() {
  if (isWindowlessImage()) setErrorSink(&showErrorLine);
}

}  // namespace tarn
