// Answers profile-string queries through tarn::IniFile, or on Windows with
// --system through GetPrivateProfileStringW and
// GetPrivateProfileSectionNamesW, so that the launcher's reader can be
// compared with the system's under Wine.
//
//   ini_probe [--system] <ini file> <queries file>
//
// The queries file is UTF-8, one query a line: "section<TAB>key" asks for a
// value; a line without a tab asks for the section names. Each query gets one
// line of UTF-8 output: the value, or the section names each followed by
// "|". Control characters and "\" are escaped (\t \r \n \\ \xHH) so that the
// output stays one line per query.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "launcher/process_platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

std::string escaped(const std::wstring& text) {
  std::string out;
  for (char c : tarn::toUtf8(text)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20 || u == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

bool readQueries(const std::filesystem::path& path, std::vector<std::string>& lines) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return true;
}

// The queries' two forms, answered by the launcher's reader or the system.
class Answers {
 public:
  virtual ~Answers() = default;
  virtual void value(const std::wstring& section, const std::wstring& key, std::wstring& out) = 0;
  virtual void sectionNames(std::vector<std::wstring>& out) = 0;
};

class LauncherAnswers : public Answers {
 public:
  explicit LauncherAnswers(const std::wstring& path) : file_(path) {}
  void value(const std::wstring& section, const std::wstring& key, std::wstring& out) override {
    file_.readString(section, key, out);
  }
  void sectionNames(std::vector<std::wstring>& out) override { file_.sectionNames(out); }

 private:
  tarn::IniFile file_;
};

#ifdef _WIN32
class SystemAnswers : public Answers {
 public:
  explicit SystemAnswers(const std::wstring& path) : path_(path) {}

  void value(const std::wstring& section, const std::wstring& key, std::wstring& out) override {
    std::wstring buffer;
    for (DWORD size = 256;; size *= 2) {
      buffer.assign(size, L'\0');
      // The characters copied; size - 1 when the value was cut to fit, and
      // under Wine size - 2 for a cut quoted value.
      const DWORD count = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", &buffer[0], size, path_.c_str());
      if (count + 2 < size) break;
    }
    out.assign(buffer.c_str());
  }

  void sectionNames(std::vector<std::wstring>& out) override {
    std::wstring buffer;
    DWORD count = 0;
    for (DWORD size = 256;; size *= 2) {
      buffer.assign(size, L'\0');
      // The characters copied without the final NUL; size - 2 when cut.
      count = GetPrivateProfileSectionNamesW(&buffer[0], size, path_.c_str());
      if (count != size - 2) break;
    }
    // Names each followed by a NUL; an empty one is left out, as the
    // launcher's reader leaves out sections named "".
    out.clear();
    std::wstring name;
    for (DWORD i = 0; i <= count && i < buffer.size(); ++i) {
      if (buffer[i] != L'\0') {
        name += buffer[i];
        continue;
      }
      if (!name.empty()) out.push_back(name);
      name.clear();
    }
  }

 private:
  std::wstring path_;
};
#endif

int probe(Answers& answers, const std::filesystem::path& queriesPath) {
  std::vector<std::string> queries;
  if (!readQueries(queriesPath, queries)) {
    std::fprintf(stderr, "ini_probe: cannot read the queries file\n");
    return 2;
  }
  std::string output;
  for (const std::string& query : queries) {
    size_t tab = query.find('\t');
    if (tab == std::string::npos) {
      std::vector<std::wstring> names;
      answers.sectionNames(names);
      for (const std::wstring& name : names) output += escaped(name) + "|";
    } else {
      std::wstring value;
      answers.value(tarn::fromUtf8(query.substr(0, tab)), tarn::fromUtf8(query.substr(tab + 1)), value);
      output += escaped(value);
    }
    output += '\n';
  }
  std::fwrite(output.data(), 1, output.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tarn::rememberProgramArguments(argc, argv);
  std::vector<std::wstring> arguments = tarn::processArguments();
  const bool system = !arguments.empty() && arguments[0] == L"--system";
  if (system) arguments.erase(arguments.begin());
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: ini_probe [--system] <ini file> <queries file>\n");
    return 2;
  }
  const std::filesystem::path queries(arguments[1]);
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  if (system) {
    SystemAnswers answers(arguments[0]);
    return probe(answers, queries);
  }
#else
  if (system) {
    std::fprintf(stderr, "ini_probe: --system is for Windows\n");
    return 2;
  }
#endif
  LauncherAnswers answers(arguments[0]);
  return probe(answers, queries);
}
