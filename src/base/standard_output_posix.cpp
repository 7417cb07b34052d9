// POSIX: writing launcher text to standard output.
#include <errno.h>
#include <unistd.h>

#include "base/text.h"
#include "base/error_output.h"
#include "base/text_output_posix.h"

namespace tarn {

// UTF-8, written straight to the descriptor so nothing waits in a buffer
// when the VM writes its own output.
void writeTextToDescriptor(int descriptor, const std::wstring& text) {
  std::string bytes = toUtf8(text);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

void writeStandardOutput(const std::wstring& text) { writeTextToDescriptor(STDOUT_FILENO, text); }

}  // namespace tarn
