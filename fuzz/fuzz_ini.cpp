// INI text from outside: the profile-string reader and writer of the Linux
// IniFile, and the built-in settings document. Besides crashes, it checks
// that a written entry reads back and that decoded text survives encoding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ini_document.h"
#include "config/profile_text.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void fuzzProfileText(const std::string& bytes) {
  const std::wstring text = tarn::decodeProfileFile(bytes);
  check(tarn::decodeProfileFile(tarn::encodeProfileFile(text, tarn::ProfileEncoding::Utf16LE)) == text);

  std::wstring value;
  tarn::profileReadString(text, L"Java Runtime Environment", L"Main Class", value);
  tarn::profileReadString(text, L"", L"", value);
  std::vector<std::wstring> names = tarn::profileSectionNames(text);
  for (size_t i = 0; i < names.size() && i < 4; ++i) tarn::profileReadString(text, names[i], L"K", value);

  const std::wstring section = names.empty() ? L"Fuzz" : names.back();
  std::wstring written = text;
  if (tarn::profileWriteString(written, section, L"Written Key", L"written value")) {
    check(tarn::profileReadString(written, section, L"Written Key", value));
    check(value == L"written value");
  }
}

void fuzzDocument(const std::string& bytes) {
  tarn::IniDocument document;
  document.parse(tarn::decodeUtf16LE(bytes));
  const std::vector<tarn::IniSection>& sections = document.sections();
  // The first section of each name gives its first entry's value for that key.
  for (size_t i = 0; i < sections.size() && i < 8; ++i) {
    bool repeated = false;
    for (size_t j = 0; j < i; ++j) repeated = repeated || sections[j].name == sections[i].name;
    if (repeated || sections[i].entries.empty()) continue;
    std::wstring value;
    document.readString(sections[i].name, sections[i].entries[0].key, value);
    check(value == sections[i].entries[0].value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzzProfileText(bytes);
  fuzzDocument(bytes);
  return 0;
}
