#pragma once
// The Java Exception dialog: the stack trace of an exception that ended the
// main method, and the choice between going on and stopping the application.

#include <string>

namespace tarn {

// Shows the dialog modally with `trace` in its text box. True when the user
// chose Stop; Ignore, the close box and a dialog that cannot be shown go on.
bool askToStopAfterException(const std::wstring& trace);

}  // namespace tarn
