#pragma once
// Failures of the string and container primitives (memory exhausted, a length
// or index out of range) cannot be recovered from. They end the process at
// once, with no teardown and no message, with a code that names the failure.

#include <cstdint>

namespace tarn {

enum class FatalFailure : uint32_t {
  NoMemory = 0xC0000017u,          // STATUS_NO_MEMORY
  IndexOutOfRange = 0xC000008Cu,   // EXCEPTION_ARRAY_BOUNDS_EXCEEDED
  Other = 0xC000001Du,             // STATUS_ILLEGAL_INSTRUCTION
};

[[noreturn]] void endProcessOnFatalFailure(FatalFailure failure);

// Routes allocation failures and anything the standard library would throw
// into endProcessOnFatalFailure. Called first thing in main.
void installFatalFailureHandlers();

}  // namespace tarn
