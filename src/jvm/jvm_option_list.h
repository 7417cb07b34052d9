#pragma once
// The ordered options handed to the Java VM, as narrow text.

#include <string>
#include <vector>

namespace tarn {

class JvmOptionList {
 public:
  void add(std::string option) { options_.push_back(std::move(option)); }
  // Before every option added so far.
  void addFront(const std::vector<std::string>& options) {
    options_.insert(options_.begin(), options.begin(), options.end());
  }
  const std::vector<std::string>& options() const { return options_; }
  bool empty() const { return options_.empty(); }

 private:
  std::vector<std::string> options_;
};

}  // namespace tarn
