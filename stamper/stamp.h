#pragma once
// The whole stamp over bytes: a launcher, the options and the contents of
// the files they name in; the stamped launcher, or the reason it was not
// made, out.

#include <string>
#include <vector>

#include "stamper/stamp_options.h"

namespace tarn::stamper {

struct StampFiles {
  std::string launcher;  // INPUT
  std::string icon;      // --icon's file, when given
  std::string settings;  // --settings' file, when given
};

// The messages name the files as the options do. notes are lines for the
// user that do not stop the stamp (a signature dropped).
bool stampLauncher(const StampOptions& options, const StampFiles& files, std::string& out,
                   std::vector<std::wstring>& notes, std::wstring& error);

}  // namespace tarn::stamper
