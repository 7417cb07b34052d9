#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/path.h"
#include "base/scoped_descriptor_posix.h"
#include "base/text.h"
#include "base/text_output_posix.h"
#include "stamper/file_io.h"

namespace tarn::stamper {
namespace {

constexpr size_t kLargestFile = 256u << 20;

std::wstring systemReason(int error) { return fromUtf8(std::strerror(error)); }

// 0, or the error that stopped the writing.
int writeAll(int descriptor, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) return EIO;
    written += static_cast<size_t>(count);
  }
  return 0;
}

// A new file gets the permissions the output had, or what a linker gives an
// executable. The output itself is looked at, not what a link names (the
// rename replaces the link), and a setuid or setgid bit is never carried
// over to the new contents.
mode_t modeFor(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) return status.st_mode & 0777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0777 & ~mask;
}

}  // namespace

bool readWholeFile(const std::wstring& path, std::string& bytes, std::wstring& why) {
  bytes.clear();
  ScopedDescriptor file(::open(toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    why = systemReason(errno);
    return false;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(file.get(), buffer, sizeof(buffer));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      why = systemReason(errno);
      return false;
    }
    if (count == 0) return true;
    if (bytes.size() + static_cast<size_t>(count) > kLargestFile) {
      why = L"it is larger than 256 MiB";
      return false;
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
}

bool replaceFile(const std::wstring& path, const std::string& bytes, std::wstring& why) {
  const std::string target = toUtf8(path);
  std::wstring folder = parentFolder(path, L'/');
  if (folder.empty()) folder = path.compare(0, 1, L"/") == 0 ? L"/" : L".";
  std::string temporary = toUtf8(withTrailingSeparator(folder, L'/')) + ".tarn-stamp-XXXXXX";
  ScopedDescriptor file(::mkstemp(temporary.data()));
  if (file.get() < 0) {
    why = systemReason(errno);
    return false;
  }
  int error = writeAll(file.get(), bytes);
  if (error == 0 && (::fchmod(file.get(), modeFor(target)) != 0 || ::fsync(file.get()) != 0)) error = errno;
  if (file.close() != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    why = systemReason(error);
    return false;
  }
  return true;
}

void writeErrorLine(const std::wstring& line) { writeTextToDescriptor(2, line + L"\n"); }
void writeOutputLine(const std::wstring& line) { writeTextToDescriptor(1, line + L"\n"); }

}  // namespace tarn::stamper
