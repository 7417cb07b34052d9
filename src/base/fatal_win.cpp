// Windows: ending the process on a primitive failure.
#include "base/fatal.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace tarn {

// The process ends with the failure's status code as its exit code, as an
// unhandled structured exception would end it, but without the error-report
// window or debugger start that an unhandled exception can bring up on a
// desktop or under Wine: a launcher must never hang its caller.
void endProcessOnFatalFailure(FatalFailure failure) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(failure));
  // TerminateProcess of the own process does not return; be certain anyway.
  ExitProcess(static_cast<UINT>(failure));
}

void installFatalFailureHandlers() {
  // operator new calls the handler instead of throwing std::bad_alloc. No
  // terminate handler: nothing here throws (below), and installing one would
  // bring the exception runtime into the static executable.
  std::set_new_handler([] { endProcessOnFatalFailure(FatalFailure::NoMemory); });
}

}  // namespace tarn

// The launcher is built without exceptions, and every way the C++ runtime
// would raise one ends the process here instead, with the codes the new and
// terminate handlers give on Linux. Defining the runtime's raising points
// keeps its exception machinery, and the thread library that machinery needs,
// out of the static executable.

// Allocation: a request that cannot be met ends the process (NoMemory), the
// nothrow form as well, as it does with the new handler installed.
void* operator new(size_t size) {
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) tarn::endProcessOnFatalFailure(tarn::FatalFailure::NoMemory);
  return block;
}
void* operator new[](size_t size) { return ::operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return ::operator new(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

// The failures of the containers, strings and std::function (a length or an
// index out of range, an impossible array size, an empty function called),
// which would end in std::terminate (Other).
namespace {
[[noreturn]] void endOnLibraryFailure() { tarn::endProcessOnFatalFailure(tarn::FatalFailure::Other); }
}  // namespace

namespace std {
void __throw_bad_exception() { endOnLibraryFailure(); }
void __throw_bad_alloc() { endOnLibraryFailure(); }
void __throw_bad_array_new_length() { endOnLibraryFailure(); }
void __throw_bad_cast() { endOnLibraryFailure(); }
void __throw_bad_typeid() { endOnLibraryFailure(); }
void __throw_logic_error(const char*) { endOnLibraryFailure(); }
void __throw_domain_error(const char*) { endOnLibraryFailure(); }
void __throw_invalid_argument(const char*) { endOnLibraryFailure(); }
void __throw_length_error(const char*) { endOnLibraryFailure(); }
void __throw_out_of_range(const char*) { endOnLibraryFailure(); }
void __throw_out_of_range_fmt(const char*, ...) { endOnLibraryFailure(); }
void __throw_runtime_error(const char*) { endOnLibraryFailure(); }
void __throw_range_error(const char*) { endOnLibraryFailure(); }
void __throw_overflow_error(const char*) { endOnLibraryFailure(); }
void __throw_underflow_error(const char*) { endOnLibraryFailure(); }
void __throw_bad_function_call() { endOnLibraryFailure(); }
}  // namespace std

// std::terminate's default handler, should anything still get there. The
// runtime's own one prints the exception's type name, which brings the C++
// name demangler and the C library's formatted output into the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { tarn::endProcessOnFatalFailure(tarn::FatalFailure::Other); }
}  // namespace __gnu_cxx
