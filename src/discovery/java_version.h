#pragma once
// Java version numbers: four signed 32-bit parts, most significant first.
// 0.0.0.0 and 65535.65535.65535.65535 are the two open bounds.

#include <array>
#include <cstdint>
#include <string>

namespace tarn {

struct JavaVersion {
  std::array<int32_t, 4> parts{0, 0, 0, 0};

  bool operator==(const JavaVersion& other) const { return parts == other.parts; }
  bool operator!=(const JavaVersion& other) const { return parts != other.parts; }
};

// Reads up to four digit groups; any other characters only separate them.
// The parts after the last group read take `fill`. A text without digits, or
// a group above 2147483647, gives 0.0.0.0.
JavaVersion parseJavaVersion(const std::wstring& text, int32_t fill);

// -1, 0 or 1, part by part from the first.
int compareJavaVersions(const JavaVersion& a, const JavaVersion& b);

// Trailing zero parts of the preferred version are wildcards.
bool matchesPreferredVersion(const JavaVersion& candidate, const JavaVersion& preferred);

bool isOpenBound(const JavaVersion& version);

// Parts up to the last one that is neither 0 nor 65535, at least two;
// "0.0.0.0" when there is none.
std::wstring formatJavaVersion(const JavaVersion& version);

// All four parts, as the bounds are compared: "1.8.0.0".
std::wstring fullVersionText(const JavaVersion& version);

// The phrase that names the accepted versions (messages 217 to 221).
std::wstring describeVersionRequirement(const JavaVersion& minimum, const JavaVersion& maximum);

}  // namespace tarn
