#pragma once
// The message table: every text the launcher composes for a user, by
// identifier. On Windows it is the executable's string table; on Linux the
// same texts are compiled in (both from resources/messages.inc).

#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/format.h"

namespace tarn {

enum class MessageId : uint16_t {
#define TARN_MESSAGE(id, name, text) name = id,
#include "messages.inc"
#undef TARN_MESSAGE
};

// The text of the identifier; empty when the table has no entry for it.
std::wstring loadMessage(uint16_t id);
inline std::wstring loadMessage(MessageId id) { return loadMessage(static_cast<uint16_t>(id)); }

// The identifier's text used as a format (see base/format.h). Every identifier
// that is formatted is in the table; a missing one is an internal error that
// ends the process.
std::wstring formatMessage(MessageId id, std::initializer_list<FormatArgument> arguments);

}  // namespace tarn
