#include "shell/power/power_api_win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "shell/power/power_action.h"
#include "shell/power/sleep_inhibitor_win32.h"

namespace vorzik::shell {
namespace {

using Calls = std::vector<std::string>;

// How the stand-ins for the system functions answer, and every call they saw
// with its arguments. One world at a time: the stand-ins are plain functions
// and find it here.
struct FakeSystem {
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  BOOL versionResult = TRUE;
  BOOL openResult = TRUE;
  BOOL lookupResult = TRUE;
  BOOL adjustResult = TRUE;
  BOOL exitResult = TRUE;
  BOOL powerResult = TRUE;
  bool hasPowerState = true;
  // The version query is the running system's own, not a stand-in.
  bool realVersion = false;

  Calls calls;
};

FakeSystem* world = nullptr;

const HANDLE kFakeProcess = reinterpret_cast<HANDLE>(0x51);
const HANDLE kFakeToken = reinterpret_cast<HANDLE>(0x7a);
constexpr LUID kFakeLuid{0x1234, 0x56};

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%jx", static_cast<std::uintmax_t>(value));
  return text;
}

std::string Hex(HANDLE handle) {
  return Hex(reinterpret_cast<std::uintptr_t>(handle));
}

std::string Text(const char* text) {
  return text == nullptr ? std::string("null") : "\"" + std::string(text) + "\"";
}

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA info) {
  world->calls.push_back("GetVersionExA(size=" + std::to_string(info->dwOSVersionInfoSize) + ")");
  if (world->versionResult)
    info->dwPlatformId = world->platformId;
  return world->versionResult;
}

HANDLE WINAPI FakeGetCurrentProcess() {
  world->calls.push_back("GetCurrentProcess()");
  return kFakeProcess;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  world->calls.push_back("OpenProcessToken(process=" + Hex(process) + ", access=" + Hex(access) +
                         ")");
  if (world->openResult)
    *token = kFakeToken;
  return world->openResult;
}

BOOL WINAPI FakeLookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
  world->calls.push_back("LookupPrivilegeValueA(system=" + Text(system) + ", name=" + Text(name) +
                         ")");
  if (world->lookupResult)
    *luid = kFakeLuid;
  return world->lookupResult;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state,
                                      DWORD length, PTOKEN_PRIVILEGES previous,
                                      PDWORD returnLength) {
  const LUID_AND_ATTRIBUTES& entry = state->Privileges[0];
  world->calls.push_back(
      "AdjustTokenPrivileges(token=" + Hex(token) + ", disableAll=" + std::to_string(disableAll) +
      ", count=" + std::to_string(state->PrivilegeCount) + ", luid=" + Hex(entry.Luid.LowPart) +
      ":" + Hex(static_cast<std::uint32_t>(entry.Luid.HighPart)) + ", attributes=" +
      std::to_string(entry.Attributes) + ", bufferLength=" + std::to_string(length) +
      ", previous=" + (previous != nullptr ? "buffer" : "null") +
      ", returnLength=" + (returnLength != nullptr ? "place" : "null") + ")");
  return world->adjustResult;
}

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reserved) {
  world->calls.push_back("ExitWindowsEx(flags=" + std::to_string(flags) +
                         ", reserved=" + std::to_string(reserved) + ")");
  return world->exitResult;
}

BOOL WINAPI FakeSetSystemPowerState(BOOL suspend, BOOL force) {
  world->calls.push_back("SetSystemPowerState(suspend=" + std::to_string(suspend) +
                         ", force=" + std::to_string(force) + ")");
  return world->powerResult;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle) {
  world->calls.push_back("CloseHandle(" + Hex(handle) + ")");
  return TRUE;
}

constexpr Win32PowerCalls kFakeCalls{FakeGetVersionExA,         FakeGetCurrentProcess,
                                     FakeOpenProcessToken,      FakeLookupPrivilegeValueA,
                                     FakeAdjustTokenPrivileges, FakeExitWindowsEx,
                                     FakeSetSystemPowerState,   FakeCloseHandle};

const std::string kVersion = "GetVersionExA(size=148)";
const std::string kProcess = "GetCurrentProcess()";
const std::string kOpen = "OpenProcessToken(process=0x51, access=0x28)";
const std::string kLookup = "LookupPrivilegeValueA(system=null, name=\"SeShutdownPrivilege\")";
const std::string kAdjust =
    "AdjustTokenPrivileges(token=0x7a, disableAll=0, count=1, luid=0x1234:0x56, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
