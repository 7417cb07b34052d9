#include "jvm/missing_class_path.h"

#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"

namespace tarn {

void reportMissingClassPath(const std::wstring& configuredEntries) {
  std::wstring entries;
  for (const std::wstring& entry : splitAtSeparator(configuredEntries, L';')) {
    if (entry.empty()) continue;
    if (!entries.empty()) entries += L";";
    entries += entry;
  }
  if (entries.empty()) {
    printError(loadMessage(MessageId::ClassPathMissing));
  } else {
    printError(formatMessage(MessageId::ClassPathMatchedNothing, {entries}));
  }
}

}  // namespace tarn
