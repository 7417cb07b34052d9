#include "support/temp_folder.h"

#include <chrono>
#include <fstream>
#include <random>

namespace tarn::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::random_device random;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() / ("tarn-test-" + std::to_string(stamp) + "-" + std::to_string(random()));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::wstring TempFolder::writeFile(const fs::path& relative, const std::string& bytes) const {
  const fs::path file = path_ / relative;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  return file.wstring();
}

std::wstring TempFolder::makeFolder(const fs::path& relative) const {
  const fs::path folder = path_ / relative;
  fs::create_directories(folder);
  return folder.wstring();
}

CurrentDirectory::CurrentDirectory(const fs::path& folder) : previous_(fs::current_path()) {
  fs::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}

}  // namespace tarn::test
