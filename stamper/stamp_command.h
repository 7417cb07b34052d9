#pragma once
// The tarn-stamp command: reads the files, stamps, writes OUTPUT, and says
// what went wrong on standard error.

#include <string>
#include <vector>

namespace tarn::stamper {

constexpr int kStampWritten = 0;
constexpr int kStampRefused = 1;
constexpr int kStampUsageError = 2;

// The arguments after the program's name; returns the exit status.
int runStampCommand(const std::vector<std::wstring>& arguments);

}  // namespace tarn::stamper
