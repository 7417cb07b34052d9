#include "config/settings_keywords.h"

#include <cstddef>
#include <cstdint>

#include "base/text.h"

namespace tarn {
namespace {

struct JvmSourceRow {
  const wchar_t* value;
  bool any;
  bool jdk;
  bool jre;
};

const JvmSourceRow kJvmSources[] = {
    {L"favor_JRE", true, false, true},
    {L"favor_JDK", true, true, false},
    {L"only_JDK", false, true, false},
    {L"only_JRE", false, false, true},
};

struct VmProviderRow {
  const wchar_t* value;
  VmProviderFlags flags;
};

// Compared in this order; the first match wins.
const VmProviderRow kVmProviders[] = {
    {L"jrockit", {true, true, false, false, false, false}},
    {L"ibm", {false, false, false, false, true, true}},
    {L"favor_sun", {true, false, true, true, true, false}},
    {L"favor_jrockit", {true, true, true, false, true, false}},
    {L"favor_ibm", {true, false, true, false, true, true}},
    {L"any", {true, false, true, false, true, false}},
};

}  // namespace

JavaVersion versionBoundFor(const std::wstring& value, int32_t fill) {
  if (value == L"any") {
    JavaVersion bound;
    bound.parts.fill(fill);
    return bound;
  }
  return parseJavaVersion(value, fill);
}

bool isServiceType(const std::wstring& value) { return value == L"service"; }

JvmType jvmTypeFor(const std::wstring& value) {
  if (value == L"server") return JvmType::Server;
  if (value == L"favor_server") return JvmType::FavorServer;
  return JvmType::Any;
}

void applyJvmSource(const std::wstring& value, JvmSourceFlags& flags) {
  if (value.empty()) {
    flags.jdk = true;
    flags.jre = true;
    return;
  }
  for (const JvmSourceRow& row : kJvmSources) {
    if (value == row.value) {
      flags = {row.any, row.jdk, row.jre};
      return;
    }
  }
  flags = {false, false, false};
}

void applyVmProvider(const std::wstring& value, VmProviderFlags& flags) {
  if (value.empty()) return;
  for (const VmProviderRow& row : kVmProviders) {
    if (equalsNoCase(value, row.value)) {
      flags = row.flags;
      return;
    }
  }
}

bool isYesIgnoringCase(const std::wstring& value) { return equalsNoCase(value, L"Yes"); }

bool isLowerCaseYes(const std::wstring& value) { return value == L"yes"; }

namespace {

// Decimal digits alone, "-" first when `negative` is allowed, no larger than `limit`.
bool readBoundedNumber(const std::wstring& text, bool negative, int64_t limit, int64_t& number) {
  std::size_t i = negative && !text.empty() && text[0] == L'-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    value = value * 10 + (text[i] - L'0');
    if (value > limit + 1) return false;
  }
  if (text[0] == L'-') value = -value;
  if (value > limit || value < -limit - 1) return false;
  number = value;
  return true;
}

}  // namespace

std::vector<int32_t> exitCodesFor(const std::wstring& value, std::wstring& rejected) {
  std::vector<int32_t> codes;
  for (const std::wstring& part : splitAtSeparator(replaceAll(value, L',', L';'), L';')) {
    const std::wstring code = trimWhiteSpace(part);
    int64_t number = 0;
    if (readBoundedNumber(code, true, INT32_MAX, number)) {
      codes.push_back(static_cast<int32_t>(number));
    } else if (rejected.empty()) {
      rejected = code.empty() ? L"(empty)" : code;
    }
  }
  return codes;
}

uint32_t keptFileCountFor(const std::wstring& value, bool& invalid) {
  const std::wstring text = trimWhiteSpace(value);
  int64_t number = 0;
  invalid = false;
  if (text.empty()) return 0;
  if (readBoundedNumber(text, false, 100000, number) && number >= 1) return static_cast<uint32_t>(number);
  invalid = true;
  return 0;
}

}  // namespace tarn
