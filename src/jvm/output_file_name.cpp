#include "jvm/output_file_name.h"

#include "base/error_output.h"
#include "base/message_table.h"
#include "base/environment.h"

namespace tarn {

bool isTimePicture(const std::wstring& text) {
  static const std::wstring kPictureLetters = L"dghHmMstyL";
  bool quoted = false;
  for (wchar_t c : text) {
    if (c == L'\'') {
      quoted = !quoted;  // a doubled quote inside quotes leaves and enters again
      continue;
    }
    const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    if (!quoted && (c == L'%' || (letter && kPictureLetters.find(c) == std::wstring::npos))) return false;
  }
  return true;
}

bool expandOutputFileName(const wchar_t* setting, std::wstring& file) {
  expandEnvironment(file);
  const size_t first = file.find(L'%');
  const size_t last = file.rfind(L'%');
  if (first == last || isTimePicture(file.substr(first + 1, last - first - 1))) return true;
  printError(formatMessage(MessageId::OutputFileUndefinedVariable, {std::wstring(setting), file}));
  file.clear();
  return false;
}

}  // namespace tarn
