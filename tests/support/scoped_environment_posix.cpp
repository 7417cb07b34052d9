#include <stdlib.h>

#include "base/text.h"
#include "support/scoped_environment.h"

namespace tarn::test {

std::optional<std::wstring> environmentValue(const std::wstring& name) {
  const char* value = getenv(toUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return fromUtf8(value);
}

void setEnvironmentValue(const std::wstring& name, const std::optional<std::wstring>& value) {
  if (value) {
    setenv(toUtf8(name).c_str(), toUtf8(*value).c_str(), 1);
  } else {
    unsetenv(toUtf8(name).c_str());
  }
}

}  // namespace tarn::test
