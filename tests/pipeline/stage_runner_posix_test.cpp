#include <gtest/gtest.h>
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
  ASSERT_TRUE(outcome.started) << outcome.error;
  Args expected = SplitCommandLine("p " + tail);
  expected.erase(expected.begin(), expected.begin() + 2);
  EXPECT_EQ(LoggedArgs(), expected);
  EXPECT_FALSE(std::filesystem::exists("hacked"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "hacked"));
}

TEST_F(StageRunnerTest, ExitStatusAndMissingProgramAreReported) {
  StageOutcome exited = Run(kProbe + " exit 7");
  EXPECT_TRUE(exited.started);
  EXPECT_EQ(exited.exitCode, 7);

  pumps_ = 0;
  StageOutcome missing = Run("no-such-tool.exe -y a b");
  EXPECT_FALSE(missing.started);
  EXPECT_NE(missing.error.find("no-such-tool.exe"), std::string::npos);
  EXPECT_EQ(pumps_, 0) << "a failed start returns at once";
}

TEST_F(StageRunnerTest, ShellMetacharactersInTheProgramNameRunNothing) {
  CurrentDirGuard guard;
  std::filesystem::current_path(dir_.path());
  for (std::string line : {"true;touch hacked", "$(touch hacked)", "true|touch hacked",
                           "`touch hacked`", "true&touch hacked"}) {
    EXPECT_FALSE(Run(line).started) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "hacked"));
}

TEST_F(StageRunnerTest, ToolRunsInTheCurrentFolder) {
  CurrentDirGuard guard;
  std::filesystem::create_directory(dir_ / "work");
  std::filesystem::current_path(dir_ / "work");
  ASSERT_TRUE(Run(kProbe + " cwd").started);
  EXPECT_EQ(std::filesystem::path(ReadFile(log_)), std::filesystem::canonical(dir_ / "work"));
}

TEST_F(StageRunnerTest, OwnFolderThenCurrentFolderThenPath) {
  // vorzik_probe_own is built beside this test; copies of the probe under the
  // same and other names stand in the current folder and on PATH.
  CurrentDirGuard guard;
  std::filesystem::create_directory(dir_ / "cwd");
  std::filesystem::create_directory(dir_ / "path");
  for (std::string name : {"vorzik_probe_own", "probe_cwd"}) {
    std::filesystem::copy_file(kProbe, dir_ / ("cwd/" + name));
  }
  for (std::string name : {"vorzik_probe_own", "probe_cwd", "probe_path"}) {
    std::filesystem::copy_file(kProbe, dir_ / ("path/" + name));
  }
  std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (dir_ / "path").c_str(), 1);
  std::filesystem::current_path(dir_ / "cwd");

  struct Case {
    std::string name, expectedFolder;
  } cases[] = {
      {"vorzik_probe_own", std::filesystem::path(kProbe).parent_path().string()},
      {"probe_cwd", std::filesystem::canonical(dir_ / "cwd").string()},
      {"probe_path", std::filesystem::canonical(dir_ / "path").string()},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(log_);
    EXPECT_TRUE(Run(c.name + " whoami").started) << c.name;
    EXPECT_EQ(std::filesystem::path(ReadFile(log_)).parent_path(), c.expectedFolder) << c.name;
  }
  ::setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(StageRunnerTest, PumpRunsWhileTheToolRunsAndNoChildIsLeft) {
  ASSERT_TRUE(Run(kProbe + " sleep 200").started);
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
