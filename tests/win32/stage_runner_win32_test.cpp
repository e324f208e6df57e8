#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/stage_runner.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

using testing::CurrentDirGuard;
using testing::ReadFile;
using testing::TempDir;
using Args = std::vector<std::string>;

std::string OwnFolder() {
  char buffer[MAX_PATH * 2];
  DWORD n = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n);
  return path.substr(0, path.rfind('\\'));
}

// The probe is built beside this test program.
const std::string kProbe = OwnFolder() + "\\vorzik_probe.exe";

class Win32StageRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override { ::SetEnvironmentVariableA("VORZIK_PROBE_LOG", log_.c_str()); }
  void TearDown() override { ::SetEnvironmentVariableA("VORZIK_PROBE_LOG", nullptr); }

  StageOutcome Run(const std::string& commandLine) {
    auto runner = MakeNativeStageRunner([this] { ++pumps_; });
    return runner->RunStage(commandLine);
  }

  // The log, emptied for the next run.
  std::string TakeLog() {
    std::string text = ReadFile(log_);
    ::DeleteFileA(log_.c_str());
    return text;
  }

  Args LoggedArgs() {
    Args args;
    std::string text = TakeLog();
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\0', start);
      args.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return args;
  }

  TempDir dir_;
  std::string folder_ = dir_.Path();
  std::string log_ = folder_ + "\\probe.log";
  int pumps_ = 0;
};

// The tool's runtime splits the command line itself; the splitter must agree.
TEST_F(Win32StageRunnerTest, ArgumentsArriveAsWindowsSplitsThem) {
  const char* tails[] = {
      "-core( -input \"D:\\rec\\a b.mp2\" -output \"D:\\rec\\EtcEnc\\a_TMP1.wav\" )",
      "\"\" a\\\\\"b c\" x\"\"y \"q\"\"q\" tab\there",
      "a\\\\\\\"b c\\d \"e\\\\\" \"f\\\\\\\"g\" trailing\\",
      "; & | `x` 'single' * %PATH% ^^",
  };
  for (std::string tail : tails) {
    ASSERT_NE(Run("\"" + kProbe + "\" argv " + tail).end, StageEnd::NotStarted) << tail;
    Args expected = SplitCommandLine("p argv " + tail);
    expected.erase(expected.begin(), expected.begin() + 2);
    EXPECT_EQ(LoggedArgs(), expected) << tail;
  }
}

TEST_F(Win32StageRunnerTest, CommandLineArrivesByteForByte) {
  std::string line = "\"" + kProbe + "\" cmdline -o \"D:\\rec\\EtcEnc\\a_TMP3.wav\"  x";
  if (::GetACP() == 932)  // 表 ends in the byte of the backslash
    line += " \"\x95\\\\rec.wav\"";
  ASSERT_NE(Run(line).end, StageEnd::NotStarted);
  EXPECT_EQ(TakeLog(), line);
}

// Exception codes, as a crashed program ends with, count as a crash; every
// lower code is the tool's own and is only reported.
TEST_F(Win32StageRunnerTest, ExitCodeIsReportedAndExceptionCodesAreCrashes) {
  struct Case {
    DWORD code;
    StageEnd end;
    const char* detail;
  } cases[] = {
      {0, StageEnd::Exited, ""},
      {1, StageEnd::Exited, ""},
      {7, StageEnd::Exited, ""},
      {255, StageEnd::Exited, ""},
      {1000, StageEnd::Exited, ""},
      {0xBFFFFFFFu, StageEnd::Exited, ""},
      {0xC0000000u, StageEnd::Crashed, "exception 0xC0000000"},
      {0xC0000005u, StageEnd::Crashed, "exception 0xC0000005"},
      {0xC0000409u, StageEnd::Crashed, "exception 0xC0000409"},
  };
  for (const auto& c : cases) {
    StageOutcome outcome = Run(kProbe + " exit " + std::to_string(c.code));
    EXPECT_EQ(outcome.end, c.end) << c.code << " " << outcome.detail;
    EXPECT_EQ(static_cast<DWORD>(outcome.code), c.code);
    EXPECT_EQ(outcome.detail, c.detail) << c.code;
  }
}

