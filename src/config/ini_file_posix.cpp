// IniFile on Linux: the file's bytes as UTF-8 unless a byte order mark
// names another encoding, and our own writer.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/path.h"
#include "base/text.h"
#include "config/ini_file.h"
#include "config/profile_text.h"

namespace tarn {
namespace {

bool writeAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<size_t>(count);
  }
  return true;
}

// Writes a sibling file and renames it over the path, so that a failure on
// the way leaves the old file whole. The file keeps its permissions.
bool replaceFile(const std::string& path, const std::string& bytes) {
  struct stat old {};
  mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace

std::wstring IniFile::fileText(const std::wstring& path) {
  std::string bytes;
  if (!readFileStart(path, SIZE_MAX, bytes)) return std::wstring();
  return decodeProfileFile(bytes);
}

bool IniFile::writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  const std::string path = toUtf8(path_);
  // A missing file is written anew; one that is there but cannot be read (a
  // folder, a FIFO, no permission) is left alone.
  std::string bytes;
  if (!readFileStart(path_, SIZE_MAX, bytes) && pathExists(path_)) return false;
  const ProfileEncoding encoding = detectProfileEncoding(bytes);
  std::wstring text = decodeProfileFile(bytes);
  // Bytes that do not survive decoding (malformed UTF-8, unpaired
  // surrogates) would be lost by a rewrite: leave such a file alone.
  if (encodeProfileFile(text, encoding) != bytes) return false;
  if (!profileWriteString(text, section, key, value)) return false;
  if (!replaceFile(path, encodeProfileFile(text, encoding))) return false;
  keepText(std::move(text));
  return true;
}

}  // namespace tarn
