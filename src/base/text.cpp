#include "base/text.h"

namespace tarn {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendWide(std::wstring& out, char32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::string toUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      char32_t low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (isSurrogate(c) || c > 0x10FFFF) c = kReplacement;
    appendUtf8(out, c);
  }
  return out;
}

std::wstring fromUtf8(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
      appendWide(out, lead < 0x80 ? lead : kReplacement);
      ++i;
      continue;
    }
    char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = true;
    for (size_t k = 1; k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!valid || c < kSmallest[length] || isSurrogate(c) || c > 0x10FFFF) {
      appendWide(out, kReplacement);
      ++i;
      continue;
    }
    appendWide(out, c);
    i += length;
  }
  return out;
}

std::u16string toUtf16(const std::wstring& text) {
  std::u16string units;
  units.reserve(text.size());
  for (wchar_t c : text) {
    char32_t value = static_cast<char32_t>(c);
    if (value <= 0xFFFF) {
      units += static_cast<char16_t>(value);
    } else if (value <= 0x10FFFF) {
      value -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (value >> 10));
      units += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    } else {
      units += static_cast<char16_t>(kReplacement);
    }
  }
  return units;
}

std::wstring fromUtf16(const std::u16string& units, UnpairedSurrogates unpaired) {
  std::wstring text;
  text.reserve(units.size());
  const bool keep = sizeof(wchar_t) == 2 && unpaired == UnpairedSurrogates::KeepWherePossible;
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
      appendWide(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (isSurrogate(unit) && !keep) {
      appendWide(text, kReplacement);
    } else {
      text += static_cast<wchar_t>(unit);
    }
  }
  return text;
}

std::wstring fromModifiedUtf8(const char* bytes) {
  std::u16string units;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
  while (in[i] != 0) {
    const unsigned char lead = in[i];
    if (lead < 0x80) {
      units += static_cast<char16_t>(lead);
      i += 1;
    } else if ((lead & 0xE0) == 0xC0 && isContinuation(in[i + 1])) {
      units += static_cast<char16_t>(((lead & 0x1F) << 6) | (in[i + 1] & 0x3F));
      i += 2;
    } else if ((lead & 0xF0) == 0xE0 && isContinuation(in[i + 1]) && isContinuation(in[i + 2])) {
      units += static_cast<char16_t>(((lead & 0x0F) << 12) | ((in[i + 1] & 0x3F) << 6) | (in[i + 2] & 0x3F));
      i += 3;
    } else {
      units += static_cast<char16_t>(kReplacement);
      i += 1;
    }
  }
  return fromUtf16(units, UnpairedSurrogates::KeepWherePossible);
}

std::wstring trimWhiteSpace(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isWhiteSpace(text[begin])) ++begin;
  while (end > begin && isWhiteSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool equalsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::wstring replaceAll(std::wstring text, wchar_t from, wchar_t to) {
  for (wchar_t& c : text) {
    if (c == from) c = to;
  }
  return text;
}

std::vector<std::wstring> splitAtSeparator(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  while (start < text.size()) {
    size_t next = text.find(separator, start);
    if (next == std::wstring::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, next - start));
    start = next + 1;
  }
  return pieces;
}

std::wstring unsignedDecimalText(uint64_t value) {
  wchar_t digits[20];
  size_t count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::wstring text;
  text.reserve(count);
  while (count > 0) text += digits[--count];
  return text;
}

std::wstring decimalText(int64_t value) {
  if (value >= 0) return unsignedDecimalText(static_cast<uint64_t>(value));
  // The magnitude in unsigned arithmetic, where the smallest value has one.
  return L"-" + unsignedDecimalText(0 - static_cast<uint64_t>(value));
}

}  // namespace tarn
