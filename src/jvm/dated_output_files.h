#pragma once
// Keep Output Files: the dated output files of one picture (Output File or
// Error File with a stamp) beyond the newest few are removed at start. Only
// names that the picture could have produced in the file's folder are ever
// touched.

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "jvm/time_pictures.h"

namespace tarn {

// A file name with its stamp between two "%" (prefix%picture%suffix), as the
// stamping reads it: "L" the milliseconds, then the time pictures, then the
// date pictures over the text the time pass left.
class StampedNamePattern {
 public:
  // False for a name without a stamp, and for a picture with the AM/PM
  // designator (t), whose text the date pass may change again.
  bool read(const std::wstring& name, const TimePictureNames& names);
  bool matches(const std::wstring& name) const;

  struct Piece {
    std::wstring text;                  // literal text, when choices and digits are empty
    std::vector<std::wstring> choices;  // one of these names
    int minDigits = 0;
    int maxDigits = 0;
  };

 private:
  bool matchFrom(const std::wstring& name, std::size_t at, std::size_t piece) const;
  std::vector<Piece> pieces_;
};

// The names to remove, oldest first: those of `files` that the pattern
// matches, other than `current` (the file this start writes, which counts
// among the kept), beyond the newest `keep`. Equal times go by name.
std::vector<std::wstring> datedFilesToRemove(const std::vector<FolderFile>& files, const StampedNamePattern& pattern,
                                             const std::wstring& current, uint32_t keep);

// The whole step for one stream: `pictured` is the name as configured (the
// references expanded), `stamped` the name this start writes. Nothing when
// the stamp is not within the name's last component. Files that cannot be
// removed are left.
void removeOldDatedFiles(const std::wstring& pictured, const std::wstring& stamped, uint32_t keep);

}  // namespace tarn
