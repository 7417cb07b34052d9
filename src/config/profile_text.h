#pragma once
// The Windows profile-string rules as plain text functions, so that the
// Linux IniFile answers like GetPrivateProfileStringW and the rules are
// tested on every platform:
// - a line ends at any run of CR and LF characters;
// - blanks (tab, LF, VT, FF, CR, Ctrl-Z, space) are trimmed from both ends
//   of every line, key and value, and of the names asked for;
// - a line that begins with "[" and holds a "]" opens a section named by the
//   text between that "[" and the last "]", blanks trimmed;
// - any other line is a key, with its value after the first "="; a key
//   without "=" has no value and reads as absent; there is no comment
//   syntax: ";x=1" is the key ";x";
// - lines before the first section belong to an unnamed section, which the
//   empty section name reaches;
// - names are compared without regard to letter case; only the first section
//   of a name is searched, and its first key of the name wins;
// - a value enclosed in one pair of the same quote character, " or ', is
//   read without them;
// - a NUL character ends a name or value.

#include <string>
#include <vector>

namespace tarn {

// The blanks of the rules above, and a text without them at either end.
bool isProfileBlank(wchar_t c);
std::wstring trimProfileBlanks(const std::wstring& text);

// A value as a read gives it: without one pair of enclosing quotes.
std::wstring unquotedProfileValue(const std::wstring& value);

enum class ProfileEncoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE };

// The encoding that a file's byte order mark names: FF FE UTF-16LE, FE FF
// UTF-16BE, EF BB BF UTF-8. Without a mark the bytes are taken as UTF-8.
ProfileEncoding detectProfileEncoding(const std::string& bytes);

// The text of a file's bytes, without the byte order mark. Malformed UTF-8,
// unpaired surrogates and a final odd byte of UTF-16 become U+FFFD.
std::wstring decodeProfileFile(const std::string& bytes);

// UTF-16LE bytes as text; a leading U+FEFF is dropped.
std::wstring decodeUtf16LE(const std::string& bytes);

// The bytes of a text in an encoding, with the byte order mark it names.
std::string encodeProfileFile(const std::wstring& text, ProfileEncoding encoding);

// One line of profile text with content: where its content lies, blanks
// trimmed, and what the content holds. Offsets into the text.
struct ProfileLine {
  size_t begin = 0;
  size_t end = 0;
  bool isSection = false;
  size_t nameBegin = 0;  // section name, or key
  size_t nameEnd = 0;
  bool hasValue = false;
  size_t valueBegin = 0;  // up to end
};

// The text's lines with content, in order: scanned once, they answer many
// reads of the same text.
std::vector<ProfileLine> scanProfileLines(const std::wstring& text);

// The value of key in section; false, with out empty, when the section, the
// key or its "=" is absent. The second form reads the lines that
// scanProfileLines found in the same text.
bool profileReadString(const std::wstring& text, const std::wstring& section, const std::wstring& key,
                       std::wstring& out);
bool profileReadString(const std::wstring& text, const std::vector<ProfileLine>& lines, const std::wstring& section,
                       const std::wstring& key, std::wstring& out);

// The section names in file order, repeats included; the unnamed part
// before the first section and sections named "" are left out.
std::vector<std::wstring> profileSectionNames(const std::wstring& text);

// Sets key to value in section. The first key of that name in the first
// section of that name gets the new value; otherwise the key is added after
// the section's last line, or a new section is added at the end of the text.
// Every other line stays as it was, line ends included; new lines take the
// text's first line end, or LF. Returns false, leaving text untouched, when
// the entry could not be read back as written: a line break or NUL in any
// argument, an empty section or key name, a key holding "=" or one that
// would read as a section line.
bool profileWriteString(std::wstring& text, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value);

}  // namespace tarn
