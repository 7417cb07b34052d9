#include "config/profile_text.h"

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace tarn {

// Ctrl-Z counts as a blank: old editors ended text files with it.
bool isProfileBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == L' '; }

std::wstring trimProfileBlanks(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isProfileBlank(text[begin])) ++begin;
  while (end > begin && isProfileBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring unquotedProfileValue(const std::wstring& value) {
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool isLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

std::wstring cutAtNul(std::wstring text) {
  size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

// Lower case for the scripts whose case pairs follow simple offsets. Wine
// compares only the ASCII letters without case; Windows folds the others
// too, and so do we, for the alphabets that a name is likely to use.
wchar_t foldCase(wchar_t c) {
  const unsigned long u = static_cast<unsigned long>(c);
  auto shifted = [c](long by) { return static_cast<wchar_t>(static_cast<long>(c) + by); };
  if (u < 0x80) return (u >= 'A' && u <= 'Z') ? shifted(0x20) : c;
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return shifted(0x20);
  if (u == 0x178) return static_cast<wchar_t>(0xFF);
  if ((u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177)) return (u % 2 == 0) ? shifted(1) : c;
  if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E)) return (u % 2 == 1) ? shifted(1) : c;
  if (u == 0x386) return static_cast<wchar_t>(0x3AC);
  if (u >= 0x388 && u <= 0x38A) return shifted(0x25);
  if (u == 0x38C) return static_cast<wchar_t>(0x3CC);
  if (u == 0x38E || u == 0x38F) return shifted(0x3F);
  if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return shifted(0x20);
  if (u >= 0x400 && u <= 0x40F) return shifted(0x50);
  if (u >= 0x410 && u <= 0x42F) return shifted(0x20);
  if (u >= 0xFF21 && u <= 0xFF3A) return shifted(0x20);
  return c;
}

class LineScanner {
 public:
  explicit LineScanner(const std::wstring& text) : text_(text) {}

  // The next line with content; false at the end of the text.
  bool next(ProfileLine& line) {
    while (position_ < text_.size()) {
      size_t start = position_;
      while (position_ < text_.size() && !isLineBreak(text_[position_])) ++position_;
      size_t end = position_;
      while (position_ < text_.size() && isLineBreak(text_[position_])) ++position_;
      while (start < end && isProfileBlank(text_[start])) ++start;
      while (end > start && isProfileBlank(text_[end - 1])) --end;
      if (start == end) continue;
      describe(start, end, line);
      return true;
    }
    return false;
  }

 private:
  void describe(size_t begin, size_t end, ProfileLine& line) const {
    line = ProfileLine{};
    line.begin = begin;
    line.end = end;
    if (text_[begin] == L'[') {
      size_t close = end;
      while (close > begin && text_[close - 1] != L']') --close;
      if (close > begin) {
        line.isSection = true;
        line.nameBegin = begin + 1;
        line.nameEnd = close - 1;
        while (line.nameBegin < line.nameEnd && isProfileBlank(text_[line.nameBegin])) ++line.nameBegin;
        while (line.nameEnd > line.nameBegin && isProfileBlank(text_[line.nameEnd - 1])) --line.nameEnd;
        return;
      }
    }
    line.nameBegin = begin;
    line.nameEnd = end;
    for (size_t i = begin; i < end; ++i) {
      if (text_[i] != L'=') continue;
      size_t nameEnd = i;
      while (nameEnd > begin && isProfileBlank(text_[nameEnd - 1])) --nameEnd;
      size_t valueBegin = i + 1;
      while (valueBegin < end && isProfileBlank(text_[valueBegin])) ++valueBegin;
      line.nameEnd = nameEnd;
      line.hasValue = true;
      line.valueBegin = valueBegin;
      return;
    }
  }

  const std::wstring& text_;
  size_t position_ = 0;
};

// The line's name ends at a NUL, as the system's functions read it.
size_t lineNameEnd(const std::wstring& text, const ProfileLine& line) {
  for (size_t i = line.nameBegin; i < line.nameEnd; ++i) {
    if (text[i] == L'\0') return i;
  }
  return line.nameEnd;
}

std::wstring lineName(const std::wstring& text, const ProfileLine& line) {
  return text.substr(line.nameBegin, lineNameEnd(text, line) - line.nameBegin);
}

// A name asked for as the rules read it: up to a NUL, blanks trimmed. A view
// into the argument, as every read asks for two.
std::wstring_view wantedName(const std::wstring& name) {
  std::wstring_view view(name.data(), std::min(name.find(L'\0'), name.size()));
  while (!view.empty() && isProfileBlank(view.front())) view.remove_prefix(1);
  while (!view.empty() && isProfileBlank(view.back())) view.remove_suffix(1);
  return view;
}

// Compared where it stands: every key read passes every line before it, and
// a copy of each name would cost more than the rest of the read.
bool lineNameEquals(const std::wstring& text, const ProfileLine& line, std::wstring_view name) {
  const size_t end = lineNameEnd(text, line);
  if (end - line.nameBegin != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (foldCase(text[line.nameBegin + i]) != foldCase(name[i])) return false;
  }
  return true;
}

std::wstring decodeUtf16(const std::string& bytes, size_t offset, bool bigEndian) {
  std::u16string units;
  units.reserve((bytes.size() - offset) / 2);
  size_t i = offset;
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t first = static_cast<unsigned char>(bytes[i]);
    const char16_t second = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  std::wstring text = fromUtf16(units, UnpairedSurrogates::Replace);
  // A final odd byte is half a unit.
  if (i < bytes.size()) text += kReplacement;
  return text;
}

void appendUtf16(std::string& bytes, const std::wstring& text, bool bigEndian) {
  for (char16_t unit : toUtf16(text)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
}

std::wstring firstLineBreak(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') return L"\n";
    if (text[i] == L'\r') return (i + 1 < text.size() && text[i + 1] == L'\n') ? L"\r\n" : L"\r";
  }
  return L"\n";
}

bool holdsLineBreakOrNul(const std::wstring& text) {
  return text.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos;
}

}  // namespace

