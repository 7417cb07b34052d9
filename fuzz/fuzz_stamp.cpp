// Log file names: the stamp between the "%" signs, the time and date picture
// passes, and the folder walk's path split and creation rules (on a file
// system in memory). The first 32 bytes are the clock reading, out-of-range
// values included; the rest is UTF-16 text (two bytes per code unit).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/parent_directories.h"
#include "jvm/output_redirection.h"
#include "jvm/time_pictures.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

std::wstring utf16Units(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

tarn::LocalTime clockReading(const uint8_t* data) {
  int32_t fields[8];
  std::memcpy(fields, data, sizeof(fields));
  return tarn::LocalTime{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7]};
}

// Outcomes chosen from the path's text, so the same input behaves the same.
class MemoryFolders : public tarn::FolderOperations {
 public:
  std::set<std::wstring> made;
  std::set<std::wstring> removed;

  bool exists(const std::wstring& path) override { return hash(path) % 5 == 0; }
  Outcome createFolder(const std::wstring& path, uint32_t& error) override {
    require(made.count(path) == 0);
    switch (hash(path) % 4) {
      case 0:
        error = 5;
        return Outcome::Failed;
      case 1:
        return Outcome::AlreadyExists;
      default:
        made.insert(path);
        return Outcome::Created;
    }
  }
  void removeFolder(const std::wstring& path) override {
    require(made.count(path) == 1 && removed.count(path) == 0);
    removed.insert(path);
  }

 private:
  static uint32_t hash(const std::wstring& text) {
    uint32_t value = 2166136261u;
    for (wchar_t c : text) value = (value ^ static_cast<uint32_t>(c)) * 16777619u;
    return value;
  }
};

void checkSplitAndWalk(const std::wstring& path, const tarn::PathStyle& style) {
  const std::vector<std::wstring> parts = tarn::splitPathForCreation(path, style);
  require(parts.empty() == path.empty());
  if (!parts.empty()) {
    // The parts joined again give the path, less a final separator.
    std::wstring joined = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) joined += style.separator + parts[i];
    require(joined == path || joined + style.separator == path);
  }

  MemoryFolders folders;
  const uint32_t result = tarn::createParentFolders(path, style, folders);
  for (const std::wstring& folder : folders.made) {
    require(folder.size() < path.size() && path.compare(0, folder.size(), folder) == 0);
  }
  // A failed walk takes back everything it made; a good one nothing.
  require(result == 0 ? folders.removed.empty() : folders.removed == folders.made);
}

void checkStamp(const std::wstring& name, const tarn::LocalTime& time) {
  std::wstring stamped = name;
  tarn::stampFileName(stamped, time);
  const size_t first = name.find(L'%');
  if (first == std::wstring::npos) {
    require(stamped == name);
    return;
  }
  const size_t last = name.rfind(L'%');
  const std::wstring before = name.substr(0, first);
  const std::wstring after = name.substr(last + 1);
  require(stamped.size() >= before.size() + after.size());
  require(stamped.compare(0, before.size(), before) == 0);
  require(stamped.compare(stamped.size() - after.size(), after.size(), after) == 0);
}

void checkPasses(const std::wstring& picture, const tarn::LocalTime& time) {
  const tarn::TimePictureNames& names = tarn::englishTimePictureNames();
  std::wstring out = L"untouched";
  if (!tarn::formatTimePicture(picture, time, names, out)) require(out == L"untouched");
  out = L"untouched";
  if (!tarn::formatDatePicture(picture, time, names, out)) require(out == L"untouched");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 32) return 0;
  const tarn::LocalTime time = clockReading(data);
  const std::wstring text = utf16Units(data + 32, size - 32);

  checkStamp(text, time);
  checkPasses(text, time);
  checkSplitAndWalk(text, tarn::kWindowsPathStyle);
  checkSplitAndWalk(text, tarn::kPosixPathStyle);
  return 0;
}
