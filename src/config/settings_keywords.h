#pragma once
// The keyword values of the configuration file and what each one sets. Pure
// functions over the value text, so every rule is checked without a file.

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/java_version.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

// Minimum Version (fill 0) and Maximum Version (fill 65535): exactly "any"
// gives every part the fill value; any other text is a version text whose
// missing parts take the fill value.
JavaVersion versionBoundFor(const std::wstring& value, int32_t fill);

// Application Type: exactly "service".
bool isServiceType(const std::wstring& value);

// JVM Type: exactly "server" or "favor_server"; anything else is Any.
JvmType jvmTypeFor(const std::wstring& value);

// JVM Source (exact): the empty value keeps `any` and turns both others on;
// an unknown value turns all three off.
void applyJvmSource(const std::wstring& value, JvmSourceFlags& flags);

// VM Provider (no-case): a known name sets all six flags; the empty value
// and an unknown name keep them.
void applyVmProvider(const std::wstring& value, VmProviderFlags& flags);

// Flags written "Yes" in any case of letters (Failure Check, Override
// WorkingDir, Pair Return Code, Embedded Jar).
bool isYesIgnoringCase(const std::wstring& value);
// Flags that take exactly the lower-case "yes" (Single Instance, Output
// Append, Error Append).
bool isLowerCaseYes(const std::wstring& value);

// Restart Exit Code: decimal exit codes, a minus sign allowed, separated by
// ";" or ","; white space around each is ignored. A part that is no such
// code is left out and named in `rejected` (the first one).
std::vector<int32_t> exitCodesFor(const std::wstring& value, std::wstring& rejected);

// Keep Output Files: a count from 1 to 100000; 0 (keep all) for the empty
// value and anything else, which sets `invalid`.
uint32_t keptFileCountFor(const std::wstring& value, bool& invalid);

}  // namespace tarn
