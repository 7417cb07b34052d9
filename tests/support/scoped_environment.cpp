#include "support/scoped_environment.h"

namespace tarn::test {

ScopedEnvironment::ScopedEnvironment(const std::wstring& name, const std::optional<std::wstring>& value)
    : name_(name), previous_(environmentValue(name)) {
  setEnvironmentValue(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { setEnvironmentValue(name_, previous_); }

}  // namespace tarn::test
