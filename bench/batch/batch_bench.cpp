// Front-end overhead of a batch: RunBatch with the real stage runner over a
// folder of files, against a plain shell loop that runs the very same
// argument lists one after another. Also reports the front end's own CPU
// time (its poll is busy by design) and, with real stand-in tools, the batch
// time for real recordings.
//
//   vorzik_batch_bench [--files N] [--delay-ms D] [--real N]

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pipeline/batch_driver.h"
#include "pipeline/command_line.h"

namespace {

namespace fs = std::filesystem;
using namespace vorzik;
using Clock = std::chrono::steady_clock;

// The file list of a folder, sorted, with the select-by-index rule.
class FolderWindow final : public BatchWindow {
 public:
  explicit FolderWindow(std::string folder) : folder_(std::move(folder)) {
    for (const auto& e : fs::directory_iterator(folder_)) {
      if (e.is_regular_file())
        names_.push_back(e.path().filename());
    }
    std::sort(names_.begin(), names_.end());
  }
  std::string FolderPath() override { return folder_; }
  void SelectEntry(int i) override {
    if (i >= 0 && i < static_cast<int>(names_.size()))
      selected_ = i;
  }
  std::string SelectedFullPath() override {
    return selected_ < 0 ? "" : JoinPath(folder_, names_[selected_], kPosixPathStyle);
  }
  std::vector<std::string> EntryPaths() override {
    std::vector<std::string> paths;
    for (const auto& name : names_)
      paths.push_back(JoinPath(folder_, name, kPosixPathStyle));
    return paths;
  }
  std::string StatusText() override { return status_; }
  void SetStatusText(const std::string& text) override { status_ = text; }
  bool AutoExit() override { return false; }
  void RunPowerAction() override {}

 private:
  std::string folder_;
  std::vector<std::string> names_;
  int selected_ = -1;
  std::string status_;
};

class DefaultSwitches final : public StageSwitches {
 public:
  bool Filter() const override { return true; }
  int FilterVariant() const override { return 0; }
  bool Normalise() const override { return true; }
  bool Encode() const override { return true; }
  bool DeleteIntermediate() const override { return true; }
};

class RecordingRunner final : public StageRunner {
 public:
  explicit RecordingRunner(StageRunner& inner) : inner_(inner) {}
  StageOutcome RunStage(const std::string& commandLine) override {
    lines.push_back(commandLine);
    return inner_.RunStage(commandLine);
  }
  std::vector<std::string> lines;

 private:
  StageRunner& inner_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Timing {
  double wall = 0, cpu = 0;
  std::vector<std::string> lines;
};

Timing TimeBatch(const std::string& folder) {
  auto native = MakeNativeStageRunner([] {});
  RecordingRunner runner(*native);
  auto files = MakeNativeStageFiles();
  DefaultSwitches switches;
  FolderWindow window(folder);
  std::string boostSwitch;
  fs::current_path(folder);
  double cpu0 = CpuSeconds();
  auto t0 = Clock::now();
  RunBatch(ConversionSettings{}, boostSwitch,
           {window, switches, runner, *files, kPosixPathStyle, ""});
  Timing t;
  t.wall = std::chrono::duration<double>(Clock::now() - t0).count();
  t.cpu = CpuSeconds() - cpu0;
  t.lines = runner.lines;
  return t;
}

// The same argument lists from a shell script, one after another, with the
// work folder made first as the batch does.
double TimeShellLoop(const std::string& folder, const std::string& toolDir,
                     const std::vector<std::string>& lines, const std::string& scriptPath) {
  std::ofstream script(scriptPath);
  script << "mkdir -p " << ShellQuote(folder + "/EtcEnc") << "\n";
  for (const auto& line : lines) {
    std::vector<std::string> args = SplitCommandLine(line);
    script << ShellQuote(toolDir + "/" + args[0]);
    for (std::size_t i = 1; i < args.size(); ++i)
      script << ' ' << ShellQuote(args[i]);
    script << "\n";
  }
  script.close();
  auto t0 = Clock::now();
  int rc = std::system(("cd " + ShellQuote(folder) + " && sh " + ShellQuote(scriptPath)).c_str());
  double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  if (rc != 0)
    std::fprintf(stderr, "shell loop exited with %d\n", rc);
  return wall;
}

void MakeSources(const std::string& folder, int count) {
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%03d.wav", i);
    std::ofstream(folder + "/" + name) << "source " << i << "\n";
  }
}

int Arg(int argc, char** argv, const std::string& name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (argv[i] == name)
      return std::atoi(argv[i + 1]);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  int count = Arg(argc, argv, "--files", 200);
  int delay = Arg(argc, argv, "--delay-ms", 20);
  int real = Arg(argc, argv, "--real", 20);
  std::string base = fs::temp_directory_path() / ("vorzik-batch-bench-" + std::to_string(getpid()));
  std::string recording = VORZIK_RECORDING_TOOLS_DIR;
  setenv("VORZIK_TOOL_DELAY_MS", std::to_string(delay).c_str(), 1);

  // The runner finds tools beside its own executable first; the recording
  // tools are put on PATH and the bench lives away from the stand-ins.
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (recording + ":" + path).c_str(), 1);

  MakeSources(base + "/front", count);
  Timing batch = TimeBatch(base + "/front");
  fs::remove_all(base + "/front/EtcEnc");
  double shell = TimeShellLoop(base + "/front", recording, batch.lines, base + "/loop.sh");
  std::printf("batch of %d files, %zu tool runs of ~%d ms each\n", count, batch.lines.size(),
              delay);
  std::printf("  front end  %8.3f s wall, %8.3f s own CPU (busy poll)\n", batch.wall, batch.cpu);
  std::printf("  shell loop %8.3f s wall\n", shell);
  std::printf("  ratio front end / shell loop: %.3f (goal <= 1.05)\n", batch.wall / shell);
  setenv("PATH", path.c_str(), 1);
  unsetenv("VORZIK_TOOL_DELAY_MS");

  std::string standIns = VORZIK_STAND_IN_DIR;
  if (real > 0 && fs::exists(standIns + "/BeSweet.exe")) {
    setenv("PATH", (standIns + ":" + path).c_str(), 1);
    fs::create_directories(base + "/real");
    for (int i = 0; i < real; ++i) {
      char cmd[512];
      std::snprintf(cmd, sizeof cmd,
                    "ffmpeg -v error -f lavfi -i 'sine=frequency=%d:duration=60:sample_rate=48000' "
                    "-ac 2 -c:a pcm_s16le -y '%s/real/r%02d.wav'",
                    110 + 40 * i, base.c_str(), i);
      if (std::system(cmd) != 0)
        std::fprintf(stderr, "could not generate a source\n");
    }
    Timing t = TimeBatch(base + "/real");
    double audio = 60.0 * real;
    std::printf("real batch: %d files of 60 s, default settings: %.2f s wall, %.1f x real time\n",
                real, t.wall, audio / t.wall);
  }
  fs::current_path("/");
  fs::remove_all(base);
  return 0;
}
