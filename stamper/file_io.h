#pragma once
// Whole files in and out, by the platform's calls.

#include <string>

namespace tarn::stamper {

// The file's bytes. False, with the system's reason, when it cannot be read
// (a folder, a missing file) or is larger than any launcher, icon or
// configuration file would be.
bool readWholeFile(const std::wstring& path, std::string& bytes, std::wstring& why);

// Writes the bytes to a new file in path's folder and renames it over path,
// so that path is never left half written. On failure the new file is
// removed and path is as it was.
bool replaceFile(const std::wstring& path, const std::string& bytes, std::wstring& why);

// One line (a line end is added) on standard error or standard output.
void writeErrorLine(const std::wstring& line);
void writeOutputLine(const std::wstring& line);

}  // namespace tarn::stamper
