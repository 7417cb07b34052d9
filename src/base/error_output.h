#pragma once
// The launcher's one error channel: a line "Error: <message> \n" on standard
// output. The caller passes the message text already loaded from the message
// table; texts with placeholders are formatted with the arguments first.

#include <cstdint>
#include <string>

namespace tarn {

// A message without arguments, written as it is ("%" stays literal).
void printError(const std::wstring& message);
void printError(const std::wstring& format, const std::wstring& text);
void printError(const std::wstring& format, const std::wstring& first, const std::wstring& second);
void printError(const std::wstring& format, const std::wstring& text, int32_t number);

// Where the lines go instead of standard output, for a process that has no
// console to show them (a service); null gives them back to standard output.
// Set before the threads that write messages start.
using ErrorSink = void (*)(const std::wstring& line);
void setErrorSink(ErrorSink sink);

// Writes the text to the process's standard output unbuffered; failures are
// ignored. Defined per platform.
void writeStandardOutput(const std::wstring& text);

}  // namespace tarn
