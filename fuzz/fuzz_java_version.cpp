// Java version texts from arbitrary UTF-16 input: parsing, formatting,
// comparison and the requirement phrase. The input is cut in two texts so
// that two versions can be compared.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discovery/java_version.h"

namespace {

std::wstring utf16Units(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

void require(bool condition) {
  if (!condition) std::abort();
}

// Formatting keeps the parts up to the last one that is neither 0 nor 65535
// (at least two); reading the text back gives those parts, and the dropped
// ones were 0 or 65535.
void checkFormatRoundTrip(const tarn::JavaVersion& version) {
  const std::wstring text = tarn::formatJavaVersion(version);
  bool significant = false;
  for (int32_t part : version.parts) significant = significant || (part != 0 && part != 65535);
  if (!significant) {
    require(text == L"0.0.0.0");
    return;
  }
  size_t shown = 1;
  for (wchar_t c : text) {
    require((c >= L'0' && c <= L'9') || c == L'.');
    if (c == L'.') ++shown;
  }
  require(shown >= 2 && shown <= 4);
  const tarn::JavaVersion reread = tarn::parseJavaVersion(text, 0);
  for (size_t i = 0; i < 4; ++i) {
    if (i < shown) {
      require(reread.parts[i] == version.parts[i]);
    } else {
      require(version.parts[i] == 0 || version.parts[i] == 65535);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = utf16Units(data, size);
  const size_t cut = text.find(L';');
  const std::wstring first = text.substr(0, cut);
  const std::wstring second = cut == std::wstring::npos ? std::wstring() : text.substr(cut + 1);

  for (int32_t fill : {0, 65535}) {
    const tarn::JavaVersion a = tarn::parseJavaVersion(first, fill);
    const tarn::JavaVersion b = tarn::parseJavaVersion(second, fill);
    for (int32_t part : a.parts) require(part >= 0);
    checkFormatRoundTrip(a);

    require(tarn::compareJavaVersions(a, a) == 0);
    const int ab = tarn::compareJavaVersions(a, b);
    require(ab >= -1 && ab <= 1);
    require(ab == -tarn::compareJavaVersions(b, a));
    require((ab == 0) == (a == b));

    // Every version matches itself as a preferred version.
    require(tarn::matchesPreferredVersion(a, a));
    tarn::matchesPreferredVersion(a, b);
    tarn::isOpenBound(a);

    const tarn::JavaVersion& low = ab <= 0 ? a : b;
    const tarn::JavaVersion& high = ab <= 0 ? b : a;
    require(!tarn::describeVersionRequirement(low, high).empty());
    require(!tarn::describeVersionRequirement(high, low).empty());
  }
  return 0;
}
