// Answers profile-string queries through tarn::IniFile, so that the Linux
// reader can be compared with GetPrivateProfileStringW under Wine.
//
//   ini_probe <ini file> <queries file>
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

int probe(const std::wstring& iniPath, const std::filesystem::path& queriesPath) {
  std::vector<std::string> queries;
  if (!readQueries(queriesPath, queries)) {
    std::fprintf(stderr, "ini_probe: cannot read the queries file\n");
    return 2;
  }
  tarn::IniFile file(iniPath);
  std::string output;
  for (const std::string& query : queries) {
    size_t tab = query.find('\t');
    if (tab == std::string::npos) {
      std::vector<std::wstring> names;
      file.sectionNames(names);
      for (const std::wstring& name : names) output += escaped(name) + "|";
    } else {
      std::wstring value;
      file.readString(tarn::fromUtf8(query.substr(0, tab)), tarn::fromUtf8(query.substr(tab + 1)), value);
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
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: ini_probe <ini file> <queries file>\n");
    return 2;
  }
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return probe(arguments[0], std::filesystem::path(arguments[1]));
}
