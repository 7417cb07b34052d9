#include "ui/web_address.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace tarn {
namespace {

TEST(WebAddress, OnlyAbsoluteHttpAndHttps) {
  const struct {
    const wchar_t* address;
    bool web;
  } cases[] = {
      {L"https://adoptium.net/marketplace/", true},
      {L"http://example.org", true},
      {L"HTTPS://Example.org/a?b=c&d#e", true},
      {L"https://host:8443/path", true},
      {L"www.java.com", false},  // a program of that name in the current folder
      {L"https:", false},
      {L"https://", false},
      {L"https:///etc", false},
      {L"https:\\\\host\\share", false},
      {L"file:///C:/Windows/notepad.exe", false},
      {L"\\\\host\\share\\setup.exe", false},
      {L"C:\\Windows\\notepad.exe", false},
      {L"ms-settings:", false},
      {L"tarn-e2e-link:opened", false},
      {L"javascript:alert(1)", false},
      {L"httpx://example.org", false},
      {L"https://example.org/a b", false},
      {L"https://example.org/\"x", false},
      {L"https://example.org/\tx", false},
      {L"https://example.org\\..\\x", false},
      {L" https://example.org", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.address));
    EXPECT_EQ(isWebAddress(c.address), c.web);
  }
}

}  // namespace
}  // namespace tarn
