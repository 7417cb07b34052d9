// tarn-stamp on Linux: the arguments are UTF-8.
#include <string>
#include <vector>

#include "base/text.h"
#include "stamper/stamp_command.h"

int main(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(tarn::fromUtf8(argv[i]));
  return tarn::stamper::runStampCommand(arguments);
}
