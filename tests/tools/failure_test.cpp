// Every tool fails cleanly: one line, a non-zero exit, no output, the input untouched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/audio_check.h"
#include "tests/tools/run_tool.h"
#include "tools/temp_output.h"

namespace vorzik::tools::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

struct Tool {
  const char* program;
  std::function<Words(const std::string& in, const std::string& out)> args;
};

const std::vector<Tool>& Tools() {
  static const std::vector<Tool> tools = {
      {"BeSweet.exe",
       [](auto in, auto out) {
         return Words{"-core(", "-input", in, "-output", out, "-2ch", ")"};
       }},
      {"BeSweet.exe",
       [](auto in, auto out) {
         return Words{"-core(",   "-input", in,    "-output", out, ")",
                      "-mp2enc(", "-b",     "224", "-m",      "s", ")"};
       }},
      {"ql7rzfir.exe",
       [](auto in, auto out) {
         return Words{"-y", "-q", "200", in, out};
       }},
      {"ql7rziir.exe",
       [](auto in, auto out) {
         return Words{"-y", "-e", "100", in, out};
       }},
      {"normalize.exe",
       [](auto in, auto out) {
         return Words{"-m", "90", "-o", out, in};
       }},
  };
  return tools;
}

void ExpectOneLineFailure(const ToolRun& run, const std::string& program, int exitCode) {
  EXPECT_EQ(run.exitCode, exitCode) << run.errorText;
  EXPECT_THAT(run.errorText, StartsWith(program + ": "));
  ASSERT_FALSE(run.errorText.empty());
  EXPECT_EQ(run.errorText.find('\n'), run.errorText.size() - 1) << run.errorText;
}

class Failure : public ::testing::TestWithParam<size_t> {
 protected:
  const Tool& ToolUnderTest() const { return Tools()[GetParam()]; }
  /// Runs the tool, expecting a failure that leaves the folder as it was.
  void ExpectCleanFailure(const std::string& in, const std::string& out, const char* message) {
    const std::vector<std::string> before = ListFolder(dir_.Path());
    const std::string input = vorzik::testing::FileExists(in) ? vorzik::testing::ReadFile(in) : "";
    const ToolRun run = RunTool(ToolUnderTest().program, ToolUnderTest().args(in, out));
    ExpectOneLineFailure(run, ToolUnderTest().program, 1);
    EXPECT_THAT(run.errorText, HasSubstr(message));
    EXPECT_EQ(ListFolder(dir_.Path()), before);
    EXPECT_FALSE(vorzik::testing::FileExists(out));
    if (!input.empty()) {
      EXPECT_EQ(vorzik::testing::ReadFile(in), input);
    }
  }

  vorzik::testing::TempDir dir_;
};

TEST_P(Failure, MissingInput) {
  ExpectCleanFailure(dir_ / "missing.wav", dir_ / "out.wav", "No such file");
}

// A FIFO, folder or device in a recording's place fails the tool at once; a
// FIFO without a writer would otherwise hold it, and a batch, for ever.
TEST_P(Failure, InputThatIsNoRegularFile) {
  ASSERT_EQ(mkfifo((dir_ / "fifo.wav").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((dir_ / "folder.wav").c_str(), 0755), 0);
  const std::vector<std::string> before = ListFolder(dir_.Path());
  for (const std::string& in : {dir_ / "fifo.wav", dir_ / "folder.wav", std::string("/dev/zero")}) {
    const ToolRun run = RunTool(ToolUnderTest().program, ToolUnderTest().args(in, dir_ / "out.wav"),
                                std::chrono::seconds(20));
    ExpectOneLineFailure(run, ToolUnderTest().program, 1);
    EXPECT_THAT(run.errorText, HasSubstr(in + ": not a regular file"));
  }
  EXPECT_EQ(ListFolder(dir_.Path()), before);
}

TEST_P(Failure, CorruptInput) {
  std::string garbage;
  for (int i = 0; i < 200; ++i) {
    garbage += "this is not audio at all ";
  }
  vorzik::testing::WriteFile(dir_ / "garbage.wav", garbage);
  ExpectCleanFailure(dir_ / "garbage.wav", dir_ / "out.wav", "garbage.wav");
  vorzik::testing::WriteFile(dir_ / "cut.wav", std::string("RIFF\x24\x10\0\0WAVEfmt ", 16));
  ExpectCleanFailure(dir_ / "cut.wav", dir_ / "out.wav", "cut.wav");
  // Two recordings joined: stereo at 48 kHz, then mono at 44.1 kHz.
  ASSERT_EQ(RunTool("vorzik-samples", {dir_ / "samples"}).exitCode, 0);
  vorzik::testing::WriteFile(dir_ / "joined.mp2",
                             vorzik::testing::ReadFile(dir_ / "samples/sweep.mp2") +
                                 vorzik::testing::ReadFile(dir_ / "samples/mono_speech_like.mpa"));
  ExpectCleanFailure(dir_ / "joined.mp2", dir_ / "out.wav", "the audio");
}

TEST_P(Failure, UnwritableOutputFolder) {
  WriteWav(dir_ / "in.wav", MakeTones({{440, 0.3}}, 0.2));
  ExpectCleanFailure(dir_ / "in.wav", dir_ / "no-such-folder/out.wav", "cannot write");
  vorzik::testing::WriteFile(dir_ / "plain-file", "x");
  ExpectCleanFailure(dir_ / "in.wav", dir_ / "plain-file/out.wav", "cannot write");
  if (geteuid() != 0) {  // root writes into read-only folders anyway
    ASSERT_EQ(mkdir((dir_ / "locked").c_str(), 0555), 0);
    ExpectCleanFailure(dir_ / "in.wav", dir_ / "locked/out.wav", "cannot write");
  }
}

TEST_P(Failure, InputMayBeTheOutput) {
  WriteWav(dir_ / "a.wav", MakeTones({{50, 0.1}, {440, 0.1}}, 0.5));
  const std::string before = vorzik::testing::ReadFile(dir_ / "a.wav");
  const ToolRun run =
      RunTool(ToolUnderTest().program, ToolUnderTest().args(dir_ / "a.wav", dir_ / "a.wav"));
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  EXPECT_EQ(ListFolder(dir_.Path()), std::vector<std::string>{"a.wav"});
  const std::string after = vorzik::testing::ReadFile(dir_ / "a.wav");
  EXPECT_GT(after.size(), 1000u);
}

TEST_P(Failure, EmptyWavGivesAnEmptyOutput) {
  WriteWav(dir_ / "empty.wav", MakeTones({}, 0.0));
  const ToolRun run =
      RunTool(ToolUnderTest().program, ToolUnderTest().args(dir_ / "empty.wav", dir_ / "out.wav"));
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  EXPECT_TRUE(vorzik::testing::FileExists(dir_ / "out.wav"));
  EXPECT_EQ(ListFolder(dir_.Path()), (std::vector<std::string>{"empty.wav", "out.wav"}));
}

// The temporary file's name does not grow with the output's: the longest name a
// folder takes works, and nothing else stays beside it.
TEST_P(Failure, TheLongestOutputNameWorks) {
  WriteWav(dir_ / "in.wav", MakeTones({{440, 0.3}}, 0.2));
  const std::string name = std::string(251, 'n') + ".wav";
  const ToolRun run =
      RunTool(ToolUnderTest().program, ToolUnderTest().args(dir_ / "in.wav", dir_ / name));
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  EXPECT_EQ(ListFolder(dir_.Path()), (std::vector<std::string>{"in.wav", name}));
}

// A run that fails at the very end, when the finished file would replace a
// folder, still leaves no temporary file.
TEST_P(Failure, AnOutputThatCannotBeReplacedLeavesNothingBehind) {
  WriteWav(dir_ / "in.wav", MakeTones({{440, 0.3}}, 0.2));
  ASSERT_EQ(mkdir((dir_ / "busy.wav").c_str(), 0755), 0);
  vorzik::testing::WriteFile(dir_ / "busy.wav/keep", "x");
  const ToolRun run =
      RunTool(ToolUnderTest().program, ToolUnderTest().args(dir_ / "in.wav", dir_ / "busy.wav"));
  ExpectOneLineFailure(run, ToolUnderTest().program, 1);
  EXPECT_THAT(run.errorText, HasSubstr("busy.wav"));
  EXPECT_EQ(ListFolder(dir_.Path()), (std::vector<std::string>{"busy.wav", "in.wav"}));
  EXPECT_EQ(ListFolder(dir_ / "busy.wav"), std::vector<std::string>{"keep"});
}

INSTANTIATE_TEST_SUITE_P(Tools, Failure, ::testing::Range(size_t{0}, Tools().size()),
                         [](const auto& info) {
                           std::string name = Tools()[info.param].program;
                           return name.substr(0, name.find('.')) + std::to_string(info.param);
                         });

// Forks a child that writes into a temporary output and waits there, started
// ignoring `ignored` when it is not 0; returns once it writes, or -1.
pid_t ForkWriting(const std::string& path, TempOutput::Kind kind, int ignored = 0) {
  int ready[2];
  if (pipe(ready) != 0)
    return -1;
  const pid_t child = fork();
  if (child == 0) {
    if (ignored != 0)
      ::signal(ignored, SIG_IGN);
    TempOutput temp(path, kind);
    vorzik::testing::WriteFile(temp.Path(), "half a recording");
    (void)!write(ready[1], "r", 1);
    for (;;)
      pause();
  }
  close(ready[1]);
  char byte = 0;
  const bool writing = read(ready[0], &byte, 1) == 1;
  close(ready[0]);
  return writing ? child : -1;
}

// A tool stopped while it writes (a logout, Ctrl+C, the front end passing a
// stop on) ends as by the signal and leaves no temporary file, named or not.
TEST(TempOutput, StopSignalsLeaveNoTemporaryFile) {
  for (auto kind : {TempOutput::Kind::UnnamedWherePossible, TempOutput::Kind::Named}) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + "/" + std::to_string(signal));
      vorzik::testing::TempDir dir;
      const pid_t child = ForkWriting(dir / "out.wav", kind);
      ASSERT_GT(child, 0);
      const std::vector<std::string> during = ListFolder(dir.Path());
      if (kind == TempOutput::Kind::Named) {
        ASSERT_EQ(during.size(), 1u);
        EXPECT_THAT(during[0], ::testing::MatchesRegex("\\.vz-[a-z0-9]{6}"));
      } else {
        EXPECT_EQ(during, std::vector<std::string>{}) << "the file has no name yet";
      }
      ASSERT_EQ(kill(child, signal), 0);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
      EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{});
    }
  }
}

