#include "run/sibling_relaunch.h"

#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/error_output.h"
#include "base/message_table.h"

namespace tarn {
namespace {

const wchar_t kStartedBySibling[] = L"TARN_STARTED_BY_PAIRED_LAUNCHER";

}  // namespace

bool takeStartedBySiblingMark() {
  std::wstring value;
  if (!readEnvironmentVariable(kStartedBySibling, value)) return false;
  removeEnvironmentVariable(kStartedBySibling);
  return value == L"1";
}

int32_t handOverToSibling(const std::wstring& sibling, const std::wstring& ownExecutable, bool pairReturnCode,
                          bool startedBySibling) {
  if (startedBySibling) {
    printError(loadMessage(MessageId::SiblingHandsBack), ownExecutable);
    return -1;
  }
  if (isSameFile(sibling, ownExecutable)) {
    printError(loadMessage(MessageId::SiblingIsThisLauncher), sibling);
    return -1;
  }
  if (diagnosing()) {
    diagnose("handing the start to %s", sibling);
  }
  setEnvironmentVariable(kStartedBySibling, L"1");
  int32_t exitCode = 0;
  uint32_t error = 0;
  const bool started = startSibling(sibling, pairReturnCode, exitCode, error);
  removeEnvironmentVariable(kStartedBySibling);
  if (!started) {
    printError(loadMessage(MessageId::SiblingStartFailed), sibling, static_cast<int32_t>(error));
    return -1;
  }
  return exitCode;
}

}  // namespace tarn
