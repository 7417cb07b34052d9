#pragma once
// The owner of a POSIX file descriptor, beside ScopedHandle on Windows.

#include <unistd.h>

namespace tarn {

class ScopedDescriptor {
 public:
  explicit ScopedDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~ScopedDescriptor() { close(); }
  ScopedDescriptor(const ScopedDescriptor&) = delete;
  ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;
  int get() const { return descriptor_; }
  // Closes the one held and takes `descriptor`.
  void reset(int descriptor) {
    close();
    descriptor_ = descriptor;
  }
  // The result of close(2), for a file whose last write it may report.
  int close() {
    const int result = descriptor_ >= 0 ? ::close(descriptor_) : 0;
    descriptor_ = -1;
    return result;
  }

 private:
  int descriptor_;
};

}  // namespace tarn
