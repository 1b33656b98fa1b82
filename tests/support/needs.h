// What a test needs of the machine (Xvfb, the local mail system, a locale).
// CI and `scripts/setup.sh --tests` install all of it, so a test that finds
// something missing fails: skipped, it would pass green and prove nothing.
// On a machine set up otherwise, TALLOWMARK_ALLOW_SKIPS=1 skips such tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace tallow::testing {

inline bool SkipsAllowed() {
  const char* allow = std::getenv("TALLOWMARK_ALLOW_SKIPS");
  return allow && *allow && std::string_view(allow) != "0";
}

}  // namespace tallow::testing

// Ends the test (or its SetUp) unless `present`: failed, or skipped when allowed.
#define TALLOWMARK_NEEDS(present, what)                                          \
  if (present) {                                                                 \
  } else if (::tallow::testing::SkipsAllowed())                                  \
    GTEST_SKIP() << (what) << " (skipped: TALLOWMARK_ALLOW_SKIPS is set)";       \
  else                                                                           \
    FAIL() << (what) << " (scripts/setup.sh --tests provides all a test needs; " \
           << "TALLOWMARK_ALLOW_SKIPS=1 skips the tests that need what is missing)"
