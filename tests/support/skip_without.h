#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace vorzik::testing {

/// True on CI (CI=true), where every test must run: a machine that lacks what a
/// test needs is a broken CI machine, not a reason to pass untested.
inline bool EveryTestMustRun() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

}  // namespace vorzik::testing

/// Ends the test for lack of `what` (an X server, a display, a font): skipped on a
/// developer's machine, failed on CI.
#define VORZIK_SKIP_WITHOUT(what)                                \
  do {                                                           \
    if (::vorzik::testing::EveryTestMustRun())                   \
      GTEST_FAIL() << "CI=true, yet the test has no " << (what); \
    else                                                         \
      GTEST_SKIP() << "no " << (what);                           \
  } while (false)
