#pragma once
// The sections and keys the launcher reads from a configuration file: for
// the stamping tool, which refuses built-in settings it would never read
// and tells a person which of theirs the launcher ignores.

#include <string>
#include <vector>

namespace tarn {

struct KnownSection {
  const wchar_t* name;
  std::vector<const wchar_t*> keys;
};

// In the order of the configuration guide. [Product Information] is read
// from the file beside the executable alone.
const std::vector<KnownSection>& knownSections();

// By name without regard to letter case (the "+" companions are not
// sections of their own here); null when the launcher reads no such one.
const KnownSection* findKnownSection(const std::wstring& name);
// The key as the table writes it, or null.
const wchar_t* findKnownKey(const KnownSection& section, const std::wstring& key);

// The known section nearest to a name that is not one (a letter or two
// apart, spaces aside), or empty.
std::wstring nearestKnownSection(const std::wstring& name);

}  // namespace tarn
