#include "run/restart.h"

#include <algorithm>

#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "jni/jvm_hook_listener.h"

namespace tarn {
namespace {

const wchar_t kRestartMark[] = L"TARN_RESTART_RECORD";

struct RestartPlan {
  std::vector<int32_t> codes;
  std::wstring executable;
  RestartRecord record;
};

RestartPlan& plan() {
  static RestartPlan thePlan;
  return thePlan;
}

uint64_t nowSeconds() { return PhaseTimer::monotonicMicroseconds() / 1000000; }

bool readNumber(const std::wstring& text, uint64_t& number) {
  if (text.empty() || text.size() > 19) return false;
  number = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    number = number * 10 + static_cast<uint64_t>(c - L'0');
  }
  return true;
}

void followExit(jint code) {
  RestartPlan& thePlan = plan();
  RestartRecord next;
  const uint64_t now = nowSeconds();
  switch (decideRestart(thePlan.codes, code, thePlan.record, now, next)) {
    case RestartVerdict::NotListed:
      return;
    case RestartVerdict::Bounded: {
      const std::wstring seconds = unsignedDecimalText(now - thePlan.record.windowStart);
      if (diagnosing()) {
        diagnose("not started again: exit code %s after %s restarts within %s seconds", decimalText(code),
                 decimalText(thePlan.record.inWindow), seconds);
      }
      printError(formatMessage(MessageId::RestartBound,
                               {decimalText(code), decimalText(thePlan.record.inWindow), seconds}));
      return;
    }
    case RestartVerdict::Restart:
      break;
  }
  if (diagnosing()) {
    diagnose("restart %s: System.exit(%s) is one of Restart Exit Code; starting %s again", decimalText(next.restarts),
             decimalText(code), thePlan.executable);
  }
  int32_t exitCode = code;
  uint32_t error = 0;
  if (startAgain(thePlan.executable, std::wstring(kRestartMark) + L"=" + restartRecordText(next), exitCode, error)) {
    endProcess(exitCode);
  }
  printError(formatMessage(MessageId::RestartFailed, {unsignedDecimalText(error)}));
}

}  // namespace

std::wstring restartRecordText(const RestartRecord& record) {
  return unsignedDecimalText(record.restarts) + L":" + unsignedDecimalText(record.windowStart) + L":" +
         unsignedDecimalText(record.inWindow);
}

RestartRecord readRestartRecord(const std::wstring& text, uint64_t now) {
  const std::vector<std::wstring> parts = splitAtSeparator(text, L':');
  uint64_t numbers[3] = {};
  RestartRecord first;
  first.windowStart = now;
  if (parts.size() != 3) return first;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!readNumber(parts[i], numbers[i])) return first;
  }
  if (numbers[0] > UINT32_MAX || numbers[2] > numbers[0] || numbers[1] > now) return first;
  return RestartRecord{static_cast<uint32_t>(numbers[0]), numbers[1], static_cast<uint32_t>(numbers[2])};
}

RestartVerdict decideRestart(const std::vector<int32_t>& codes, int32_t code, const RestartRecord& previous,
                             uint64_t now, RestartRecord& next) {
  if (std::find(codes.begin(), codes.end(), code) == codes.end()) return RestartVerdict::NotListed;
  next = previous;
  if (now < previous.windowStart || now - previous.windowStart >= kRestartWindowSeconds) {
    next.windowStart = now;
    next.inWindow = 0;
  }
  if (next.inWindow >= kRestartsPerWindow) return RestartVerdict::Bounded;
  if (next.restarts == UINT32_MAX) return RestartVerdict::Bounded;
  ++next.restarts;
  ++next.inWindow;
  return RestartVerdict::Restart;
}

uint32_t takeRestartMark() {
  std::wstring text;
  const bool marked = readEnvironmentVariable(kRestartMark, text);
  if (marked) removeEnvironmentVariable(kRestartMark);
  keepStartState();
  plan().record = readRestartRecord(marked ? text : std::wstring(), nowSeconds());
  return plan().record.restarts;
}

void restartOnExitCodes(const std::vector<int32_t>& codes, const std::wstring& executable) {
  plan().codes = codes;
  plan().executable = executable;
  setJvmExitFollowUp(codes.empty() ? nullptr : &followExit);
}

}  // namespace tarn
