#include "discovery/java_version.h"

#include "base/message_table.h"
#include "base/text.h"

namespace tarn {
namespace {

constexpr int32_t kOpenMaximumPart = 65535;
constexpr int64_t kLargestPart = 2147483647;

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool allPartsAre(const JavaVersion& version, int32_t value) {
  for (int32_t part : version.parts) {
    if (part != value) return false;
  }
  return true;
}

}  // namespace

JavaVersion parseJavaVersion(const std::wstring& text, int32_t fill) {
  JavaVersion version;
  size_t position = 0;
  size_t groups = 0;
  while (groups < version.parts.size()) {
    while (position < text.size() && !isDigit(text[position])) ++position;
    if (position == text.size()) break;
    int64_t value = 0;
    while (position < text.size() && isDigit(text[position])) {
      value = value * 10 + (text[position] - L'0');
      // Checked after every digit, so a run of any length cannot overflow.
      if (value > kLargestPart) return JavaVersion();
      ++position;
    }
    version.parts[groups++] = static_cast<int32_t>(value);
  }
  // A text without digits stays 0.0.0.0, with no fill.
  if (groups == 0) return version;
  for (size_t i = groups; i < version.parts.size(); ++i) version.parts[i] = fill;
  return version;
}

int compareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
  for (size_t i = 0; i < a.parts.size(); ++i) {
    if (a.parts[i] < b.parts[i]) return -1;
    if (a.parts[i] > b.parts[i]) return 1;
  }
  return 0;
}

bool matchesPreferredVersion(const JavaVersion& candidate, const JavaVersion& preferred) {
  size_t significant = preferred.parts.size();
  while (significant > 0 && preferred.parts[significant - 1] == 0) --significant;
  for (size_t i = 0; i < significant; ++i) {
    if (candidate.parts[i] != preferred.parts[i]) return false;
  }
  return true;
}

bool isOpenBound(const JavaVersion& version) {
  return allPartsAre(version, 0) || allPartsAre(version, kOpenMaximumPart);
}

std::wstring formatJavaVersion(const JavaVersion& version) {
  size_t count = version.parts.size();
  while (count > 0 && (version.parts[count - 1] == 0 || version.parts[count - 1] == kOpenMaximumPart)) --count;
  if (count == 0) return L"0.0.0.0";
  if (count < 2) count = 2;
  std::wstring text;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) text += L'.';
    text += decimalText(version.parts[i]);
  }
  return text;
}

std::wstring fullVersionText(const JavaVersion& version) {
  std::wstring text;
  for (int32_t part : version.parts) {
    if (!text.empty()) text += L'.';
    text += decimalText(part);
  }
  return text;
}

std::wstring describeVersionRequirement(const JavaVersion& minimum, const JavaVersion& maximum) {
  bool openMinimum = isOpenBound(minimum);
  bool openMaximum = isOpenBound(maximum);
  if (openMinimum && openMaximum) return formatMessage(MessageId::LatestVersion, {});
  if (openMinimum) return formatMessage(MessageId::MaximumVersion, {formatJavaVersion(maximum)});
  if (openMaximum) return formatMessage(MessageId::MinimumVersion, {formatJavaVersion(minimum)});
  if (minimum == maximum) return formatMessage(MessageId::ExactVersion, {formatJavaVersion(minimum)});
  return formatMessage(MessageId::VersionBetween, {formatJavaVersion(minimum), formatJavaVersion(maximum)});
}

}  // namespace tarn
