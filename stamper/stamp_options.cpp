#include "stamper/stamp_options.h"

#include "base/text.h"
#include "version.h"

namespace tarn::stamper {
namespace {

struct Choice {
  const wchar_t* word;
  int value;
};

const Choice kExecutionLevels[] = {{L"asInvoker", static_cast<int>(ExecutionLevel::AsInvoker)},
                                   {L"highestAvailable", static_cast<int>(ExecutionLevel::HighestAvailable)},
                                   {L"requireAdministrator", static_cast<int>(ExecutionLevel::RequireAdministrator)}};
const Choice kDpiAwareness[] = {{L"unaware", static_cast<int>(DpiAwareness::Unaware)},
                                {L"system", static_cast<int>(DpiAwareness::System)},
                                {L"per-monitor", static_cast<int>(DpiAwareness::PerMonitor)}};
const Choice kYesNo[] = {{L"yes", 1}, {L"no", 0}};

template <size_t count>
bool choose(const Choice (&choices)[count], const std::wstring& option, const std::wstring& word, int& value,
            std::wstring& why) {
  std::wstring words;
  for (const Choice& choice : choices) {
    if (equalsNoCase(word, choice.word)) {
      value = choice.value;
      return true;
    }
    words += (words.empty() ? L"" : L", ") + std::wstring(choice.word);
  }
  why = option + L" takes one of " + words + L", not \"" + word + L"\"";
  return false;
}

}  // namespace

bool parseStampCommandLine(const std::vector<std::wstring>& arguments, StampOptions& options, std::wstring& why) {
  options = StampOptions{};
  std::vector<std::wstring> operands;
  const struct {
    const wchar_t* name;
    std::optional<std::wstring> StampOptions::*field;
  } textOptions[] = {
      {L"--icon", &StampOptions::icon},
      {L"--settings", &StampOptions::settings},
      {L"--product-name", &StampOptions::productName},
      {L"--company", &StampOptions::company},
      {L"--description", &StampOptions::description},
      {L"--copyright", &StampOptions::copyright},
      {L"--product-version", &StampOptions::productVersion},
      {L"--file-version", &StampOptions::fileVersion},
      {L"--original-file-name", &StampOptions::originalFileName},
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, L"--") != 0) {
      if (!optionsEnded && argument.size() > 1 && argument[0] == L'-') {
        why = L"unknown option " + argument;
        return false;
      }
      operands.push_back(argument);
      continue;
    }
    if (argument == L"--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = argument.find(L'=');
    const std::wstring name = argument.substr(0, equals);
    if (name == L"--help" || name == L"--version" || name == L"--open-to-file") {
      if (equals != std::wstring::npos) {
        why = name + L" takes no value";
        return false;
      }
      (name == L"--help" ? options.help : name == L"--version" ? options.version : options.openToFile) = true;
      continue;
    }
    const bool known =
        name == L"--execution-level" || name == L"--dpi-awareness" || name == L"--long-path-aware" || [&] {
          for (const auto& option : textOptions) {
            if (name == option.name) return true;
          }
          return false;
        }();
    if (!known) {
      why = L"unknown option " + name;
      return false;
    }
    std::wstring value;
    if (equals != std::wstring::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      why = name + L" needs a value";
      return false;
    }

    int chosen = 0;
    auto once = [&](bool given) {
      if (given) why = name + L" is given twice";
      return !given;
    };
    if (name == L"--execution-level") {
      if (!once(options.executionLevel.has_value()) || !choose(kExecutionLevels, name, value, chosen, why))
        return false;
      options.executionLevel = static_cast<ExecutionLevel>(chosen);
    } else if (name == L"--dpi-awareness") {
      if (!once(options.dpiAwareness.has_value()) || !choose(kDpiAwareness, name, value, chosen, why)) return false;
      options.dpiAwareness = static_cast<DpiAwareness>(chosen);
    } else if (name == L"--long-path-aware") {
      if (!once(options.longPathAware.has_value()) || !choose(kYesNo, name, value, chosen, why)) return false;
      options.longPathAware = chosen != 0;
    } else {
      for (const auto& option : textOptions) {
        if (name != option.name) continue;
        std::optional<std::wstring>& field = options.*option.field;
        if (!once(field.has_value())) return false;
        field = value;
      }
    }
  }
  if (options.help || options.version) return true;
  if (options.openToFile && !options.settings) {
    why = L"--open-to-file goes with --settings";
    return false;
  }
  if (operands.size() != 2) {
    why = operands.size() < 2 ? L"INPUT and OUTPUT are needed" : L"too many operands: only INPUT and OUTPUT";
    return false;
  }
  options.input = operands[0];
  options.output = operands[1];
  return true;
}

std::wstring usageLine() {
  return L"usage: tarn-stamp [options] INPUT OUTPUT, or tarn-stamp --check FILE.ini [FOLDER] (--help lists the options)";
}

std::wstring versionLine() { return L"tarn-stamp " + fromUtf8(TARN_VERSION_TEXT); }

std::wstring helpText() {
  return L"usage: tarn-stamp [options] INPUT OUTPUT\n"
         L"       tarn-stamp --check FILE.ini [FOLDER]\n"
         L"Writes OUTPUT, a copy of the Tarn launcher INPUT with its icon, version information,\n"
         L"manifest and built-in settings replaced as the options say. INPUT may be OUTPUT.\n"
         L"\n"
         L"  --icon FILE            every image of the .ico file replaces the launcher's icons\n"
         L"  --product-name TEXT    --company TEXT   --description TEXT   --copyright TEXT\n"
         L"  --product-version V    --file-version V (V: 1 to 4 dot-separated numbers 0..65535;\n"
         L"                         missing parts are 0; either one alone sets both)\n"
         L"  --original-file-name TEXT  (default: OUTPUT's file name)\n"
         L"  --execution-level asInvoker|highestAvailable|requireAdministrator\n"
         L"  --dpi-awareness unaware|system|per-monitor\n"
         L"  --long-path-aware yes|no\n"
         L"  --settings FILE.ini    embed the configuration as the built-in settings\n"
         L"  --open-to-file         with --settings: a configuration file beside the executable may set\n"
         L"                         every key\n"
         L"  --help                 this text\n"
         L"  --version              tarn-stamp's own version\n"
         L"\n"
         L"Any version option replaces the whole version information and the manifest's name and\n"
         L"description; any manifest option the whole manifest, with the defaults asInvoker, per-monitor\n"
         L"and no for the others. Version texts may not hold control characters or bytes that are not\n"
         L"valid UTF-8.\n"
         L"A signature is dropped: sign OUTPUT after stamping.\n"
         L"Exit status: 0 written, 1 refused (the reason on standard error), 2 usage error.\n"
         L"\n"
         L"--check reads FILE.ini as the launcher would and lists, one line each, what a person may not\n"
         L"expect: sections and keys the launcher does not read, values it reads otherwise than they\n"
         L"look (Single Instance=Yes is off), class path entries that match no file below FOLDER (the\n"
         L"file's own folder by default). Exit status: 0 nothing found, 1 findings, 2 usage error.\n";
}

}  // namespace tarn::stamper
