#pragma once
// The single-instance guard's shared block and the names of its kernel
// objects. The block is 2092 bytes, all values little-endian:
//
//   offset  size  field
//        0     4  listener thread id of the first instance
//        4     4  process id of the first instance
//        8     4  registered request message
//       12  1040  argument area: each argument as UTF-16 code units followed
//                 by one NUL unit, then one more NUL unit; zero to its end
//     1052    12  argument count record (only for a list with an empty
//                 argument, else zero): magic "TARN" (0x4E524154), the
//                 number of arguments, and the FNV-1a hash of the 1040
//                 bytes of the argument area followed by the number's
//                 four bytes
//     1064     8  pending request record, set by a second instance after
//                 its arguments and cleared by the first when it takes
//                 them: magic "TREQ" (0x51455254) and the requester's
//                 thread id
//     1072  1020  zero
//
// A list without empty arguments is thus written exactly as a reader that
// stops at the first two NUL units in a row expects it, and such a reader
// sees the arguments before the first empty one of any other list. The count
// record lets this reader deliver the empty ones too; its hash tells when a
// writer that does not know the record has rewritten the area since.
//
// A request message is served only while the pending record names its
// requester: a message that arrives without fresh arguments (repeated, or
// posted by another program) is dropped.
//
// Portable: the block is plain bytes, read and written here alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

inline constexpr size_t kInstanceBlockSize = 2092;
// The argument area's bytes, closing NUL unit included.
inline constexpr size_t kArgumentAreaSize = 1040;

struct InstanceOwner {
  uint32_t listenerThreadId = 0;
  uint32_t processId = 0;
  uint32_t requestMessage = 0;
};

// `block` is kInstanceBlockSize bytes in both.
void writeInstanceOwner(uint8_t* block, const InstanceOwner& owner);
InstanceOwner readInstanceOwner(const uint8_t* block);
// An owner a running first instance would have written: process and
// listener thread named. A zero-filled block has none.
bool ownerRecorded(const InstanceOwner& owner);

// Marks the arguments written as a request of the thread `requester`.
void writePendingRequest(uint8_t* block, uint32_t requester);
// True, and the record cleared, when the block holds a pending request of
// `requester`; false, and nothing changed, otherwise.
bool takePendingRequest(uint8_t* block, uint32_t requester);

// The bytes the arguments take in the argument area, closing NUL included.
size_t encodedArgumentsSize(const std::vector<std::u16string>& arguments);

// Writes the arguments into the argument area and the count record. False,
// with nothing written, when they take more than kArgumentAreaSize bytes.
bool writeForwardedArguments(uint8_t* block, const std::vector<std::u16string>& arguments);

// The arguments a block holds. With a valid count record: exactly that many,
// empty ones included. Otherwise the strings of the whole field up to the
// first two NUL units in a row; a string the field's end cuts off is
// dropped, and an empty area gives one empty string.
std::vector<std::u16string> readForwardedArguments(const uint8_t* block);

// The same for wide text: each argument as UTF-16 units.
bool writeArgumentList(uint8_t* block, const std::vector<std::wstring>& arguments);
std::vector<std::wstring> readArgumentList(const uint8_t* block);

// The name of the guard's objects for an executable path: the path with
// every backslash replaced by an underscore, its case kept.
std::wstring instanceObjectName(const std::wstring& executablePath);
// Linux: the stem of the guard's lock file and socket for an executable
// path, "tarn-" and 16 lower-case hex digits of the FNV-1a (64-bit) hash of
// the path's UTF-8 bytes, short enough for any socket address.
std::string instanceFileStem(const std::wstring& executablePath);
// The event set right before main is called.
std::wstring mainStartedEventName(const std::wstring& objectName);
// The mutex that lets one second instance at a time use the argument area.
std::wstring requestLockName(const std::wstring& objectName);

}  // namespace tarn