ProfileEncoding detectProfileEncoding(const std::string& bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return ProfileEncoding::Utf8WithBom;
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return ProfileEncoding::Utf16LE;
  if (bytes.compare(0, 2, "\xFE\xFF") == 0) return ProfileEncoding::Utf16BE;
  return ProfileEncoding::Utf8;
}

std::wstring decodeProfileFile(const std::string& bytes) {
  switch (detectProfileEncoding(bytes)) {
    case ProfileEncoding::Utf8WithBom:
      return fromUtf8(bytes.substr(3));
    case ProfileEncoding::Utf16LE:
      return decodeUtf16(bytes, 2, false);
    case ProfileEncoding::Utf16BE:
      return decodeUtf16(bytes, 2, true);
    case ProfileEncoding::Utf8:
      break;
  }
  return fromUtf8(bytes);
}

std::wstring decodeUtf16LE(const std::string& bytes) {
  std::wstring text = decodeUtf16(bytes, 0, false);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

std::string encodeProfileFile(const std::wstring& text, ProfileEncoding encoding) {
  std::string bytes;
  switch (encoding) {
    case ProfileEncoding::Utf8:
      return toUtf8(text);
    case ProfileEncoding::Utf8WithBom:
      return "\xEF\xBB\xBF" + toUtf8(text);
    case ProfileEncoding::Utf16LE:
      bytes = "\xFF\xFE";
      appendUtf16(bytes, text, false);
      break;
    case ProfileEncoding::Utf16BE:
      bytes = "\xFE\xFF";
      appendUtf16(bytes, text, true);
      break;
  }
  return bytes;
}

std::vector<ProfileLine> scanProfileLines(const std::wstring& text) {
  std::vector<ProfileLine> lines;
  LineScanner scanner(text);
  ProfileLine line;
  while (scanner.next(line)) lines.push_back(line);
  return lines;
}

bool profileReadString(const std::wstring& text, const std::wstring& section, const std::wstring& key,
                       std::wstring& out) {
  return profileReadString(text, scanProfileLines(text), section, key, out);
}

bool profileReadString(const std::wstring& text, const std::vector<ProfileLine>& lines, const std::wstring& section,
                       const std::wstring& key, std::wstring& out) {
  out.clear();
  const std::wstring_view wantedSection = wantedName(section);
  const std::wstring_view wantedKey = wantedName(key);
  // The unnamed part before the first section line is the first section.
  bool inWantedSection = wantedSection.empty();
  for (const ProfileLine& line : lines) {
    if (line.isSection) {
      if (inWantedSection) return false;
      inWantedSection = lineNameEquals(text, line, wantedSection);
      continue;
    }
    if (!inWantedSection || !lineNameEquals(text, line, wantedKey)) continue;
    if (!line.hasValue) return false;
    out = unquotedProfileValue(cutAtNul(text.substr(line.valueBegin, line.end - line.valueBegin)));
    return true;
  }
  return false;
}

std::vector<std::wstring> profileSectionNames(const std::wstring& text) {
  std::vector<std::wstring> names;
  LineScanner scanner(text);
  ProfileLine line;
  while (scanner.next(line)) {
    if (!line.isSection) continue;
    std::wstring name = lineName(text, line);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

bool profileWriteString(std::wstring& text, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
  if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value)) return false;
  const std::wstring sectionName = trimProfileBlanks(section);
  const std::wstring keyName = trimProfileBlanks(key);
  if (sectionName.empty() || keyName.empty() || keyName.find(L'=') != std::wstring::npos) return false;
  if (keyName[0] == L'[' && keyName.find(L']') != std::wstring::npos) return false;
  const std::wstring entryValue = trimProfileBlanks(value);
  const std::wstring lineBreak = firstLineBreak(text);

  bool found = false;
  ProfileLine last;  // the last line of the wanted section so far
  LineScanner scanner(text);
  ProfileLine line;
  while (scanner.next(line)) {
    if (line.isSection) {
      if (found) break;
      if (lineNameEquals(text, line, sectionName)) {
        found = true;
        last = line;
      }
      continue;
    }
    if (!found) continue;
    last = line;
    if (!lineNameEquals(text, line, keyName)) continue;
    text.replace(line.begin, line.end - line.begin, lineName(text, line) + L"=" + entryValue);
    return true;
  }

  const std::wstring entry = keyName + L"=" + entryValue;
  if (!found) {
    if (!text.empty() && !isLineBreak(text.back())) text += lineBreak;
    text += L"[" + sectionName + L"]" + lineBreak + entry + lineBreak;
    return true;
  }
  size_t position = last.end;
  while (position < text.size() && !isLineBreak(text[position])) ++position;
  if (position == text.size()) {
    text += lineBreak + entry;
    return true;
  }
  position += (text[position] == L'\r' && position + 1 < text.size() && text[position + 1] == L'\n') ? 2 : 1;
  text.insert(position, entry + lineBreak);
  return true;
}

}  // namespace tarn
