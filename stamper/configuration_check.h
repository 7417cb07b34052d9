#pragma once
// tarn-stamp --check: a configuration file read as the launcher reads it,
// and what in it a person may not expect the launcher to do.

#include <string>
#include <vector>

namespace tarn::stamper {

// One line per finding, in file order: sections and keys the launcher never
// reads, values it reads otherwise than they look, class path entries that
// match no file when the launcher stands in `applicationFolder`.
std::vector<std::wstring> checkConfiguration(const std::wstring& text, const std::wstring& applicationFolder);

}  // namespace tarn::stamper
