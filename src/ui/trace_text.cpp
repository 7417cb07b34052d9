#include "ui/trace_text.h"

namespace tarn {
namespace {

bool hidesOrFakesText(wchar_t c) {
  if (c < 0x20) return c != L'\t';
  if (c >= 0x7F && c <= 0x9F) return true;
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void appendEscaped(std::wstring& out, wchar_t c) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  out += L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(static_cast<unsigned>(c) >> shift) & 0xF];
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::wstring dialogTraceText(const std::wstring& trace) {
  const bool crlfLines = endsWith(trace, L"\r\n");
  const bool lfLines = !crlfLines && endsWith(trace, L"\n");
  const bool either = !crlfLines && !lfLines;
  std::wstring out;
  out.reserve(trace.size() + trace.size() / 16);
  for (size_t i = 0; i < trace.size(); ++i) {
    const wchar_t c = trace[i];
    const bool crlf = c == L'\r' && i + 1 < trace.size() && trace[i + 1] == L'\n';
    if (crlf && (crlfLines || either)) {
      out += L"\r\n";
      ++i;
    } else if (c == L'\n' && (lfLines || either)) {
      out += L"\r\n";
    } else if (hidesOrFakesText(c)) {
      appendEscaped(out, c);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarn
