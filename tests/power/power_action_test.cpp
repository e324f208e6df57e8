#include "shell/power/power_action.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/recording_power_api.h"

namespace vorzik::shell {
namespace {

using Calls = std::vector<std::string>;

const std::string kWindowClosed = "main window closed";

// The RG3 index the batch ends with, whether the platform takes the request,
// and every request expected, the window's closing among them.
struct Case {
  const char* name;
  int rg3Index;
  bool accepts;
  Calls expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

const Case kCases[] = {
    {"ShutDownPowersOffAndLeavesTheWindowOpen", 0, true, {"PowerOff"}},
    {"ShutDownRefusedLeavesTheWindowOpen", 0, false, {"PowerOff"}},
    {"HibernateThenClosesTheWindow", 1, true, {"Hibernate", kWindowClosed}},
    {"HibernateRefusedStillClosesTheWindow", 1, false, {"Hibernate", kWindowClosed}},
    {"NegativeIndexDoesNothing", -1, true, {}},
    {"IndexPastLastItemDoesNothing", 2, true, {}},
};

class PowerActionCalls : public testing::TestWithParam<Case> {};

TEST_P(PowerActionCalls, MakesExactlyTheExpectedRequests) {
  const Case& c = GetParam();
  RecordingPowerApi api;
  api.accepts = c.accepts;

  PowerAction(c.rg3Index, api, [&api] { api.calls.push_back(kWindowClosed); });

  EXPECT_EQ(api.calls, c.expected);
}

INSTANTIATE_TEST_SUITE_P(PowerAction, PowerActionCalls, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vorzik::shell
