#pragma once
// Which addresses the JRE Not Found dialog's link may hand to the shell. The
// shell opens far more than web pages (programs by name, file and network
// paths, file: addresses, any registered protocol), so the link takes only
// an absolute http: or https: address; anything else is shown as plain text.

#include <string>

namespace tarn {

// "http://" or "https://" (the scheme in any case), then a host that does
// not begin with a separator, and no blank, control character, double quote,
// angle bracket or backslash anywhere.
bool isWebAddress(const std::wstring& address);

}  // namespace tarn
