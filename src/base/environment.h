#pragma once
// The process's environment variables, read.

#include <string>

namespace tarn {

// False when the variable is not defined (or the name cannot be one); an
// empty value is a defined variable.
bool readEnvironmentVariable(const std::wstring& name, std::wstring& value);

}  // namespace tarn