TEST_F(Win32StageRunnerTest, MissingProgramReturnsAtOnce) {
  CurrentDirGuard guard;
  std::filesystem::current_path(folder_);
  StageOutcome outcome = Run("no-such-tool.exe -o out.wav in.wav");
  EXPECT_EQ(outcome.end, StageEnd::NotStarted);
  EXPECT_NE(outcome.detail.find("no-such-tool.exe"), std::string::npos) << outcome.detail;
  EXPECT_EQ(pumps_, 0) << "a failed start does not wait";
  EXPECT_FALSE(std::filesystem::exists(folder_ + "\\out.wav"));
}

TEST_F(Win32StageRunnerTest, ToolRunsInTheCurrentFolder) {
  CurrentDirGuard guard;
  std::string work = folder_ + "\\work";
  ASSERT_TRUE(::CreateDirectoryA(work.c_str(), nullptr));
  ASSERT_TRUE(::SetCurrentDirectoryA(work.c_str()));
  ASSERT_NE(Run(kProbe + " cwd").end, StageEnd::NotStarted);
  EXPECT_EQ(TakeLog(), work);
}

// The system's own search: our executable's folder, then the current
// folder, then PATH; ".exe" is added to a bare name.
TEST_F(Win32StageRunnerTest, BareNamesAreFoundByTheSystemSearch) {
  CurrentDirGuard guard;
  std::string cwd = folder_ + "\\cwd", path = folder_ + "\\path";
  ASSERT_TRUE(::CreateDirectoryA(cwd.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
  for (std::string name : {"vorzik_probe.exe", "probe_cwd.exe"})
    ASSERT_TRUE(::CopyFileA(kProbe.c_str(), (cwd + "\\" + name).c_str(), FALSE));
  for (std::string name : {"vorzik_probe.exe", "probe_cwd.exe", "probe_path.exe"})
    ASSERT_TRUE(::CopyFileA(kProbe.c_str(), (path + "\\" + name).c_str(), FALSE));
  char savedPath[32768];
  DWORD savedLength = ::GetEnvironmentVariableA("PATH", savedPath, sizeof savedPath);
  ::SetEnvironmentVariableA("PATH", path.c_str());
  ::SetCurrentDirectoryA(cwd.c_str());

  struct Case {
    std::string name, expected;
  } cases[] = {
      {"vorzik_probe", kProbe},
      {"probe_cwd", cwd + "\\probe_cwd.exe"},
      {"probe_path", path + "\\probe_path.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(Run(c.name + " whoami").end, StageEnd::NotStarted) << c.name;
    EXPECT_TRUE(lstrcmpiA(TakeLog().c_str(), c.expected.c_str()) == 0) << c.name;
  }
  ::SetEnvironmentVariableA("PATH", savedLength ? savedPath : nullptr);
}

TEST_F(Win32StageRunnerTest, PumpRunsWhileTheToolRuns) {
  ASSERT_NE(Run(kProbe + " sleep 300").end, StageEnd::NotStarted);
  EXPECT_GT(pumps_, 10);
}

TEST_F(Win32StageRunnerTest, OurHandlesAreNotInherited) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE event = ::CreateEventA(&inheritable, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  auto value = std::to_string(reinterpret_cast<std::uintptr_t>(event));
  ASSERT_NE(Run(kProbe + " handle " + value).end, StageEnd::NotStarted);
  EXPECT_EQ(TakeLog(), "closed");
  ::CloseHandle(event);
}

// Handle values are handed out lowest free slot first: a handle made after
// many runs lands where one did before unless the runs left handles behind.
// (Wine's handle count query is a stub, so the slot is what can be checked.)
TEST_F(Win32StageRunnerTest, HandleTableDoesNotGrowOverManyRuns) {
  auto probeHandle = [] {
    HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto value = reinterpret_cast<std::uintptr_t>(event);
    ::CloseHandle(event);
    return value;
  };
  ASSERT_NE(Run(kProbe + " exit 0").end,
            StageEnd::NotStarted);  // settles handles made on first use
  std::uintptr_t before = probeHandle();
  for (int i = 0; i < 40; ++i)
    ASSERT_NE(Run(kProbe + " exit 0").end, StageEnd::NotStarted);
  auto runner = MakeNativeStageRunner([] { throw std::runtime_error("pump"); });
  for (int i = 0; i < 10; ++i)
    EXPECT_THROW(runner->RunStage(kProbe + " sleep 20"), std::runtime_error);
  EXPECT_LE(probeHandle(), before + 8) << "two handles left by each of 51 runs";
}

}  // namespace
}  // namespace vorzik
