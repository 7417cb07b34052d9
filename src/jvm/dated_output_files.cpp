#include "jvm/dated_output_files.h"

#include <algorithm>

#include "base/diagnosis.h"
#include "base/path.h"

namespace tarn {
namespace {

using Piece = StampedNamePattern::Piece;

Piece literal(const std::wstring& text) { return Piece{text, {}, 0, 0}; }
Piece digits(int least, int most) { return Piece{std::wstring(), {}, least, most}; }
Piece oneOf(std::vector<std::wstring> choices) { return Piece{std::wstring(), std::move(choices), 0, 0}; }

bool isLiteral(const Piece& piece) { return piece.choices.empty() && piece.maxDigits == 0; }

void append(std::vector<Piece>& pieces, Piece piece) {
  if (isLiteral(piece) && !pieces.empty() && isLiteral(pieces.back())) {
    pieces.back().text += piece.text;
  } else if (!isLiteral(piece) || !piece.text.empty()) {
    pieces.push_back(std::move(piece));
  }
}

// One pass of the stamping over the literal text of `pieces`, as
// time_pictures.cpp walks a picture: quoted text is copied without its
// quotes, a run of one of `letters` becomes what `field` gives for it.
template <typename Field>
std::vector<Piece> pass(const std::vector<Piece>& pieces, const std::wstring& letters, Field field) {
  std::vector<Piece> out;
  for (const Piece& piece : pieces) {
    if (!isLiteral(piece)) {
      append(out, piece);
      continue;
    }
    const std::wstring& text = piece.text;
    std::size_t i = 0;
    while (i < text.size()) {
      const wchar_t c = text[i];
      if (c == L'\'') {
        std::wstring quoted;
        for (++i; i < text.size(); ++i) {
          if (text[i] != L'\'') {
            quoted += text[i];
          } else if (i + 1 < text.size() && text[i + 1] == L'\'') {
            quoted += L'\'';
            ++i;
          } else {
            ++i;
            break;
          }
        }
        append(out, literal(quoted));
      } else if (letters.find(c) != std::wstring::npos) {
        std::size_t run = 1;
        while (i + run < text.size() && text[i + run] == c) ++run;
        append(out, field(c, run));
        i += run;
      } else {
        append(out, literal(std::wstring(1, c)));
        ++i;
      }
    }
  }
  return out;
}

std::vector<std::wstring> listOf(const std::wstring* names, std::size_t count) {
  return std::vector<std::wstring>(names, names + count);
}

}  // namespace

bool StampedNamePattern::read(const std::wstring& name, const TimePictureNames& names) {
  pieces_.clear();
  const std::size_t first = name.find(L'%');
  const std::size_t last = name.rfind(L'%');
  if (first == std::wstring::npos || first == last) return false;
  const std::wstring picture = name.substr(first + 1, last - first - 1);
  // The stamping leaves an empty picture empty; every L is the milliseconds,
  // quoted or not.
  std::vector<Piece> pieces;
  for (wchar_t c : picture) {
    if (c == L't') return false;
    append(pieces, c == L'L' ? digits(1, 3) : literal(std::wstring(1, c)));
  }
  pieces = pass(pieces, L"hHms", [](wchar_t, std::size_t run) { return run >= 2 ? digits(2, 2) : digits(1, 2); });
  pieces = pass(pieces, L"dMyg", [&names](wchar_t letter, std::size_t run) {
    switch (letter) {
      case L'd':
        if (run <= 2) return run == 2 ? digits(2, 2) : digits(1, 2);
        return oneOf(run == 3 ? listOf(names.abbreviatedDayNames, 7) : listOf(names.dayNames, 7));
      case L'M':
        if (run <= 2) return run == 2 ? digits(2, 2) : digits(1, 2);
        return oneOf(run == 3 ? listOf(names.abbreviatedMonthNames, 12) : listOf(names.monthNames, 12));
      case L'y':
        // The years 1601 to 30827.
        return run == 1 ? digits(1, 1) : run == 2 ? digits(2, 2) : digits(4, 5);
      default:  // g
        return literal(names.era);
    }
  });
  pieces_.push_back(literal(name.substr(0, first)));
  for (Piece& piece : pieces) append(pieces_, std::move(piece));
  append(pieces_, literal(name.substr(last + 1)));
  return true;
}

bool StampedNamePattern::matches(const std::wstring& name) const { return matchFrom(name, 0, 0); }

bool StampedNamePattern::matchFrom(const std::wstring& name, std::size_t at, std::size_t index) const {
  if (index == pieces_.size()) return at == name.size();
  const Piece& piece = pieces_[index];
  if (isLiteral(piece)) {
    return name.compare(at, piece.text.size(), piece.text) == 0 && matchFrom(name, at + piece.text.size(), index + 1);
  }
  for (const std::wstring& choice : piece.choices) {
    if (!choice.empty() && name.compare(at, choice.size(), choice) == 0 &&
        matchFrom(name, at + choice.size(), index + 1)) {
      return true;
    }
  }
  std::size_t count = 0;
  while (count < static_cast<std::size_t>(piece.maxDigits) && at + count < name.size() && name[at + count] >= L'0' &&
         name[at + count] <= L'9') {
    ++count;
    if (count >= static_cast<std::size_t>(piece.minDigits) && matchFrom(name, at + count, index + 1)) return true;
  }
  return false;
}

std::vector<std::wstring> datedFilesToRemove(const std::vector<FolderFile>& files, const StampedNamePattern& pattern,
                                             const std::wstring& current, uint32_t keep) {
  std::vector<FolderFile> dated;
  for (const FolderFile& file : files) {
    if (file.name != current && pattern.matches(file.name)) dated.push_back(file);
  }
  // The file of this start is one of those kept.
  const std::size_t others = keep > 0 ? keep - 1 : 0;
  if (dated.size() <= others) return {};
  std::sort(dated.begin(), dated.end(), [](const FolderFile& a, const FolderFile& b) {
    return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
  });
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < dated.size() - others; ++i) names.push_back(dated[i].name);
  return names;
}

void removeOldDatedFiles(const std::wstring& pictured, const std::wstring& stamped, uint32_t keep) {
  if (keep == 0) return;
  const PathStyle& style = nativePathStyle();
  auto lastSeparator = [&style](const std::wstring& path) {
    return style.windowsForms ? path.find_last_of(L"\\/") : path.rfind(L'/');
  };
  const std::size_t cut = lastSeparator(pictured);
  const std::size_t stampedCut = lastSeparator(stamped);
  const std::wstring name = cut == std::wstring::npos ? pictured : pictured.substr(cut + 1);
  StampedNamePattern pattern;
  if (!pattern.read(name, userTimePictureNames())) {
    if (diagnosing()) diagnose("Keep Output Files: %s has no stamp in its file name; nothing removed", pictured);
    return;
  }
  const std::wstring folder = cut == std::wstring::npos ? L"." : cut == 0 ? pictured.substr(0, 1) : pictured.substr(0, cut);
  const std::wstring current = stampedCut == std::wstring::npos ? stamped : stamped.substr(stampedCut + 1);
  for (const std::wstring& old : datedFilesToRemove(filesInFolder(folder), pattern, current, keep)) {
    const std::wstring path = withTrailingSeparator(folder, style.separator) + old;
    const bool removed = removeFile(path);
    if (diagnosing()) diagnose(removed ? "Keep Output Files: removed %s" : "Keep Output Files: cannot remove %s", path);
  }
}

}  // namespace tarn
