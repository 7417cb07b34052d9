// POSIX: the message table compiled in.
#include "base/message_table.h"

namespace tarn {

namespace {

struct MessageEntry {
  uint16_t id;
  const wchar_t* text;
};

constexpr MessageEntry kMessages[] = {
#define TARN_MESSAGE(id, name, text) {id, L"" text},
#include "messages.inc"
#undef TARN_MESSAGE
};

}  // namespace

std::wstring loadMessage(uint16_t id) {
  for (const MessageEntry& entry : kMessages) {
    if (entry.id == id) return entry.text;
  }
  return std::wstring();
}

}  // namespace tarn
