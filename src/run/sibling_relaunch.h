#pragma once
// Handing the whole start to the sibling launcher of the other processor
// width ("Pair Product"), which receives this process's own command line.

#include <cstdint>
#include <string>

namespace tarn {

// Starts the sibling and, with "Pair Return Code", waits for it and returns
// its exit code; otherwise, and when it cannot be started, returns 0.
int32_t relaunchSibling(const std::wstring& pairProduct, bool pairReturnCode);

}  // namespace tarn
