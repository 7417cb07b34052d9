#include "base/fatal.h"

#include <exception>
#include <new>

namespace tarn {

void installFatalFailureHandlers() {
  // operator new calls the handler instead of throwing std::bad_alloc.
  std::set_new_handler([] { endProcessOnFatalFailure(FatalFailure::NoMemory); });
  // The launcher catches nothing, so any other throw of the standard library
  // (length_error, out_of_range) arrives here. The Windows build throws
  // nothing: fatal_win.cpp ends the process where the library would throw,
  // and its static executable is spared the exception runtime this pulls in.
#ifndef _WIN32
  std::set_terminate([] { endProcessOnFatalFailure(FatalFailure::Other); });
#endif
}

}  // namespace tarn
