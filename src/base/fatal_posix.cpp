// POSIX: ending the process on a primitive failure.
#include "base/fatal.h"

#include <unistd.h>

#include <exception>
#include <new>

namespace tarn {

// A Linux exit status holds 8 bits: the process ends at once with the low
// byte of the Windows status code, which is what a Linux shell sees of the
// Windows launcher's exit code as well. No teardown runs.
void endProcessOnFatalFailure(FatalFailure failure) {
  _exit(static_cast<int>(static_cast<uint32_t>(failure) & 0xFFu));
}

void installFatalFailureHandlers() {
  // operator new calls the handler instead of throwing std::bad_alloc.
  std::set_new_handler([] { endProcessOnFatalFailure(FatalFailure::NoMemory); });
  // The launcher catches nothing, so any other throw of the standard library
  // (length_error, out_of_range) arrives here.
  std::set_terminate([] { endProcessOnFatalFailure(FatalFailure::Other); });
}

}  // namespace tarn
