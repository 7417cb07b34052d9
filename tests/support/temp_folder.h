#pragma once
// Test support: a fresh folder under the system's temporary folder, removed
// with everything in it when its owner goes; and the current directory
// changed for the life of an owner.

#include <filesystem>
#include <string>

namespace tarn::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // <folder>/<relative> as wide text.
  std::wstring pathOf(const std::filesystem::path& relative) const { return (path_ / relative).wstring(); }
  // Writes the bytes to <folder>/<relative>, making the folders on the way;
  // returns its full path.
  std::wstring writeFile(const std::filesystem::path& relative, const std::string& bytes) const;
  // Makes <folder>/<relative> and the folders on the way; returns its full path.
  std::wstring makeFolder(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path path_;
};

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& folder);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace tarn::test