// A stop signal the tool was started ignoring (nohup) is not caught: the tool
// goes on writing, its temporary file in place.
TEST(TempOutput, AStopSignalIgnoredFromTheStartStaysIgnored) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    vorzik::testing::TempDir dir;
    const pid_t child = ForkWriting(dir / "out.wav", TempOutput::Kind::Named, signal);
    ASSERT_GT(child, 0);
    ASSERT_EQ(kill(child, signal), 0);
    usleep(200'000);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "ended by the signal";
    EXPECT_EQ(ListFolder(dir.Path()).size(), 1u);
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
}

TEST(TempOutput, CommitPutsTheFileInPlaceAndReplacesAnOlderOne) {
  for (auto kind : {TempOutput::Kind::UnnamedWherePossible, TempOutput::Kind::Named}) {
    vorzik::testing::TempDir dir;
    const std::string name = std::string(251, 'n') + ".wav";
    vorzik::testing::WriteFile(dir / name, "older");
    {
      TempOutput temp(dir / name, kind);
      vorzik::testing::WriteFile(temp.Path(), "newer");
      EXPECT_EQ(vorzik::testing::ReadFile(dir / name), "older");
      temp.Commit();
    }
    EXPECT_EQ(vorzik::testing::ReadFile(dir / name), "newer");
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{name});
    {
      TempOutput abandoned(dir / "failed.wav", kind);
      vorzik::testing::WriteFile(abandoned.Path(), "junk");
    }
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{name}) << "a failed run";
  }
}

TEST(BadCommandLine, EveryToolExitsWithUsageStatus) {
  vorzik::testing::TempDir dir;
  WriteWav(dir / "in.wav", MakeTones({{440, 0.3}}, 0.2));
  const std::vector<std::pair<std::string, Words>> cases = {
      {"ql7rzfir.exe", {"-y", "-q", dir / "in.wav", dir / "out.wav"}},
      {"ql7rziir.exe", {"-y", "-q", "200", dir / "in.wav", dir / "out.wav"}},
      {"normalize.exe", {"-m", "-o", dir / "out.wav", dir / "in.wav"}},
      {"BeSweet.exe",
       {"-core(", "-input", dir / "in.wav", "-output", dir / "out.wav", ")", "3db", ")", "-ac3enc(",
        "-b", "224", "-m", "s", ")"}},
      {"BeSweet.exe", {}},
  };
  for (const auto& [program, args] : cases) {
    ExpectOneLineFailure(RunTool(program, args), program, 2);
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"in.wav"});
  }
}

TEST(Overwrite, WithoutYAnExistingOutputIsKept) {
  vorzik::testing::TempDir dir;
  WriteWav(dir / "in.wav", MakeTones({{440, 0.3}}, 0.2));
  vorzik::testing::WriteFile(dir / "out.wav", "older");
  const ToolRun run = RunTool("ql7rziir.exe", {"-e", "100", dir / "in.wav", dir / "out.wav"});
  ExpectOneLineFailure(run, "ql7rziir.exe", 1);
  EXPECT_THAT(run.errorText, HasSubstr("-y"));
  EXPECT_EQ(vorzik::testing::ReadFile(dir / "out.wav"), "older");
}

}  // namespace
}  // namespace vorzik::tools::testing
