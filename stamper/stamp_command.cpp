#include "stamper/stamp_command.h"

#include "base/path.h"
#include "config/profile_text.h"
#include "stamper/configuration_check.h"
#include "stamper/file_io.h"
#include "stamper/output_kind.h"
#include "stamper/stamp.h"
#include "stamper/stamp_options.h"

namespace tarn::stamper {
namespace {

int refuse(const std::wstring& message) {
  writeErrorLine(L"tarn-stamp: " + message);
  return kStampRefused;
}

// --check FILE.ini [APPLICATION-FOLDER]: the findings on standard output.
int runCheckCommand(const std::vector<std::wstring>& operands) {
  if (operands.empty() || operands.size() > 2) {
    writeErrorLine(L"tarn-stamp: --check takes FILE.ini and, optionally, the application's folder");
    writeErrorLine(usageLine());
    return kStampUsageError;
  }
  const std::wstring& file = operands[0];
  std::string bytes;
  std::wstring why;
  if (!readWholeFile(file, bytes, why)) return refuse(L"cannot read " + file + L": " + why);
  std::wstring folder = operands.size() == 2 ? operands[1] : parentFolder(file, nativePathStyle().separator);
  if (folder.empty()) folder = L".";
  const std::vector<std::wstring> findings = checkConfiguration(decodeProfileFile(bytes), folder);
  for (const std::wstring& finding : findings) writeOutputLine(file + L": " + finding);
  return findings.empty() ? kStampWritten : kStampRefused;
}

}  // namespace

int runStampCommand(const std::vector<std::wstring>& arguments) {
  if (!arguments.empty() && arguments[0] == L"--check") {
    return runCheckCommand(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()));
  }
  StampOptions options;
  std::wstring why;
  if (!parseStampCommandLine(arguments, options, why)) {
    writeErrorLine(L"tarn-stamp: " + why);
    writeErrorLine(usageLine());
    return kStampUsageError;
  }
  if (options.help) {
    std::wstring help = helpText();
    help.pop_back();  // the line end that writeOutputLine adds
    writeOutputLine(help);
    return kStampWritten;
  }
  if (options.version) {
    writeOutputLine(versionLine());
    return kStampWritten;
  }
  // The rename would put the stamped file in place of a device or a pipe.
  if (!outputMayBeReplaced(options.output, why)) return refuse(L"cannot write " + options.output + L": " + why);

  // Everything is read before anything is written: INPUT may be OUTPUT.
  StampFiles files;
  if (!readWholeFile(options.input, files.launcher, why)) return refuse(L"cannot read " + options.input + L": " + why);
  if (options.icon && !readWholeFile(*options.icon, files.icon, why)) {
    return refuse(L"cannot read " + *options.icon + L": " + why);
  }
  if (options.settings && !readWholeFile(*options.settings, files.settings, why)) {
    return refuse(L"cannot read " + *options.settings + L": " + why);
  }
  std::string stamped;
  std::vector<std::wstring> notes;
  if (!stampLauncher(options, files, stamped, notes, why)) return refuse(why);
  for (const std::wstring& note : notes) writeErrorLine(L"tarn-stamp: " + note);
  if (!replaceFile(options.output, stamped, why)) return refuse(L"cannot write " + options.output + L": " + why);
  return kStampWritten;
}

}  // namespace tarn::stamper
