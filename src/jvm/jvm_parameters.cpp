#include "jvm/jvm_parameters.h"

#include <limits>

#include "base/text.h"

namespace tarn {
namespace {

constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// a × b, or UINT64_MAX when the product does not fit.
uint64_t saturatingProduct(uint64_t a, uint64_t b) {
  if (a != 0 && b > kLargest / a) return kLargest;
  return a * b;
}

uint64_t numberAt(const std::vector<uint64_t>& numbers, size_t index) {
  return index < numbers.size() ? numbers[index] : 0;
}

bool startsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

}  // namespace

size_t nextParameterEnd(const std::wstring& text, size_t start) {
  size_t from = start;
  while (from < text.size()) {
    size_t space = text.find(L' ', from);
    if (space == std::wstring::npos) return text.size();
    size_t quote = text.find(L'"', from);
    if (quote == std::wstring::npos || space < quote) return space;
    size_t closing = text.find(L'"', quote + 1);
    // An unclosed quote protects nothing.
    if (closing == std::wstring::npos) return space;
    if (closing + 1 < text.size() && text[closing + 1] == L'"') ++closing;
    from = closing + 1;
  }
  return text.size();
}

std::wstring removeQuotePairs(std::wstring parameter) {
  size_t open = parameter.find(L'"');
  while (open != std::wstring::npos) {
    size_t closing = parameter.find(L'"', open + 1);
    if (closing == std::wstring::npos) break;
    // Of a doubled closing quote the first stays, as a literal quote.
    if (closing + 1 < parameter.size() && parameter[closing + 1] == L'"') ++closing;
    const size_t innerLength = closing - open - 1;
    parameter.erase(closing, 1);
    parameter.erase(open, 1);
    open = parameter.find(L'"', open + innerLength);
  }
  return parameter;
}

bool isMemoryPercentOption(const std::wstring& parameter) {
  if (parameter.size() < 5) return false;
  if (!startsWith(parameter, L"-Xms") && !startsWith(parameter, L"-Xmx") && !startsWith(parameter, L"-Xss")) {
    return false;
  }
  const wchar_t last = parameter.back();
  return last == L'P' || last == L'p' || last == L'T' || last == L't';
}

NumberGroups parseNumberGroups(const std::wstring& text, size_t scanEnd) {
  NumberGroups groups;
  groups.position = text.size();
  for (size_t i = 0; i < text.size(); ++i) {
    if (isDigit(text[i]) || text[i] == L':') {
      groups.position = i;
      break;
    }
  }
  if (groups.position == text.size()) return groups;

  groups.numbers.push_back(0);
  const size_t end = scanEnd < text.size() ? scanEnd : text.size();
  for (size_t i = groups.position; i < end; ++i) {
    const wchar_t c = text[i];
    if (c == L':') {
      groups.numbers.push_back(0);
    } else if (isDigit(c)) {
      uint64_t& number = groups.numbers.back();
      const uint64_t digit = static_cast<uint64_t>(c - L'0');
      if (number > (kLargest - digit) / 10) {
        number = kLargest;
        groups.overflow = true;
      } else {
        number = number * 10 + digit;
      }
    }
  }
  return groups;
}

std::wstring expandMemoryPercent(const std::wstring& parameter, const MemoryStatus& memory) {
  if (parameter.empty()) return parameter;
  // The final letter is not read.
  const NumberGroups groups = parseNumberGroups(parameter, parameter.size() - 1);
  const uint64_t percent = numberAt(groups.numbers, 0);
  const uint64_t minimumMb = numberAt(groups.numbers, 1);
  const uint64_t maximumMb = numberAt(groups.numbers, 2);

  const wchar_t letter = parameter.back();
  const uint64_t baseBytes = letter == L'P' || letter == L'p' ? memory.totalPhysical : memory.availableVirtual;
  // Each step stored as a double: the x87 unit of a 32-bit build would
  // otherwise carry extra precision and truncate to another kilobyte count.
  volatile double baseKb = static_cast<double>(baseBytes >> 10);
  volatile double fraction = static_cast<double>(percent) / 100.0;
  volatile double product = baseKb * fraction;
  const double wanted = product;
  // Converting a double beyond the range of uint64_t is undefined: clamp first.
  constexpr double kBeyondLargest = 18446744073709551616.0;  // 2^64
  uint64_t sizeKb = wanted >= kBeyondLargest ? kLargest : static_cast<uint64_t>(wanted);

  const uint64_t maximumKb = saturatingProduct(maximumMb, 1024);
  const uint64_t minimumKb = saturatingProduct(minimumMb, 1024);
  if (maximumMb != 0 && sizeKb > maximumKb) sizeKb = maximumKb;
  // After the maximum, so the minimum wins when the two conflict.
  if (minimumKb > sizeKb) sizeKb = minimumKb;

  return parameter.substr(0, groups.position) + unsignedDecimalText(sizeKb) + L"K";
}

uint64_t unitMultiplier(const std::wstring& text) {
  if (text.empty()) return 1;
  switch (text.back()) {
    case L'G':
    case L'g':
      return 1073741824;
    case L'M':
    case L'm':
      return 1048576;
    case L'K':
    case L'k':
      return 1024;
    default:
      return 1;
  }
}

uint64_t parseStackSize(const std::wstring& value) {
  const bool hasUnit = unitMultiplier(value) != 1;
  const NumberGroups groups = parseNumberGroups(value, hasUnit ? value.size() - 1 : value.size());
  if (groups.position != 0 || groups.numbers.size() != 1 || groups.overflow) return 0;
  const uint64_t multiplier = unitMultiplier(value);
  const uint64_t number = groups.numbers.front();
  // A size beyond 64 bits is as unreadable as a malformed one.
  if (number > kLargest / multiplier) return 0;
  return number * multiplier;
}

void appendVmParameters(const std::wstring& text, const MemoryStatus& memory, std::vector<std::wstring>& parameters,
                        uint64_t& stackSize) {
  size_t start = text.find_first_not_of(L' ');
  while (start != std::wstring::npos) {
    const size_t end = nextParameterEnd(text, start);
    std::wstring parameter = removeQuotePairs(text.substr(start, end - start));
    if (isMemoryPercentOption(parameter)) parameter = expandMemoryPercent(parameter, memory);
    if (startsWith(parameter, L"-Xss")) stackSize = parseStackSize(parameter.substr(4));
    parameters.push_back(std::move(parameter));
    start = text.find_first_not_of(L' ', end);
  }
}

}  // namespace tarn
