// POSIX: ending the process on a primitive failure.
#include "base/fatal.h"

#include <unistd.h>

namespace tarn {

// A Linux exit status holds 8 bits: the process ends at once with the low
// byte of the Windows status code, which is what a Linux shell sees of the
// Windows launcher's exit code as well. No teardown runs.
void endProcessOnFatalFailure(FatalFailure failure) {
  _exit(static_cast<int>(static_cast<uint32_t>(failure) & 0xFFu));
}

}  // namespace tarn
