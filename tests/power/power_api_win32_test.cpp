#include "shell/power/power_api_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "shell/power/power_action.h"
#include "shell/power/sleep_inhibitor_win32.h"

namespace vorzik::shell {
namespace {

// What the stand-ins for the system functions saw and how they answer. One
// world at a time: the stand-ins are plain functions and find it here.
struct FakeSystem {
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  BOOL versionResult = TRUE;
  BOOL openResult = TRUE;
  BOOL lookupResult = TRUE;
  BOOL adjustResult = TRUE;
  BOOL exitResult = TRUE;
  BOOL powerResult = TRUE;

  std::vector<std::string> calls;
  DWORD versionSize = 0;
  HANDLE openedProcess = nullptr;
  DWORD access = 0;
  bool systemNameNull = false;
  std::string privilegeName;
  HANDLE adjustedToken = nullptr;
  BOOL disableAll = -1;
  unsigned char record[16] = {};
  DWORD bufferLength = 0;
  bool previousGiven = false;
  bool returnLengthGiven = false;
  UINT exitFlags = 0;
  DWORD exitReserved = 1;
  BOOL suspend = -1;
  BOOL force = -1;
  HANDLE closed = nullptr;
};

FakeSystem* world = nullptr;

const HANDLE kFakeProcess = reinterpret_cast<HANDLE>(0x51);
const HANDLE kFakeToken = reinterpret_cast<HANDLE>(0x7a);
constexpr LUID kFakeLuid{0x13, 0x2};

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA info) {
  world->calls.push_back("GetVersionExA");
  world->versionSize = info->dwOSVersionInfoSize;
  info->dwPlatformId = world->platformId;
  return world->versionResult;
}

HANDLE WINAPI FakeGetCurrentProcess() {
  world->calls.push_back("GetCurrentProcess");
  return kFakeProcess;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  world->calls.push_back("OpenProcessToken");
  world->openedProcess = process;
  world->access = access;
  *token = world->openResult ? kFakeToken : nullptr;
  return world->openResult;
}

BOOL WINAPI FakeLookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
  world->calls.push_back("LookupPrivilegeValueA");
  world->systemNameNull = system == nullptr;
  world->privilegeName = name;
  if (world->lookupResult)
    *luid = kFakeLuid;
  return world->lookupResult;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state,
                                      DWORD length, PTOKEN_PRIVILEGES previous,
                                      PDWORD returnLength) {
  world->calls.push_back("AdjustTokenPrivileges");
  world->adjustedToken = token;
  world->disableAll = disableAll;
  std::memcpy(world->record, state, sizeof world->record);
  world->bufferLength = length;
  world->previousGiven = previous != nullptr;
  world->returnLengthGiven = returnLength != nullptr;
  return world->adjustResult;
}

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reserved) {
  world->calls.push_back("ExitWindowsEx");
  world->exitFlags = flags;
  world->exitReserved = reserved;
  return world->exitResult;
}

BOOL WINAPI FakeSetSystemPowerState(BOOL suspend, BOOL force) {
  world->calls.push_back("SetSystemPowerState");
  world->suspend = suspend;
  world->force = force;
  return world->powerResult;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle) {
  world->calls.push_back("CloseHandle");
  world->closed = handle;
  return TRUE;
}

constexpr Win32PowerCalls kFakeCalls{FakeGetVersionExA,         FakeGetCurrentProcess,
                                     FakeOpenProcessToken,      FakeLookupPrivilegeValueA,
                                     FakeAdjustTokenPrivileges, FakeExitWindowsEx,
                                     FakeSetSystemPowerState,   FakeCloseHandle};

class Win32PowerApiTest : public ::testing::Test {
 protected:
  void SetUp() override { world = &fake; }
  void TearDown() override { world = nullptr; }

  // Runs the power action as the batch does, on the stand-ins.
  void RunPowerAction(int rg3Index, const Win32PowerCalls& calls = kFakeCalls) {
    Win32PowerApi api(calls);
    PowerAction(rg3Index, api, [this] { fake.calls.push_back("main window closed"); });
  }

  void ExpectPrivilegeSteps() {
    EXPECT_EQ(fake.openedProcess, kFakeProcess);
    EXPECT_EQ(fake.access, 0x28u);
    EXPECT_TRUE(fake.systemNameNull);
    EXPECT_EQ(fake.privilegeName, "SeShutdownPrivilege");
    EXPECT_EQ(fake.adjustedToken, kFakeToken);
    EXPECT_EQ(fake.disableAll, FALSE);
    // Count 1, the looked-up identifier (low part, high part), attributes 2.
    const unsigned char expected[16] = {1, 0, 0, 0, 0x13, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(fake.record, expected, sizeof expected));
    EXPECT_EQ(fake.bufferLength, 16u);
    EXPECT_TRUE(fake.previousGiven);
    EXPECT_TRUE(fake.returnLengthGiven);
    EXPECT_EQ(fake.closed, kFakeToken);
  }

  FakeSystem fake;
};

using Calls = std::vector<std::string>;
const Calls kPrivilegeCalls = {"GetCurrentProcess", "OpenProcessToken", "LookupPrivilegeValueA",
                               "AdjustTokenPrivileges", "CloseHandle"};

Calls Concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(Win32PowerApiTest, ShutDownOnNtEnablesThePrivilegeAndPowersOff) {
  RunPowerAction(kPowerShutDown);
  EXPECT_EQ(fake.calls, Concat(Concat({"GetVersionExA"}, kPrivilegeCalls), {"ExitWindowsEx"}));
  EXPECT_EQ(fake.versionSize, 148u);
  ExpectPrivilegeSteps();
  EXPECT_EQ(fake.exitFlags, static_cast<UINT>(EWX_POWEROFF));
  EXPECT_EQ(fake.exitReserved, 0u);
}

