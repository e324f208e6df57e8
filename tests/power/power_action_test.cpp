#include "shell/power/power_action.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "recording_power_api.h"

namespace vorzik::shell {
namespace {

using Calls = std::vector<std::string>;

const std::string kVersion = "GetVersionExA(size=148)";
const std::string kProcess = "GetCurrentProcess()";
const std::string kOpen = "OpenProcessToken(process=0x51, access=0x28)";
const std::string kLookup = "LookupPrivilegeValueA(system=null, name=\"SeShutdownPrivilege\")";
const std::string kAdjust =
    "AdjustTokenPrivileges(token=0x7a, disableAll=false, count=1, luid=0x1234:0x56, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
const std::string kClose = "CloseHandle(token=0x7a)";
const std::string kPowerOff = "ExitWindowsEx(flags=8, reserved=0)";
const std::string kShutDown = "ExitWindowsEx(flags=1, reserved=0)";
const std::string kHibernate = "SetSystemPowerState(suspend=false, force=false)";
const std::string kWindowClosed = "main window closed";

// One fake world, the RG3 index the batch ends with, and every call expected.
struct Case {
  const char* name;
  int rg3Index;
  void (*arrange)(RecordingPowerApi&);
  Calls expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

void Nt(RecordingPowerApi&) {}
void Win32s(RecordingPowerApi& api) {
  api.platformId = kPlatformWin32s;
}
void Windows9x(RecordingPowerApi& api) {
  api.platformId = kPlatformWin32Windows;
}
void UnknownPlatform(RecordingPowerApi& api) {
  api.platformId = 3;
}
void VersionFails(RecordingPowerApi& api) {
  api.versionSucceeds = false;
}
void TokenFails(RecordingPowerApi& api) {
  api.tokenOpens = false;
}
void LookupFails(RecordingPowerApi& api) {
  api.lookupSucceeds = false;
}
void AdjustFails(RecordingPowerApi& api) {
  api.adjustSucceeds = false;
}
void ExitRefused(RecordingPowerApi& api) {
  api.exitSucceeds = false;
}
void HibernateRefused(RecordingPowerApi& api) {
  api.powerStateSucceeds = false;
}
void Everything9xAndFailing(RecordingPowerApi& api) {
  api.platformId = kPlatformWin32Windows;
  api.tokenOpens = false;
  api.lookupSucceeds = false;
  api.adjustSucceeds = false;
  api.powerStateSucceeds = false;
}

// The record as it goes out when the token did not open: the handle was never
// set, so the adjustment sees zero and no handle is closed.
const std::string kAdjustUnopened =
    "AdjustTokenPrivileges(token=0x0, disableAll=false, count=1, luid=0x1234:0x56, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
// A failed lookup leaves the identifier as it was initialised.
const std::string kAdjustNoLuid =
    "AdjustTokenPrivileges(token=0x7a, disableAll=false, count=1, luid=0x0:0x0, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
const std::string kAdjustNothingWorked =
    "AdjustTokenPrivileges(token=0x0, disableAll=false, count=1, luid=0x0:0x0, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";

const Case kCases[] = {
    {"ShutDownOnNtEnablesPrivilegeThenPowersOff",
     0,
     Nt,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose, kPowerOff}},
    {"ShutDownOnWin32sShutsDownWithoutPrivilege", 0, Win32s, {kVersion, kShutDown}},
    {"ShutDownOnWindows9xShutsDownWithoutPrivilege", 0, Windows9x, {kVersion, kShutDown}},
    {"ShutDownOnUnknownPlatformDoesNothing", 0, UnknownPlatform, {kVersion}},
    {"ShutDownWithFailedVersionQueryDoesNothing", 0, VersionFails, {kVersion}},
    {"ShutDownStopsWhenTokenDoesNotOpen", 0, TokenFails, {kVersion, kProcess, kOpen}},
    {"ShutDownStopsWhenAdjustReturnsZero",
     0,
     AdjustFails,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose}},
    {"ShutDownIgnoresFailedLookup",
     0,
     LookupFails,
     {kVersion, kProcess, kOpen, kLookup, kAdjustNoLuid, kClose, kPowerOff}},
    {"ShutDownRefusedLeavesWindowOpen",
     0,
     ExitRefused,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose, kPowerOff}},
    {"HibernateEnablesPrivilegeThenClosesWindow",
     1,
     Nt,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed}},
    {"HibernateRefusedStillClosesWindow",
     1,
     HibernateRefused,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed}},
    {"HibernateGoesOnWhenTokenDoesNotOpen",
     1,
     TokenFails,
     {kProcess, kOpen, kLookup, kAdjustUnopened, kHibernate, kWindowClosed}},
    {"HibernateGoesOnWhenLookupFails",
     1,
     LookupFails,
     {kProcess, kOpen, kLookup, kAdjustNoLuid, kClose, kHibernate, kWindowClosed}},
    {"HibernateGoesOnWhenAdjustReturnsZero",
     1,
     AdjustFails,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed}},
    {"HibernateAsksNoVersionAndGoesOnThroughEveryFailure",
     1,
     Everything9xAndFailing,
     {kProcess, kOpen, kLookup, kAdjustNothingWorked, kHibernate, kWindowClosed}},
    {"NegativeIndexDoesNothing", -1, Nt, {}},
    {"IndexPastLastItemDoesNothing", 2, Nt, {}},
};

class PowerActionCalls : public testing::TestWithParam<Case> {};

TEST_P(PowerActionCalls, MakesExactlyTheExpectedCalls) {
  const Case& c = GetParam();
  RecordingPowerApi api;
  c.arrange(api);

  // The window's closing goes into the same log, so its place among the
  // system calls is checked too.
  PowerAction(c.rg3Index, api, [&api] { api.calls.push_back(kWindowClosed); });

  EXPECT_EQ(api.calls, c.expected);
}

INSTANTIATE_TEST_SUITE_P(PowerAction, PowerActionCalls, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vorzik::shell
