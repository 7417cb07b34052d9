#include "discovery/release_file.h"

#include <cstring>

#include "base/path.h"

namespace tarn {
namespace {

// A release file is a few lines; its versions are in the first of them.
constexpr size_t kReleaseFileStart = 4096;

}  // namespace

bool releaseValue(const std::string& text, const char* key, std::wstring& value) {
  const size_t keyLength = std::strlen(key);
  for (size_t line = 0; line < text.size();) {
    size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, keyLength, key) == 0 && line + keyLength < end && text[line + keyLength] == '=') {
      size_t first = line + keyLength + 1;
      size_t last = end;
      while (last > first && (text[last - 1] == '\r' || text[last - 1] == ' ')) --last;
      if (last - first >= 2 && text[first] == '"' && text[last - 1] == '"') {
        ++first;
        --last;
      }
      // Byte by byte: only its digits count, and no byte turns negative.
      value.clear();
      for (size_t i = first; i < last; ++i) value.push_back(static_cast<unsigned char>(text[i]));
      return !value.empty();
    }
    line = end + 1;
  }
  return false;
}

bool javaVersionOfRelease(const std::string& text, std::wstring& version) {
  return releaseValue(text, "JAVA_VERSION", version);
}

bool readReleaseFile(const std::wstring& path, std::string& bytes) {
  return readFileStart(path, kReleaseFileStart, bytes);
}

}  // namespace tarn
