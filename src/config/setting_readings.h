#pragma once
// What a configured value means to the launcher where a person may well
// read it otherwise: a flag spelt other than its one word (Single
// Instance=Yes is off, Pair Return Code=yes is on), a "; comment" after a
// value (the file has no comments), a version text without digits, an
// entry of Preferred versions that matches every runtime. Pure, so that
// the diagnose mode and a checking tool say the same.

#include <string>

namespace tarn {

// The meaning in words (ASCII, without "%"), to follow "[section]
// key=value means ", or the empty string when the value reads as it looks
// (or is empty).
std::string settingReading(const std::wstring& section, const std::wstring& key, const std::wstring& value);

}  // namespace tarn
