#include "config/ini_document.h"

#include "base/text.h"

namespace tarn {
namespace {

bool isControlOrSpace(wchar_t c) { return static_cast<unsigned long>(c) <= 32; }

// "[name]" once characters up to code 32 are passed over at both ends; the
// name is everything between the brackets, as written.
bool sectionNameOf(const std::wstring& line, std::wstring& name) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && isControlOrSpace(line[begin])) ++begin;
  while (end > begin && isControlOrSpace(line[end - 1])) --end;
  if (end - begin < 2 || line[begin] != L'[' || line[end - 1] != L']') return false;
  name = line.substr(begin + 1, end - begin - 2);
  return true;
}

}  // namespace

void IniDocument::parse(const std::wstring& text) {
  sections_.clear();
  // Only CR LF ends a line: a lone LF or CR is part of the line.
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t next = text.find(L"\r\n", start);
    if (next == std::wstring::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, next - start));
    start = next + 2;
  }
  if (!lines.empty() && !lines[0].empty() && lines[0][0] == 0xFEFF) lines[0].erase(0, 1);

  IniSection* current = nullptr;
  for (const std::wstring& line : lines) {
    if (line.empty()) continue;
    std::wstring name;
    if (sectionNameOf(line, name)) {
      sections_.push_back(IniSection{std::move(name), {}});
      current = &sections_.back();
      continue;
    }
    size_t equals = line.find(L'=');
    if (current == nullptr || equals == std::wstring::npos) continue;
    current->entries.push_back(
        IniEntry{trimWhiteSpace(line.substr(0, equals)), trimWhiteSpace(line.substr(equals + 1))});
  }
}

void IniDocument::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  for (const IniSection& candidate : sections_) {
    if (candidate.name != section) continue;
    for (const IniEntry& entry : candidate.entries) {
      if (entry.key == key) {
        out = entry.value;
        return;
      }
    }
    return;  // only the first section of a name is searched
  }
}

}  // namespace tarn
