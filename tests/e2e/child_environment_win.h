#pragma once
// The environment the end-to-end helpers (exitcode.exe, instances.exe) give
// the programs they start.

#include <string>

namespace tarn::e2e {

// An environment variable's value; false when it is not set.
bool readVariable(const wchar_t* name, std::wstring& value);

// Removes every TARN_E2E_* variable, sets NAME for every TARN_E2E_SET_NAME and
// removes NAME for every TARN_E2E_UNSET_NAME.
void prepareChildEnvironment();

}  // namespace tarn::e2e