const std::string kClose = "CloseHandle(0x7a)";
const std::string kPowerOff = "ExitWindowsEx(flags=8, reserved=0)";
const std::string kShutDown = "ExitWindowsEx(flags=1, reserved=0)";
const std::string kHibernate = "SetSystemPowerState(suspend=0, force=0)";
const std::string kWindowClosed = "main window closed";
// The record as it goes out when the token did not open: the handle was never
// set, so the adjustment sees zero and no handle is closed.
const std::string kAdjustUnopened =
    "AdjustTokenPrivileges(token=0x0, disableAll=0, count=1, luid=0x1234:0x56, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
// A failed lookup leaves the identifier as it was initialised.
const std::string kAdjustNoLuid =
    "AdjustTokenPrivileges(token=0x7a, disableAll=0, count=1, luid=0x0:0x0, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";
const std::string kAdjustNothingWorked =
    "AdjustTokenPrivileges(token=0x0, disableAll=0, count=1, luid=0x0:0x0, "
    "attributes=2, bufferLength=16, previous=buffer, returnLength=place)";

void Nt(FakeSystem&) {}
void Win32s(FakeSystem& fake) {
  fake.platformId = VER_PLATFORM_WIN32s;
}
void Windows9x(FakeSystem& fake) {
  fake.platformId = VER_PLATFORM_WIN32_WINDOWS;
}
void UnknownPlatform(FakeSystem& fake) {
  fake.platformId = 3;
}
void VersionFails(FakeSystem& fake) {
  fake.versionResult = FALSE;
}
void TokenFails(FakeSystem& fake) {
  fake.openResult = FALSE;
}
void LookupFails(FakeSystem& fake) {
  fake.lookupResult = FALSE;
}
void AdjustFails(FakeSystem& fake) {
  fake.adjustResult = FALSE;
}
void ExitRefused(FakeSystem& fake) {
  fake.exitResult = FALSE;
}
void HibernateRefused(FakeSystem& fake) {
  fake.powerResult = FALSE;
}
void NoPowerStateFunction(FakeSystem& fake) {
  fake.hasPowerState = false;
}
void RunningSystemsVersion(FakeSystem& fake) {
  fake.realVersion = true;
}
void Everything9xAndFailing(FakeSystem& fake) {
  fake.platformId = VER_PLATFORM_WIN32_WINDOWS;
  fake.openResult = fake.lookupResult = fake.adjustResult = fake.powerResult = FALSE;
}

// One fake system, the RG3 index the batch ends with, every call expected,
// and whether the request counts as taken.
struct Case {
  const char* name;
  int rg3Index;
  void (*arrange)(FakeSystem&);
  Calls expected;
  bool taken;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

const Case kCases[] = {
    {"ShutDownOnNtEnablesPrivilegeThenPowersOff",
     0,
     Nt,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose, kPowerOff},
     true},
    {"ShutDownOnWin32sShutsDownWithoutPrivilege", 0, Win32s, {kVersion, kShutDown}, true},
    {"ShutDownOnWindows9xShutsDownWithoutPrivilege", 0, Windows9x, {kVersion, kShutDown}, true},
    {"ShutDownOnUnknownPlatformDoesNothing", 0, UnknownPlatform, {kVersion}, false},
    {"ShutDownWithFailedVersionQueryDoesNothing", 0, VersionFails, {kVersion}, false},
    {"ShutDownStopsWhenTokenDoesNotOpen", 0, TokenFails, {kVersion, kProcess, kOpen}, false},
    {"ShutDownStopsWhenAdjustReturnsZero",
     0,
     AdjustFails,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose},
     false},
    {"ShutDownIgnoresFailedLookup",
     0,
     LookupFails,
     {kVersion, kProcess, kOpen, kLookup, kAdjustNoLuid, kClose, kPowerOff},
     true},
    // Every Windows the program serves is NT (the suite's run on Windows XP
    // included): the version query, made for real, is the only call not logged.
    {"ShutDownOnTheRunningSystemTakesTheNtPath",
     0,
     RunningSystemsVersion,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kPowerOff},
     true},
    {"ShutDownRefusedLeavesWindowOpen",
     0,
     ExitRefused,
     {kVersion, kProcess, kOpen, kLookup, kAdjust, kClose, kPowerOff},
     false},
    {"HibernateEnablesPrivilegeThenClosesWindow",
     1,
     Nt,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed},
     true},
    {"HibernateRefusedStillClosesWindow",
     1,
     HibernateRefused,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed},
     false},
    {"HibernateGoesOnWhenTokenDoesNotOpen",
     1,
     TokenFails,
     {kProcess, kOpen, kLookup, kAdjustUnopened, kHibernate, kWindowClosed},
     true},
    {"HibernateGoesOnWhenLookupFails",
     1,
     LookupFails,
     {kProcess, kOpen, kLookup, kAdjustNoLuid, kClose, kHibernate, kWindowClosed},
     true},
    {"HibernateGoesOnWhenAdjustReturnsZero",
     1,
     AdjustFails,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kHibernate, kWindowClosed},
     true},
    {"HibernateAsksNoVersionAndGoesOnThroughEveryFailure",
     1,
     Everything9xAndFailing,
     {kProcess, kOpen, kLookup, kAdjustNothingWorked, kHibernate, kWindowClosed},
     false},
    {"HibernateWithoutTheSystemFunctionStillClosesWindow",
     1,
     NoPowerStateFunction,
     {kProcess, kOpen, kLookup, kAdjust, kClose, kWindowClosed},
     false},
};

