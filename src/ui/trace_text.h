#pragma once
// The text of a Java stack trace as the Java Exception dialog shows it.

#include <string>

namespace tarn {

// `trace` with CR LF between its lines, and every character that could hide
// or fake text shown as \uXXXX: NUL (the text box would end there), other
// control characters but tab, line and paragraph separators, and the
// direction marks and overrides. The trace's own line end is the one it ends
// with (CR LF or LF, as the VM printed it); a line break of another kind
// came from a message and is escaped too. With no line end at its end, both
// CR LF and LF break lines.
std::wstring dialogTraceText(const std::wstring& trace);

}  // namespace tarn
