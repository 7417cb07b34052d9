// POSIX: environment variables through getenv, as UTF-8.
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

}  // namespace tarn
