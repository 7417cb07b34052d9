// POSIX: environment variables through getenv and setenv, as UTF-8, and
// their expansion (our own, with the Windows %NAME% syntax).
#include <stdlib.h>

#include "base/environment.h"
#include "base/text.h"

namespace tarn {

bool readEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  if (name.empty() || name.find(L'=') != std::wstring::npos) return false;
  const char* found = getenv(toUtf8(name).c_str());
  if (found == nullptr) return false;
  value = fromUtf8(found);
  return true;
}

void expandEnvironment(std::wstring& text) {
  if (text.find(L'%') == std::wstring::npos) return;
  text = expandReferences(text, readEnvironmentVariable);
}

void setEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  setenv(toUtf8(name).c_str(), toUtf8(value).c_str(), 1);
}

void removeEnvironmentVariable(const std::wstring& name) { unsetenv(toUtf8(name).c_str()); }

}  // namespace tarn