class Win32PowerSequence : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override { world = &fake; }
  void TearDown() override { world = nullptr; }

  FakeSystem fake;
};

// The power action as the batch runs it, on the stand-ins; the window's
// closing goes into the same log, so its place among the calls is checked too.
TEST_P(Win32PowerSequence, MakesExactlyTheExpectedCalls) {
  const Case& c = GetParam();
  c.arrange(fake);
  Win32PowerCalls calls = kFakeCalls;
  if (!fake.hasPowerState)
    calls.setSystemPowerState = nullptr;
  if (fake.realVersion)
    calls.getVersionExA = SystemPowerCalls().getVersionExA;
  Win32PowerApi api(calls);

  PowerAction(c.rg3Index, api, [this] { fake.calls.push_back(kWindowClosed); });
  EXPECT_EQ(fake.calls, c.expected);

  // The same request alone answers whether the system took it.
  fake.calls.clear();
  EXPECT_EQ(c.rg3Index == kPowerShutDown ? api.PowerOff() : api.Hibernate(), c.taken);
}

INSTANTIATE_TEST_SUITE_P(PowerAction, Win32PowerSequence, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

// Only the harmless queries are made for real: nothing here touches a token
// or the power state. A run on a system set to report a given version names
// it, so a setting that did not take cannot pass for one that did.
TEST(Win32SystemPowerCalls, VersionQueryAndPrivilegeLookupAnswer) {
  const Win32PowerCalls calls = SystemPowerCalls();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(calls.getVersionExA(&version));
  EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  if (const char* expected = std::getenv("VORZIK_EXPECT_WINDOWS_VERSION")) {
    EXPECT_EQ(std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion),
              expected);
  }
  EXPECT_EQ(calls.getCurrentProcess(), ::GetCurrentProcess());
  LUID luid{};
  ASSERT_TRUE(calls.lookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
  // The identifier every Windows gives the shutdown privilege.
  EXPECT_EQ(luid.LowPart, 19u);
  EXPECT_EQ(luid.HighPart, 0);
  EXPECT_NE(calls.setSystemPowerState, nullptr);
}

std::vector<EXECUTION_STATE> executionStates;

EXECUTION_STATE WINAPI FakeSetThreadExecutionState(EXECUTION_STATE state) {
  executionStates.push_back(state);
  return ES_CONTINUOUS;  // the previous state
}

// The system is asked to stay on while held, in a state that lasts until it
// is cleared, and the state is cleared once, also by an inhibitor that goes.
TEST(Win32SleepInhibitor, HoldsTheSystemUntilReleased) {
  executionStates.clear();
  {
    Win32SleepInhibitor inhibitor(FakeSetThreadExecutionState);
    EXPECT_TRUE(executionStates.empty()) << "nothing before a batch";
    inhibitor.Hold();
    inhibitor.Hold();
    EXPECT_TRUE(inhibitor.Held());
    EXPECT_EQ(executionStates, std::vector<EXECUTION_STATE>{ES_CONTINUOUS | ES_SYSTEM_REQUIRED});
    inhibitor.Release();
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.Held());
    EXPECT_EQ(executionStates,
              (std::vector<EXECUTION_STATE>{ES_CONTINUOUS | ES_SYSTEM_REQUIRED, ES_CONTINUOUS}));
    inhibitor.Hold();
  }
  EXPECT_EQ(executionStates.size(), 4u);
  EXPECT_EQ(executionStates.back(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
  EXPECT_EQ(ES_CONTINUOUS | ES_SYSTEM_REQUIRED, 0x80000001u);
}

}  // namespace
}  // namespace vorzik::shell
