#include "run/service_run.h"

#include "base/format.h"
#include "base/text.h"

namespace tarn {

std::vector<std::wstring> serviceArguments(const std::vector<std::wstring>& fromManager, bool omitServiceName) {
  if (fromManager.empty()) return {};
  return std::vector<std::wstring>(fromManager.begin() + (omitServiceName ? 1 : 0), fromManager.end());
}

uint32_t serviceSpecificCode(RunFailure failure) {
  switch (failure) {
    case RunFailure::NoRuntime: return 1;
    case RunFailure::JvmLibrary: return 2;
    case RunFailure::VmCreation:
    case RunFailure::NoClassPath: return 3;
    case RunFailure::MainClass: return 4;
    case RunFailure::None:
    case RunFailure::Abandoned: return 0;
  }
  return 0;
}

std::wstring serviceLogPath(const std::wstring& configFile) {
  const std::wstring extension = L".ini";
  const bool hasExtension = configFile.size() >= extension.size() &&
                            configFile.compare(configFile.size() - extension.size(), extension.size(), extension) == 0;
  return (hasExtension ? configFile.substr(0, configFile.size() - extension.size()) : configFile) + L".service.log";
}

bool serviceLogIsFull(uint64_t size, uint64_t adding) {
  // A single line longer than the limit still goes into a file of its own.
  return size > 0 && (size > kServiceLogLimit || adding > kServiceLogLimit - size);
}

std::wstring previousServiceLogPath(const std::wstring& logPath) { return logPath + L".1"; }

std::wstring serviceLogLine(const LocalTime& time, const std::wstring& text) {
  auto two = [](int value) { return std::wstring(value < 10 ? L"0" : L"") + decimalText(value); };
  return decimalText(time.year) + L"-" + two(time.month) + L"-" + two(time.day) + L" " + two(time.hour) + L":" +
         two(time.minute) + L":" + two(time.second) + L" " + text;
}

}  // namespace tarn
