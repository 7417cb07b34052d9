#pragma once
// The test VM's log: one line per call it receives, appended to the file
// named by TARN_TESTVM_LOG (nothing is written when the variable is unset).
// Text is UTF-8; characters that would break a line are escaped.

#include <windows.h>

#include <string>

namespace tarn::testvm {

// Exit codes of a process in which the test VM met something a real VM
// would not survive or a launcher must not do. Distinct from every code a
// scenario expects.
constexpr UINT kUnexpectedJniCall = 0x7E570001;
constexpr UINT kMisuse = 0x7E570002;
constexpr UINT kBadScenario = 0x7E570003;
constexpr UINT kWouldHang = 0x7E570004;

void logLine(const std::string& line);

// Logs "fault: <text>", writes the same to the process's standard error
// and ends the process with `code`.
[[noreturn]] void fail(UINT code, const std::string& text);

// Narrow text (an option string in the ANSI code page) made safe for one
// log line: bytes below 0x20, 0x7F and above are written as \xNN.
std::string escapeNarrow(const std::string& text);

// UTF-16 text (a Java string, a path, an environment value) as UTF-8 with
// control characters written as \xNN and unpaired surrogates as \uDXXX.
std::string escapeWide(const std::u16string& text);
std::string escapeWide(const std::wstring& text);

// escapeWide between double quotes.
std::string quoted(const std::u16string& text);
std::string quoted(const std::wstring& text);

// UTF-8 of UTF-16 text, unpaired surrogates as U+FFFD (for output streams).
std::string utf8(const std::u16string& text);
std::u16string utf16(const std::string& utf8Text);
std::u16string utf16(const std::wstring& text);
std::wstring wide(const std::u16string& text);

// The module path of the DLL this code is linked into.
std::wstring ownModulePath();

// One of the TARN_TESTVM_* settings: the environment variable, or, when it
// is unset, its line NAME=value in testvm.env beside the DLL (for a process
// whose environment the test does not choose, such as a service). False
// when neither has it.
bool testSetting(const wchar_t* name, std::wstring& value);

}  // namespace tarn::testvm
