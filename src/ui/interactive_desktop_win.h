#pragma once
// Whether a person can see a window this process opens.

namespace tarn {

// The process's window station is the visible one (a service's, or one a
// scheduler made for a job, is not). A window shown elsewhere would wait
// for an answer no one can give.
bool hasInteractiveDesktop();

}  // namespace tarn
