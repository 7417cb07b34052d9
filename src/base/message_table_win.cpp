// Windows: the message table is the executable's RT_STRING resource.
#include "base/message_table.h"

#include <windows.h>

namespace tarn {

namespace {

// A string block holds 16 counted strings (a 16-bit length, then that many
// UTF-16 units, no terminator). Returns the entry at `position`, or an empty
// text when the block ends first or the entry has length 0.
std::wstring entryInBlock(HMODULE module, HRSRC block, unsigned position) {
  HGLOBAL loaded = LoadResource(module, block);
  const auto* data = static_cast<const WORD*>(LockResource(loaded));
  DWORD units = SizeofResource(module, block) / sizeof(WORD);
  if (data == nullptr) return std::wstring();
  DWORD at = 0;
  for (unsigned index = 0; at < units; ++index) {
    DWORD length = data[at++];
    if (index == position) {
      if (length == 0 || at + length > units) return std::wstring();
      return std::wstring(reinterpret_cast<const wchar_t*>(data + at), length);
    }
    at += length;
  }
  return std::wstring();
}

}  // namespace

std::wstring loadMessage(uint16_t id) {
  // The executable is the program's only resource module.
  HMODULE module = GetModuleHandleW(nullptr);
  LPCWSTR blockName = MAKEINTRESOURCEW(id / 16 + 1);
  HRSRC block = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */, blockName,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  if (block == nullptr) return std::wstring();
  return entryInBlock(module, block, id % 16);
}

}  // namespace tarn
