#pragma once
// Test support (Windows): the kernel handle values open in this process, so
// a test can show that a call left none behind.

#include <cstdint>
#include <vector>

namespace tarn::test {

// Found by asking about each low value in turn (the handle count is not
// available everywhere).
std::vector<uintptr_t> openHandles();

}  // namespace tarn::test
