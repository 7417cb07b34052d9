#include "base/message_table.h"

#include "base/fatal.h"

namespace tarn {

std::wstring formatMessage(MessageId id, std::initializer_list<FormatArgument> arguments) {
  std::wstring format = loadMessage(id);
  if (format.empty()) endProcessOnFatalFailure(FatalFailure::Other);
  return formatText(format, arguments);
}

}  // namespace tarn
