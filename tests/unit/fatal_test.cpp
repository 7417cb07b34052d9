// Primitive failures end the process at once with the failure's code. Each
// case runs in a child process (a GoogleTest death test).
#include "base/fatal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace tarn {
namespace {

#if defined(__SANITIZE_ADDRESS__)
#define TARN_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARN_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef TARN_UNDER_ADDRESS_SANITIZER
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

// The code as the parent sees it: all 32 bits on Windows, the low byte on Linux.
int expectedStatus(FatalFailure failure) {
#ifdef _WIN32
  return static_cast<int>(static_cast<uint32_t>(failure));
#else
  return static_cast<int>(static_cast<uint32_t>(failure) & 0xFFu);
#endif
}

TEST(FatalFailureDeathTest, LengthErrorEndsWithTheOtherCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        installFatalFailureHandlers();
        // Nothing in the launcher catches, so a throw ends in std::terminate;
        // noexcept gets there without GoogleTest's own catch in between.
        [&]() noexcept {
          std::wstring text;
          text.reserve(text.max_size() + 1);
        }();
      },
      testing::ExitedWithCode(expectedStatus(FatalFailure::Other)), "");
}

// Each way of asking for more memory than there is.
TEST(FatalFailureDeathTest, ImpossibleAllocationsEndWithNoMemory) {
  if (kUnderAddressSanitizer) {
    GTEST_SKIP() << "the address sanitizer reports an impossible allocation itself and ends the process first";
  }
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  static constexpr size_t kImpossible = std::numeric_limits<size_t>::max() / 2;
  struct Case {
    const char* name;
    void (*fail)();
  } cases[] = {
      {"new", [] { ::operator delete(::operator new(kImpossible)); }},
      {"nothrow new", [] { ::operator delete(::operator new(kImpossible, std::nothrow)); }},
      {"array new", [] { ::operator delete[](::operator new[](kImpossible)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(
        {
          installFatalFailureHandlers();
          [&]() noexcept { c.fail(); }();
        },
        testing::ExitedWithCode(expectedStatus(FatalFailure::NoMemory)), "");
  }
}

// The other ways the standard library fails end the same way: in the
// Windows build each has its own replacement (base/fatal_win.cpp), elsewhere
// the installed handlers catch them.
TEST(FatalFailureDeathTest, LibraryFailuresEndWithTheirCodes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    const char* name;
    void (*fail)();
    FatalFailure expected;
  } cases[] = {
      {"vector length", [] { std::vector<wchar_t>().reserve(std::vector<wchar_t>().max_size() + 1); },
       FatalFailure::Other},
      {"string index", [] { (void)std::wstring(L"ab").at(2); }, FatalFailure::Other},
      {"empty function", [] { std::function<void()>()(); }, FatalFailure::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(
        {
          installFatalFailureHandlers();
          // noexcept: straight to std::terminate, past GoogleTest's own catch.
          [&]() noexcept { c.fail(); }();
        },
        testing::ExitedWithCode(expectedStatus(c.expected)), "");
  }
}

TEST(FatalFailureDeathTest, EndsWithoutRunningDestructors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct PrintsWhenDestroyed {
    ~PrintsWhenDestroyed() { fputs("teardown ran", stderr); }
  };
  EXPECT_EXIT(
      {
        PrintsWhenDestroyed guard;
        endProcessOnFatalFailure(FatalFailure::IndexOutOfRange);
      },
      testing::ExitedWithCode(expectedStatus(FatalFailure::IndexOutOfRange)), "^$");
}

}  // namespace
}  // namespace tarn
