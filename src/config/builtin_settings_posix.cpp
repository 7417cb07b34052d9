#include "config/layered_ini_file.h"

namespace tarn {

// A Linux executable carries no built-in settings: every value comes from
// the configuration file.
std::wstring builtInSettingsText() { return std::wstring(); }

}  // namespace tarn
