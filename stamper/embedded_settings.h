#pragma once
// A configuration file checked and rewritten as the built-in settings that a
// stamped launcher carries (RCDATA TARN_BUILT_IN_SETTINGS). The launcher reads built-in
// settings with an exact parser: section and key names as the launcher
// spells them, lines ending in CR LF, values as they stand. So the file is
// checked strictly, with the rules the configuration file is read by, and
// written again in that exact form.

#include <cstddef>
#include <string>

namespace tarn::stamper {

struct SettingsProblem {
  size_t line = 0;  // 1-based; 0 for the file as a whole
  std::wstring why;
};

// Checks the decoded text of an INI file: every line is empty, a comment
// (";" or "#" first), a section the launcher reads, or "key=value" with a
// key that the launcher reads in that section; no section or key twice; no
// NUL or U+FFFD. Without openToFile the file must give a Main Class. The
// text written holds the sections and keys in the file's order, then
// [Built-in Settings] with Open To File.
bool embeddedSettingsText(const std::wstring& iniText, bool openToFile, std::wstring& text, SettingsProblem& problem);

// The resource's bytes: UTF-16LE with a byte order mark.
std::string embeddedSettingsBytes(const std::wstring& text);

}  // namespace tarn::stamper
