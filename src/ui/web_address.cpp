#include "ui/web_address.h"

#include "base/text.h"

namespace tarn {

bool isWebAddress(const std::wstring& address) {
  size_t host = 0;
  for (const wchar_t* scheme : {L"http://", L"https://"}) {
    const std::wstring prefix(scheme);
    if (address.size() > prefix.size() && equalsNoCase(address.substr(0, prefix.size()), prefix)) host = prefix.size();
  }
  if (host == 0 || address[host] == L'/') return false;
  for (wchar_t c : address) {
    if (c <= L' ' || c == 0x7f || c == L'"' || c == L'<' || c == L'>' || c == L'\\') return false;
  }
  return true;
}

}  // namespace tarn
