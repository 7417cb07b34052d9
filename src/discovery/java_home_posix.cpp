// POSIX: the Java home layout and the PE header test from two small reads.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/scoped_descriptor_posix.h"
#include "base/text.h"
#include "discovery/java_home.h"

namespace tarn {

const JavaHomeLayout& nativeJavaHomeLayout() { return kPosixJavaHomeLayout; }

namespace {

// Up to `size` bytes from `offset`; fewer at the end of the file.
bool readAt(int descriptor, off_t offset, uint8_t* buffer, size_t size, size_t& filled) {
  filled = 0;
  while (filled < size) {
    ssize_t count = pread(descriptor, buffer + filled, size - filled, offset + static_cast<off_t>(filled));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) break;
    filled += static_cast<size_t>(count);
  }
  return true;
}

}  // namespace

bool readPeFileMachine(const std::wstring& path, uint16_t& machine) {
  // Non-blocking, so that a FIFO of that name cannot stall the open.
  ScopedDescriptor file(open(toUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return false;
  struct stat info;
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;

  // Two small reads instead of the whole file: the NT headers may lie
  // anywhere the 32-bit offset reaches.
  uint8_t dosHeader[kPeDosHeaderSize];
  size_t filled = 0;
  uint32_t offset = 0;
  if (!readAt(file.get(), 0, dosHeader, sizeof dosHeader, filled)) return false;
  if (!peHeadersOffset(dosHeader, filled, offset)) return false;
  uint8_t ntHeaders[kPeMachineEnd];
  if (!readAt(file.get(), static_cast<off_t>(offset), ntHeaders, sizeof ntHeaders, filled)) return false;
  return peMachineOfNtHeaders(ntHeaders, filled, machine);
}

}  // namespace tarn
