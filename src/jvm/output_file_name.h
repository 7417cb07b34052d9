#pragma once
// Output File and Error File as the VM's streams receive them: environment
// references expanded, and a "%" pair that is left only when it holds a time
// stamp picture. An undefined reference (%LOGDIR%\out.log without LOGDIR)
// must not be read as a picture: "LOGDIR" would stamp the milliseconds into
// a folder made in the current directory.

#include <string>

namespace tarn {

// The text holds only time and date pictures (d g h H m M s t y, and L for
// the milliseconds), other characters that are no letters, and text in
// single quotes. Empty text is a picture (it stamps nothing).
bool isTimePicture(const std::wstring& text);

// Expands the references of a configured output file name. When the text
// between its first and last "%" is then no picture, a reference named an
// undefined variable: the message is written (naming `setting`), the name
// cleared and false returned, so that the stream stays on the console.
bool expandOutputFileName(const wchar_t* setting, std::wstring& file);

}  // namespace tarn
