#pragma once
// What the start-up sequence asks of the platform.

#include <string>
#include <vector>

namespace tarn {

// Before anything else: on Windows, no system message box waits for a click
// (a drive without a disk, a file that cannot be opened), and the current
// directory is out of the DLL search. Nothing to do on Linux.
void protectProcess();

// A windowless build (the Windows GUI subsystem) shows its error lines in
// message boxes; a console program keeps them on standard output.
void routeErrorsOfWindowlessProgram();

// Linux has no raw command line: main hands its argument vector over here.
// Windows reads its command line from the system and ignores this.
void rememberProgramArguments(int argc, char** argv);

// The arguments for the Java main method from the process's command line,
// the program token left out.
std::vector<std::wstring> processArguments();

// Makes the system's default locale the one that later text handling uses:
// on Windows the calling thread's, for narrow-text conversions in its code
// page; on Linux the character classes' (base/character_classes_posix.h).
void useSystemDefaultLocale();

// Result not reported: a failed change leaves the current directory.
void changeCurrentDirectory(const std::wstring& folder);

}  // namespace tarn
