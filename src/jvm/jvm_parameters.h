#pragma once
// The "Virtual Machine Parameters" text turned into separate VM options:
// split at spaces outside double quotes, quotes removed, heap and stack sizes
// given as a percentage of the machine's memory rewritten into kilobytes, and
// the last "-Xss" remembered as the worker thread's stack size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// Figures in bytes.
struct MemoryStatus {
  uint64_t totalPhysical = 0;
  // Address space still free for this process.
  uint64_t availableVirtual = 0;
};

struct NumberGroups {
  // Index of the first digit or ":", or the text's length when there is none.
  size_t position = 0;
  // Empty when the text has no digit and no ":".
  std::vector<uint64_t> numbers;
  // Some number had more digits than 64 bits hold; it reads as UINT64_MAX.
  bool overflow = false;
};

// Index of the first space at or after start that is outside a quoted run,
// or the text's length.
size_t nextParameterEnd(const std::wstring& text, size_t start);

// Each pair of double quotes replaced by the text between them; a doubled
// closing quote leaves one literal quote, a quote without a partner stays.
std::wstring removeQuotePairs(std::wstring parameter);

// -Xms, -Xmx or -Xss (case-sensitive) ending in P, p, T or t.
bool isMemoryPercentOption(const std::wstring& parameter);

// "-Xmx<percent>[:<min MB>[:<max MB>]]P" (of physical memory) or "...T" (of
// the free address space) rewritten as "-Xmx<size>K".
std::wstring expandMemoryPercent(const std::wstring& parameter, const MemoryStatus& memory);

// Reads the digits from the first digit or ":" up to scanEnd: ":" starts a
// new number, other characters are passed over.
NumberGroups parseNumberGroups(const std::wstring& text, size_t scanEnd);

// By the text's last letter: G 2^30, M 2^20, K 2^10 (either case), else 1.
uint64_t unitMultiplier(const std::wstring& text);

// The stack size in bytes of a "-Xss" value (the text after "-Xss"), or 0
// (the VM's default) when the value is not one plain number with an optional
// unit, or when its byte count does not fit in 64 bits.
uint64_t parseStackSize(const std::wstring& value);

// Splits the parameter text, processes each parameter and appends it to the
// list (an empty parameter too). stackSize takes the value of the last
// "-Xss" parameter and is left alone when there is none.
void appendVmParameters(const std::wstring& text, const MemoryStatus& memory, std::vector<std::wstring>& parameters,
                        uint64_t& stackSize);

// Platform side.
MemoryStatus currentMemoryStatus();
// The narrow text the VM receives: the calling thread's ANSI code page on
// Windows, UTF-8 on Linux. Empty when the conversion fails.
std::string toJvmCodePage(const std::wstring& text);
// The path in a form whose narrow text names it again: itself, or on
// Windows its short (8.3) form where the volume has one (for a path that
// does not exist yet, that of its longest existing leading part). Empty when
// neither survives the code page.
std::wstring codePageSafePath(const std::wstring& path);

}  // namespace tarn
