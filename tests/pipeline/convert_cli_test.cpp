// vorzik-convert end to end with the recording tools: the exact command
// sequence, the arguments the tools received and the files that remain.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "pipeline/cli/convert_options.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

Lines FilesIn(const fs::path& folder) {
  Lines names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A folder with vorzik-convert beside the four recording tools, so the
// program search finds those, and a source folder with a.mp2 and b.wav.
class ConvertCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir_ / "bin");
    fs::copy_file(VORZIK_CONVERT_PATH, dir_ / "bin/vorzik-convert");
    for (std::string tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe", "normalize.exe"}) {
      fs::copy_file(std::string(VORZIK_RECORDING_TOOLS_DIR) + "/" + tool, dir_ / ("bin/" + tool));
    }
    fs::create_directory(src_);
    WriteFile(src_ + "/a.mp2", "mp2 data");
    WriteFile(src_ + "/b.wav", "wav data");
  }

  // Runs vorzik-convert; returns its exit code and keeps what it printed.
  int Convert(const std::string& args, const std::string& env = "") {
    std::string command = env + " VORZIK_TOOL_LOG='" + log_ + "' '" +
                          (dir_ / "bin/vorzik-convert") + "' " + args + " > '" +
                          (dir_ / "out.txt") + "' 2> '" + (dir_ / "err.txt") + "'";
    int status = std::system(command.c_str());
    printed_ = SplitLines(ReadFile(dir_ / "out.txt"));
    return WEXITSTATUS(status);
  }

  // Starts vorzik-convert on a.mp2 in the background with the given tool
  // hanging half-way through its output; returns once that output is there.
  // Started as nohup does, it ignores SIGHUP from its start.
  pid_t StartWithHangingTool(const std::string& tool, const std::string& output,
                             bool nohup = false) {
    ::setenv("VORZIK_TOOL_HANG", tool.c_str(), 1);
    ::setenv("VORZIK_TOOL_PID_FILE", (dir_ / "tool.pid").c_str(), 1);
    std::string program = dir_ / "bin/vorzik-convert";
    std::string source = src_ + "/a.mp2";
    char* argv[] = {program.data(), source.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (dir_ / "out.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    // An ignored signal stays ignored across the spawn.
    auto hangup = ::signal(SIGHUP, nohup ? SIG_IGN : SIG_DFL);
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    ::signal(SIGHUP, hangup);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv("VORZIK_TOOL_HANG");
    ::unsetenv("VORZIK_TOOL_PID_FILE");
    Eventually([&] { return fs::exists(output) && fs::exists(dir_ / "tool.pid"); });
    toolPid_ = std::atoi(ReadFile(dir_ / "tool.pid").c_str());
    return pid;
  }

  // Polls every 10 ms, for up to ten seconds; true once the condition holds.
  static bool Eventually(const std::function<bool()>& condition, int polls = 1000) {
    for (int i = 0; i < polls; ++i) {
      if (condition())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // True once the process has ended (a zombie nobody reaps counts).
  static bool Ended(pid_t pid, int polls = 1000) {
    return Eventually(
        [pid] {
          std::string stat = ::kill(pid, 0) == 0
                                 ? ReadFile("/proc/" + std::to_string(pid) + "/stat")
                                 : std::string();
          auto close = stat.rfind(')');
          return stat.empty() || (close != std::string::npos && stat.compare(close, 3, ") Z") == 0);
        },
        polls);
  }

  // The wait status of our child, or -1 when it did not end in time.
  static int WaitFor(pid_t pid) {
    int status = 0;
    if (Eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }))
      return status;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }

  TempDir dir_;
  pid_t toolPid_ = -1;
  std::string src_ = dir_ / "rec";
  std::string work_ = src_ + "/EtcEnc/";
  std::string log_ = dir_ / "tools.log";
  Lines printed_;
};

TEST_F(ConvertCli, DefaultsConvertAnMp2AndAWav) {
  ASSERT_EQ(Convert("'" + src_ + "/a.mp2'"), 0) << ReadFile(dir_ / "err.txt");
  ASSERT_EQ(Convert("'" + src_ + "/b.wav'"), 0) << ReadFile(dir_ / "err.txt");
  EXPECT_EQ(printed_, (Lines{
                          "ql7rzfir.exe -y -q 200 " + src_ + "/b.wav " + work_ + "b_TMP2.wav",
                          "normalize.exe -m 90 -o " + work_ + "b_TMP3.wav " + work_ + "b_TMP2.wav",
                          "BeSweet.exe -core( -input \"" + work_ + "b_TMP3.wav\" -output \"" +
                              work_ + "b.mp2\" ) -mp2enc(  -b 224 -m s )",
                      }));
  EXPECT_EQ(SplitLines(ReadFile(log_)),
            (Lines{
                "BeSweet.exe\t-core(\t-input\t" + src_ + "/a.mp2\t-output\t" + work_ +
                    "a_TMP1.wav\t-2ch\t)",
                "ql7rzfir.exe\t-y\t-q\t200\t" + work_ + "a_TMP1.wav\t" + work_ + "a_TMP2.wav",
                "normalize.exe\t-m\t90\t-o\t" + work_ + "a_TMP3.wav\t" + work_ + "a_TMP2.wav",
                "BeSweet.exe\t-core(\t-input\t" + work_ + "a_TMP3.wav\t-output\t" + work_ +
                    "a.mp2\t)\t-mp2enc(\t-b\t224\t-m\ts\t)",
                "ql7rzfir.exe\t-y\t-q\t200\t" + src_ + "/b.wav\t" + work_ + "b_TMP2.wav",
                "normalize.exe\t-m\t90\t-o\t" + work_ + "b_TMP3.wav\t" + work_ + "b_TMP2.wav",
                "BeSweet.exe\t-core(\t-input\t" + work_ + "b_TMP3.wav\t-output\t" + work_ +
                    "b.mp2\t)\t-mp2enc(\t-b\t224\t-m\ts\t)",
            }));
  EXPECT_EQ(FilesIn(work_), (Lines{"a.mp2", "b.mp2"}));
  EXPECT_EQ(ReadFile(work_ + "a.mp2"), "BeSweet.exe from a_TMP3.wav\n");
  EXPECT_EQ(ReadFile(src_ + "/a.mp2"), "mp2 data");
  EXPECT_EQ(FilesIn(src_), (Lines{"EtcEnc", "a.mp2", "b.wav"}));
}

// "--" ends the options, so a name starting with "-" is a source; a bad
// option gets one line and the way to the options, not the whole list.
TEST_F(ConvertCli, DashesEndTheOptionsAndAnswersAreShort) {
  WriteFile(src_ + "/-a.wav", "wav data");
  ASSERT_EQ(Convert("-- -a.wav", "cd '" + src_ + "' &&"), 0) << ReadFile(dir_ / "err.txt");
  EXPECT_EQ(FilesIn(work_), (Lines{"-a.mp2"}));

  EXPECT_EQ(Convert("-x.wav", "cd '" + src_ + "' &&"), 2);
  EXPECT_EQ(SplitLines(ReadFile(dir_ / "err.txt")),
            (Lines{"vorzik-convert: unknown option: -x.wav",
                   "Try 'vorzik-convert --help' for more information."}));
  EXPECT_EQ(Convert("-h"), 0);
  EXPECT_EQ(printed_.at(0), "usage: vorzik-convert SOURCE [options]");
  EXPECT_EQ(Convert("-V"), 0);
  EXPECT_EQ(printed_.at(0), "vorzik-convert (Vorzik) " + std::string(VORZIK_VERSION));
  EXPECT_EQ(printed_.at(2).rfind("License GPLv3+", 0), 0u);
}

TEST_F(ConvertCli, KeepTmpLeavesEveryStageFile) {
  ASSERT_EQ(Convert("--keep-tmp --iir --effect=80 --mode=ac3 --boost=Brex '" + src_ + "/a.mp2'"),
            0);
  EXPECT_EQ(FilesIn(work_), (Lines{"a.ac3", "a_TMP1.wav", "a_TMP2.wav", "a_TMP3.wav"}));
  EXPECT_EQ(printed_.at(1),
            "ql7rziir.exe -y -e 80 " + work_ + "a_TMP1.wav " + work_ + "a_TMP2.wav");
  EXPECT_EQ(printed_.at(3), "BeSweet.exe -core( -input \"" + work_ + "a_TMP3.wav\" -output \"" +
                                work_ + "a.ac3\" ) -boost( /b=3db ) -ac3enc( -b 224 -m s )");
}

TEST_F(ConvertCli, MissingToolIsAFailure) {
  fs::remove(dir_ / "bin/normalize.exe");
  std::string savedPath = std::getenv("PATH");
  ::setenv("PATH", "/nonexistent", 1);
  int code = Convert("'" + src_ + "/a.mp2'");
  ::setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(code, 1);
  EXPECT_NE(ReadFile(dir_ / "err.txt").find("normalise stage (normalize.exe) failed"),
            std::string::npos);
  EXPECT_EQ(printed_.size(), 4u) << "the encode stage still runs";
}

// A source name of 251 to 255 bytes fits the folder, but its stage files'
// names are five bytes longer: the failure says why the file is missing.
TEST_F(ConvertCli, AStageFileNameTooLongForTheFileSystemIsTheReason) {
  const std::string base(247, 'n');
  WriteFile(src_ + "/" + base + ".wav", "wav data");
  EXPECT_EQ(Convert("'" + src_ + "/" + base + ".wav'"), 1);
  const std::string err = ReadFile(dir_ / "err.txt");
  EXPECT_NE(err.find("filter stage (ql7rzfir.exe) failed: the name of its output file " + work_ +
                     base + "_TMP2.wav is too long for the file system"),
            std::string::npos)
      << err;
}

// A work folder that is a link back to the folder would make the source its
// own output and delete a source named like a stage file; a stage file that
// is a hard link to the source would overwrite it. Such a file is refused
// before any tool runs; a work folder linked elsewhere is the user's choice.
TEST_F(ConvertCli, AWorkFolderLeadingBackToTheSourceIsRefused) {
  WriteFile(src_ + "/a_TMP1.wav", "wav named like a stage file");
  fs::create_directory(dir_ / "elsewhere");
  const std::string link = src_ + "/EtcEnc";
  struct Case {
    std::string label;
    std::function<void()> plant;
    std::string source, reason;  // reason empty: converted
    std::string resultFile;
  } cases[] = {
      {"link to the folder", [&] { fs::create_directory_symlink(".", link); }, "a.mp2",
       "work folder EtcEnc leads back to the source folder", ""},
      {"link to the folder, stage-file source", [&] { fs::create_directory_symlink(".", link); },
       "a_TMP1.wav", "leads back to the source folder", ""},
      {"absolute link to the folder", [&] { fs::create_directory_symlink(src_, link); }, "b.wav",
       "leads back to the source folder", ""},
      {"stage file hard-linked to the source",
       [&] {
         fs::create_directory(work_);
         fs::create_hard_link(src_ + "/a.mp2", work_ + "a_TMP2.wav");
       },
       "a.mp2", "stage file " + work_ + "a_TMP2.wav is the source file itself", ""},
      {"link elsewhere", [&] { fs::create_directory_symlink(dir_ / "elsewhere", link); }, "a.mp2",
       "", dir_ / "elsewhere/a.mp2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // Never through the link: that would empty the source folder.
    if (fs::is_symlink(link))
      fs::remove(link);
    else
      fs::remove_all(link);
    fs::remove(log_);
    c.plant();
    int code = Convert("'" + src_ + "/" + c.source + "'");
    std::string err = ReadFile(dir_ / "err.txt");
    EXPECT_EQ(ReadFile(src_ + "/a.mp2"), "mp2 data");
    EXPECT_EQ(ReadFile(src_ + "/b.wav"), "wav data");
    EXPECT_EQ(ReadFile(src_ + "/a_TMP1.wav"), "wav named like a stage file");
    if (c.reason.empty()) {
      EXPECT_EQ(code, 0) << err;
      EXPECT_EQ(ReadFile(c.resultFile), "BeSweet.exe from a_TMP3.wav\n");
    } else {
      EXPECT_EQ(code, 1);
      EXPECT_NE(err.find(c.reason), std::string::npos) << err;
      EXPECT_FALSE(fs::exists(log_)) << "no tool ran";
    }
  }
}

// A crashed tool's output is junk: its own stage fails and the file goes;
// the stages after it still run, and the earlier stage files stay.
TEST_F(ConvertCli, ACrashedToolFailsAtItsOwnStageAndLeavesNoOutput) {
  struct Case {
    std::string tool, source, failure;
    Lines workFiles;
  } cases[] = {
      {"ql7rzfir.exe", "a.mp2", "filter stage (ql7rzfir.exe) failed: crashed", {"a_TMP1.wav"}},
      {"normalize.exe",
       "a.mp2",
       "normalise stage (normalize.exe) failed: crashed",
       {"a_TMP1.wav", "a_TMP2.wav"}},
      {"BeSweet.exe",
       "b.wav",
       "encode stage (BeSweet.exe) failed: crashed",
       {"b_TMP2.wav", "b_TMP3.wav"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool);
    fs::remove_all(work_);
    int code = Convert("--keep-tmp '" + src_ + "/" + c.source + "'", "VORZIK_TOOL_CRASH=" + c.tool);
    std::string err = ReadFile(dir_ / "err.txt");
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.find(c.failure), std::string::npos) << err;
    EXPECT_EQ(printed_.size(), c.source == "b.wav" ? 3u : 4u) << "later stages still run";
    EXPECT_EQ(FilesIn(work_), c.workFiles);
  }
}

TEST_F(ConvertCli, ASourceThatIsNoRegularFileIsRefused) {
  ASSERT_EQ(::mkfifo((src_ + "/fifo.wav").c_str(), 0600), 0);
  fs::create_directory(src_ + "/folder.wav");
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketPath = src_ + "/s.wav";
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  fs::create_symlink("a.mp2", src_ + "/link.mp2");
  struct Case {
    std::string source, message;
  } cases[] = {
      {src_ + "/fifo.wav", "not a regular file"}, {src_ + "/folder.wav", "not a regular file"},
      {socketPath, "not a regular file"},         {"/dev/null", "not a regular file"},
      {src_ + "/none.wav", "cannot be read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(Convert("'" + c.source + "'"), 1);
    EXPECT_NE(ReadFile(dir_ / "err.txt").find(c.source + ": " + c.message), std::string::npos)
        << ReadFile(dir_ / "err.txt");
    EXPECT_TRUE(printed_.empty());
  }
  ::close(sock);
  EXPECT_FALSE(fs::exists(work_)) << "nothing was done";
  // A link to a recording is one.
  EXPECT_EQ(Convert("'" + src_ + "/link.mp2'"), 0) << ReadFile(dir_ / "err.txt");
}

// Stopped while a tool writes: the tool gets the signal, its half-written
// output goes, and vorzik-convert ends as by the signal, leaving nothing
// running. Killed outright, it still takes the tool with it.
TEST_F(ConvertCli, StopSignalsReachTheToolAndLeaveNoHalfOutput) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    fs::remove_all(work_);
    pid_t convert = StartWithHangingTool("ql7rzfir.exe", work_ + "a_TMP2.wav");
    ASSERT_GT(toolPid_, 0);
    ASSERT_EQ(::kill(convert, signal), 0);
    int status = WaitFor(convert);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_TRUE(Ended(toolPid_));
    EXPECT_EQ(FilesIn(work_), Lines{}) << "no half output, no stage file of the stopped file";
    EXPECT_EQ(ReadFile(src_ + "/a.mp2"), "mp2 data");
    EXPECT_EQ(SplitLines(ReadFile(dir_ / "out.txt")).size(), 2u) << "nothing ran after the stop";
  }

  fs::remove_all(work_);
  pid_t convert = StartWithHangingTool("normalize.exe", work_ + "a_TMP3.wav");
  ASSERT_GT(toolPid_, 0);
  ASSERT_EQ(::kill(convert, SIGKILL), 0);
  EXPECT_EQ(WaitFor(convert) & 0x7f, SIGKILL);
  EXPECT_TRUE(Ended(toolPid_)) << "the tool does not outlive a killed front end";
}

// Started under nohup, a logout's hangup reaches neither vorzik-convert nor
// the tool it runs, which keep working; another stop signal still ends both.
TEST_F(ConvertCli, AHangupIgnoredFromTheStartStaysIgnoredInTheTool) {
  pid_t convert = StartWithHangingTool("ql7rzfir.exe", work_ + "a_TMP2.wav", true);
  ASSERT_GT(toolPid_, 0);
  // A hangup goes to the whole session.
  ASSERT_EQ(::kill(convert, SIGHUP), 0);
  ASSERT_EQ(::kill(toolPid_, SIGHUP), 0);
  EXPECT_FALSE(Ended(toolPid_, 50)) << "the tool ended by the hangup";
  ASSERT_EQ(::kill(convert, SIGTERM), 0);
  int status = WaitFor(convert);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(Ended(toolPid_));
  EXPECT_EQ(FilesIn(work_), Lines{});
}

TEST(ConvertOptions, EveryFieldAndSwitchCanBeSet) {
  ConvertOptions o;
  std::string error = ParseConvertOptions(
      {"--no-quality", "--effect=1", "--gain=2", "--fade-in=3", "--fade-out=4", "--ratio=5",
       "--ogg-quality=6.00", "--bitrate=320", "--boost=Snal", "--boost-level=7", "--noise-gate=65",
       "--error-protection", "--iir", "--mode=ogg", "--no-filter", "--no-normalize", "--no-encode",
       "--keep-tmp", "x.wav"},
      o);
  ASSERT_EQ(error, "");
  const ConversionSettings& s = o.settings;
  EXPECT_FALSE(s.useQuality);
  EXPECT_TRUE(s.useEffect && s.useGain && s.useFadeIn && s.useFadeOut && s.useBoost &&
              s.useNoiseGate && s.errorProtection);
  EXPECT_EQ(s.effect + s.gain + s.fadeIn + s.fadeOut + s.normaliseRatio, "12345");
  EXPECT_EQ(s.oggQuality, "6.00");
  EXPECT_EQ(s.bitRate, "320");
  EXPECT_EQ(s.boostPreset, "Snal");
  EXPECT_EQ(s.boostLevel, "7");
  EXPECT_EQ(s.noiseGateLevel, "65");
  EXPECT_EQ(s.filterVariant, 1);
  EXPECT_EQ(s.encodeMode, 2);
  EXPECT_FALSE(o.switches.filter || o.switches.normalise || o.switches.encode ||
               o.switches.deleteIntermediate);
  EXPECT_EQ(o.switches.filterVariant, 1);
  EXPECT_EQ(o.source, "x.wav");
}

TEST(ConvertOptions, BadArgumentsAreRejected) {
  for (const Lines& args :
       {Lines{}, Lines{"--bogus", "a.wav"}, Lines{"--mode=flac", "a.wav"},
        Lines{"--ratio", "a.wav"}, Lines{"a.wav", "b.wav"}, Lines{"--keep-tmp=1"},
        Lines{"-x", "a.wav"}, Lines{"--", "a.wav", "--help"}}) {
    ConvertOptions o;
    EXPECT_NE(ParseConvertOptions(args, o), "");
  }
}

}  // namespace
}  // namespace vorzik