TEST_F(Win32PowerApiTest, ShutDownOnOlderPlatformsSkipsThePrivilege) {
  for (DWORD platform : {VER_PLATFORM_WIN32s, VER_PLATFORM_WIN32_WINDOWS}) {
    SCOPED_TRACE(platform);
    fake = FakeSystem{};
    fake.platformId = platform;
    RunPowerAction(kPowerShutDown);
    EXPECT_EQ(fake.calls, (Calls{"GetVersionExA", "ExitWindowsEx"}));
    EXPECT_EQ(fake.exitFlags, static_cast<UINT>(EWX_SHUTDOWN));
    EXPECT_EQ(fake.exitReserved, 0u);
  }
}

TEST_F(Win32PowerApiTest, ShutDownStopsWhenTheSystemRefusesAStep) {
  struct Refusal {
    const char* name;
    BOOL FakeSystem::*result;
    Calls expected;
  };
  const Refusal refusals[] = {
      {"version", &FakeSystem::versionResult, {"GetVersionExA"}},
      {"token",
       &FakeSystem::openResult,
       {"GetVersionExA", "GetCurrentProcess", "OpenProcessToken"}},
      {"adjust", &FakeSystem::adjustResult, Concat({"GetVersionExA"}, kPrivilegeCalls)},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    fake = FakeSystem{};
    fake.*refusal.result = FALSE;
    RunPowerAction(kPowerShutDown);
    EXPECT_EQ(fake.calls, refusal.expected);
  }
}

TEST_F(Win32PowerApiTest, HibernateAsksForHibernationThenClosesTheWindow) {
  for (BOOL refused : {FALSE, TRUE}) {
    SCOPED_TRACE(refused ? "refused" : "granted");
    fake = FakeSystem{};
    fake.powerResult = refused ? FALSE : TRUE;
    RunPowerAction(kPowerHibernate);
    EXPECT_EQ(fake.calls, Concat(kPrivilegeCalls, {"SetSystemPowerState", "main window closed"}));
    ExpectPrivilegeSteps();
    EXPECT_EQ(fake.suspend, FALSE);
    EXPECT_EQ(fake.force, FALSE);
  }
}

TEST_F(Win32PowerApiTest, HibernateWithoutTheSystemFunctionStillClosesTheWindow) {
  Win32PowerCalls calls = kFakeCalls;
  calls.setSystemPowerState = nullptr;
  Win32PowerApi api(calls);
  EXPECT_FALSE(api.SetSystemPowerState(false, false));
  RunPowerAction(kPowerHibernate, calls);
  EXPECT_EQ(fake.calls, Concat(kPrivilegeCalls, {"main window closed"}));
}

TEST_F(Win32PowerApiTest, ResultsAndRecordsPassThrough) {
  Win32PowerApi api(kFakeCalls);
  OsVersionInfo version{};
  version.osVersionInfoSize = kOsVersionInfoSize;
  fake.platformId = VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_TRUE(api.GetVersionExA(version));
  EXPECT_EQ(version.platformId, kPlatformWin32Windows);

  TokenHandle token = 0;
  EXPECT_TRUE(api.OpenProcessToken(api.GetCurrentProcess(), 0x28, token));
  EXPECT_EQ(token, reinterpret_cast<TokenHandle>(kFakeToken));
  Luid luid{};
  EXPECT_TRUE(api.LookupPrivilegeValueA(nullptr, kSeShutdownName, luid));
  EXPECT_EQ(luid.lowPart, 0x13u);
  EXPECT_EQ(luid.highPart, 2);

  fake.openResult = fake.lookupResult = fake.adjustResult = fake.exitResult = FALSE;
  fake.powerResult = FALSE;
  EXPECT_FALSE(api.OpenProcessToken(api.GetCurrentProcess(), 0x28, token));
  EXPECT_EQ(token, 0u);
  EXPECT_FALSE(api.LookupPrivilegeValueA(nullptr, kSeShutdownName, luid));
  EXPECT_FALSE(api.AdjustTokenPrivileges(1, false, TokenPrivileges{}, 16, nullptr, nullptr));
  EXPECT_FALSE(fake.previousGiven);
  EXPECT_FALSE(fake.returnLengthGiven);
  EXPECT_FALSE(api.ExitWindowsEx(kEwxShutdown, 0));
  EXPECT_FALSE(api.SetSystemPowerState(true, true));
  EXPECT_EQ(fake.suspend, TRUE);
  EXPECT_EQ(fake.force, TRUE);
}

// Only the harmless queries are made for real: nothing here touches a token
// or the power state.
TEST(Win32SystemPowerCalls, VersionQueryAndPrivilegeLookupAnswer) {
  Win32PowerApi api(SystemPowerCalls());
  OsVersionInfo version{};
  version.osVersionInfoSize = kOsVersionInfoSize;
  ASSERT_TRUE(api.GetVersionExA(version));
  EXPECT_EQ(version.platformId, kPlatformWin32Nt);
  EXPECT_EQ(api.GetCurrentProcess(), reinterpret_cast<ProcessHandle>(::GetCurrentProcess()));
  Luid luid{};
  ASSERT_TRUE(api.LookupPrivilegeValueA(nullptr, kSeShutdownName, luid));
  // The identifier every Windows gives the shutdown privilege.
  EXPECT_EQ(luid.lowPart, 19u);
  EXPECT_EQ(luid.highPart, 0);
  EXPECT_NE(SystemPowerCalls().setSystemPowerState, nullptr);
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
