#pragma once
// The process's environment variables: read, set, removed, and %NAME%
// references in a text expanded.

#include <functional>
#include <string>

namespace tarn {

// False when the variable is not defined (or the name cannot be one); an
// empty value is a defined variable.
bool readEnvironmentVariable(const std::wstring& name, std::wstring& value);

// Result not reported: a failed change leaves the environment as it was.
void setEnvironmentVariable(const std::wstring& name, const std::wstring& value);
void removeEnvironmentVariable(const std::wstring& name);

// Looks a variable up; false when it is not defined.
using VariableLookup = std::function<bool(const std::wstring& name, std::wstring& value)>;

// Every %NAME% of a defined variable replaced by its value, in one pass from
// the left. An undefined reference stays as written and the scan goes on
// after its closing "%"; a "%" without a partner stays.
std::wstring expandReferences(const std::wstring& text, const VariableLookup& lookup);

// The text with its environment references expanded; a text the system
// cannot expand is left as it is.
void expandEnvironment(std::wstring& text);

}  // namespace tarn
