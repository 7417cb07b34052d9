#pragma once
// Splitting of command-line text into the arguments for the Java main method.
// Only the space (U+0020) separates; a double quote groups only at the start
// of a piece; there are no escapes.

#include <string>
#include <vector>

namespace tarn {

// Appends the pieces of `text` to `pieces`.
void splitCommandLine(const std::wstring& text, std::vector<std::wstring>& pieces);

// The arguments of a whole process command line: trimmed, split, and the
// first piece (the program token) dropped whatever it is.
std::vector<std::wstring> argumentsFromCommandLine(const std::wstring& commandLine);

}  // namespace tarn
