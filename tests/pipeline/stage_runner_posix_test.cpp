#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "pipeline/command_line.h"
#include "pipeline/stage_runner.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

using testing::CurrentDirGuard;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Args = std::vector<std::string>;

const std::string kProbe = VORZIK_PROBE_PATH;

class StageRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VORZIK_PROBE_LOG", log_.c_str(), 1); }
  void TearDown() override { ::unsetenv("VORZIK_PROBE_LOG"); }

  StageOutcome Run(const std::string& commandLine) {
    auto runner = MakeNativeStageRunner([this] { ++pumps_; });
    return runner->RunStage(commandLine);
  }

  Args LoggedArgs() {
    Args args;
    std::string text = ReadFile(log_);
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\0', start);
      args.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return args;
  }

  static bool NoChildLeft() { return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

  TempDir dir_;
  std::string log_ = dir_ / "probe.log";
  int pumps_ = 0;
};

TEST_F(StageRunnerTest, ArgumentsArriveExactlyAsSplit) {
  const std::string tail =
      "argv -core( -input \"D:\\rec\\a b.mp2\" \"\" a\\\\\"b c\" x\"\"y \"q\"\"q\" "
      "$(touch\\ hacked) ; & | `touch hacked` 'single' *";
  StageOutcome outcome = Run(kProbe + " " + tail);
  ASSERT_NE(outcome.end, StageEnd::NotStarted) << outcome.detail;
  Args expected = SplitCommandLine("p " + tail);
  expected.erase(expected.begin(), expected.begin() + 2);
  EXPECT_EQ(LoggedArgs(), expected);
  EXPECT_FALSE(std::filesystem::exists("hacked"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "hacked"));
}

TEST_F(StageRunnerTest, ExitStatusCrashesAndMissingProgramAreReported) {
  struct Case {
    std::string args;
    StageEnd end;
    int code;
  } cases[] = {
      {"exit 0", StageEnd::Exited, 0},
      {"exit 7", StageEnd::Exited, 7},
      {"exit 255", StageEnd::Exited, 255},
      {"signal 11", StageEnd::Crashed, 128 + 11},
      {"signal 6", StageEnd::Crashed, 128 + 6},
      // Not a stop: the signal did not come through us.
      {"signal 15", StageEnd::Crashed, 128 + 15},
  };
  for (const auto& c : cases) {
    StageOutcome outcome = Run(kProbe + " " + c.args);
    EXPECT_EQ(outcome.end, c.end) << c.args;
    EXPECT_EQ(outcome.code, c.code) << c.args;
    EXPECT_EQ(outcome.detail.find("signal") != std::string::npos, c.end == StageEnd::Crashed)
        << outcome.detail;
  }

  pumps_ = 0;
  StageOutcome missing = Run("no-such-tool.exe -y a b");
  EXPECT_EQ(missing.end, StageEnd::NotStarted);
  EXPECT_NE(missing.detail.find("no-such-tool.exe"), std::string::npos);
  EXPECT_EQ(pumps_, 0) << "a failed start returns at once";

  // Found, but the exec fails: a start failure, not a crash.
  WriteFile(dir_ / "not-a-program", "neither ELF nor script");
  std::filesystem::permissions(dir_ / "not-a-program", std::filesystem::perms::owner_all);
  StageOutcome unrunnable = Run(dir_ / "not-a-program");
  EXPECT_EQ(unrunnable.end, StageEnd::NotStarted);
  EXPECT_NE(unrunnable.detail.find("not-a-program: "), std::string::npos) << unrunnable.detail;
  EXPECT_TRUE(NoChildLeft());

  // A stop (here raised in us right after the fork) while that start fails is a stop,
  // not a failed start after which the batch would go on.
  static bool stopAfterFork = false;
  static const bool registered = ::pthread_atfork(
                                     nullptr,
                                     [] {
                                       if (stopAfterFork)
                                         ::raise(SIGTERM);
                                     },
                                     nullptr) == 0;
  ASSERT_TRUE(registered);
  stopAfterFork = true;
  StageOutcome stopped = Run(dir_ / "not-a-program");
  stopAfterFork = false;
  EXPECT_EQ(stopped.end, StageEnd::Stopped) << stopped.detail;
  EXPECT_EQ(stopped.code, SIGTERM);
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(StageRunnerTest, ShellMetacharactersInTheProgramNameRunNothing) {
  CurrentDirGuard guard;
  std::filesystem::current_path(dir_.Path());
  for (std::string line : {"true;touch hacked", "$(touch hacked)", "true|touch hacked",
                           "`touch hacked`", "true&touch hacked"}) {
    EXPECT_EQ(Run(line).end, StageEnd::NotStarted) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "hacked"));
}

TEST_F(StageRunnerTest, ToolRunsInTheCurrentFolder) {
  CurrentDirGuard guard;
  std::filesystem::create_directory(dir_ / "work");
  std::filesystem::current_path(dir_ / "work");
  ASSERT_NE(Run(kProbe + " cwd").end, StageEnd::NotStarted);
  EXPECT_EQ(std::filesystem::path(ReadFile(log_)), std::filesystem::canonical(dir_ / "work"));
}

TEST_F(StageRunnerTest, OwnFolderThenPathNeverTheCurrentFolder) {
  // vorzik_probe_own is built beside this test; copies of the probe under the
  // same and other names stand in the current folder (the data folder) and on
  // PATH. Empty, "." and relative PATH entries would lead to the data folder.
  CurrentDirGuard guard;
  std::filesystem::create_directory(dir_ / "cwd");
  std::filesystem::create_directory(dir_ / "path");
  for (std::string name : {"vorzik_probe_own", "probe_cwd"}) {
    std::filesystem::copy_file(kProbe, dir_ / ("cwd/" + name));
  }
  for (std::string name : {"vorzik_probe_own", "probe_path"}) {
    std::filesystem::copy_file(kProbe, dir_ / ("path/" + name));
  }
  std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (":.:../cwd:" + (dir_ / "path") + ":").c_str(), 1);
  std::filesystem::current_path(dir_ / "cwd");

  struct Case {
    std::string name, expectedFolder;  // empty: not started
  } cases[] = {
      {"vorzik_probe_own", std::filesystem::path(kProbe).parent_path().string()},
      {"probe_path", std::filesystem::canonical(dir_ / "path").string()},
      {"probe_cwd", ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(log_);
    StageOutcome outcome = Run(c.name + " whoami");
    EXPECT_EQ(outcome.end != StageEnd::NotStarted, !c.expectedFolder.empty()) << c.name;
    if (outcome.end != StageEnd::NotStarted)
      EXPECT_EQ(std::filesystem::path(ReadFile(log_)).parent_path(), c.expectedFolder) << c.name;
    else
      EXPECT_FALSE(std::filesystem::exists(log_)) << c.name;
  }
  ::setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(StageRunnerTest, PumpRunsWhileTheToolRunsAndNoChildIsLeft) {
  ASSERT_NE(Run(kProbe + " sleep 200").end, StageEnd::NotStarted);
  EXPECT_GT(pumps_, 10);
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(StageRunnerTest, ChildIsReapedWhenThePumpThrows) {
  auto runner = MakeNativeStageRunner([] { throw std::runtime_error("pump"); });
  EXPECT_THROW(runner->RunStage(kProbe + " sleep 50"), std::runtime_error);
  EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace vorzik
