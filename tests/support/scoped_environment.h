#pragma once
// Test support: an environment variable set (or removed) for the life of
// its owner, then restored to what it was.

#include <optional>
#include <string>

namespace tarn::test {

// The variable's value, or std::nullopt when it is not set (per platform).
std::optional<std::wstring> environmentValue(const std::wstring& name);
// std::nullopt removes the variable (per platform).
void setEnvironmentValue(const std::wstring& name, const std::optional<std::wstring>& value);

class ScopedEnvironment {
 public:
  // std::nullopt removes the variable.
  ScopedEnvironment(const std::wstring& name, const std::optional<std::wstring>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> previous_;
};

}  // namespace tarn::test
