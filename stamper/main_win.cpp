// tarn-stamp on Windows, built with -municode: the arguments arrive as UTF-16.
#include <string>
#include <vector>

#include "stamper/stamp_command.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
  return tarn::stamper::runStampCommand(arguments);
}
