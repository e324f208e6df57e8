// The whole conversion chain next to the same work done with the ffmpeg and sox command
// lines: N recordings of L seconds (MP2, stereo 48 kHz) through vorzik-convert with the
// IIR filter and the window's defaults otherwise (decode, bass shelf, normalise to 90 %,
// MP2 at 224 kbit/s), and through ffmpeg's decoder, "sox bass +12 150", "sox norm -0.915"
// and ffmpeg's libtwolame encoder. Each row's wall and CPU time over all files, the best
// of RUNS runs taken in turn, and the ratio reference / ours (above 1: ours is faster).
// Every row must leave every output; a missing or short one fails the run. A third
// row runs the same tool command lines without vorzik-convert, which waits for each tool
// in a busy poll, so that the tools' own time shows apart from the front end's.
//
// Then the MP2 encode alone (BeSweet.exe on the recordings as WAV) with 1 and with 2
// threads, waited for without cost, and with 2 threads while this program polls for its
// end as the front end does: what that poll takes from the tool on the same cores. The
// machine's load (other programs' CPU while each row ran, and the load average) is
// printed beside the figures, since a busy machine makes wall times meaningless.
//
//   chain_bench [--files N] [--seconds L] [--runs R] [--bin DIR] [--before DIR]
//
// --bin names the folder of vorzik-convert and the tools (default: this build's);
// --before adds a row for another build's folder, timed in turn with the others.
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "stereo_wav.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr int kRate = 48000;
constexpr int kKbps = 224;

constexpr const char* kThreadsVariable = "VORZIK_ENCODE_THREADS";

/// How a row starts its programs: the encoder's thread count (0: the tool's own
/// choice) and whether to wait as the front end does, in a busy poll.
struct Launch {
  int threads = 0;
  bool poll = false;
};

/// Our environment, with the thread count of `launch` in place of any of our own.
std::vector<std::string> Environment(const Launch& launch) {
  std::vector<std::string> env;
  const std::string prefix = std::string(kThreadsVariable) + "=";
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) {
      env.emplace_back(*e);
    }
  }
  if (launch.threads > 0) {
    env.push_back(prefix + std::to_string(launch.threads));
  }
  return env;
}

/// Runs a program found on PATH (or by its path) with its output thrown away.
bool Run(const Args& args, const Launch& launch = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) {
    argv.push_back(const_cast<char*>(a.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<std::string> env = Environment(launch);
  std::vector<char*> envp;
  for (std::string& e : env) {
    envp.push_back(e.data());
  }
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int r = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (r != 0) {
    return false;
  }
  int status = 0;
  pid_t done = 0;
  if (launch.poll) {
    // As the front end's runner: no pause between polls, a yield only.
    while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
      sched_yield();
    }
  } else {
    done = waitpid(pid, &status, 0);
  }
  if (done != pid) {
    return false;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed (status %d): %s ...\n", status, args[0].c_str());
    return false;
  }
  return true;
}

/// A recording with a varying bass line, a melody and a little noise; the bass swells
/// so that the +12 dB shelf drives it past full scale now and then, as real music does.
void WriteRecording(const std::string& path, double seconds, int seed) {
  uint32_t noise = 1 + uint32_t(seed);
  const double bassHz = 45 + 7 * seed;
  const double toneHz = 440 + 55 * seed;
  vorzik::bench::WriteStereoWav(path, kRate, uint32_t(seconds * kRate), [&](uint32_t n) {
    const double t = double(n) / kRate;
    const double swell = 0.17 + 0.13 * std::sin(2 * M_PI * 0.1 * t);
    const double bass = swell * std::sin(2 * M_PI * bassHz * t);
    const double tone = 0.15 * std::sin(2 * M_PI * toneHz * t) * (0.6 + 0.4 * std::sin(3 * t));
    noise = noise * 1664525u + 1013904223u;
    const double hiss = 0.03 * (double(noise >> 8) / (1 << 24) - 0.5);
    return std::pair(bass + tone + hiss, bass - tone + hiss);
  });
}

const Args kFfmpeg = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i"};

Args Concat(Args a, const Args& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

/// One chain: converts every source, leaving `output(source)`.
struct Chain {
  std::string name;
  std::function<bool(const std::string& source)> convert;
  std::function<std::string(const std::string& source)> output;
};

Chain Ours(const std::string& name, const std::string& bin) {
  return {name,
          [bin](const std::string& source) {
            return Run({bin + "/vorzik-convert", source, "--iir"});
          },
          [](const std::string& source) {
            const fs::path p(source);
            return (p.parent_path() / "EtcEnc" / p.filename()).string();
          }};
}

/// The four stages' command lines for a source, its three stage files and the output.
using Stages = std::function<std::vector<Args>(const std::string& source, const std::string& t1,
                                               const std::string& t2, const std::string& t3,
                                               const std::string& out)>;

/// Runs the stages one after another in `work`, deleting each stage file once it has
/// been read, as the front end does.
Chain Staged(const std::string& name, const std::string& work, const Stages& stages) {
  auto output = [work](const std::string& source) {
    return work + "/" + fs::path(source).filename().string();
  };
  return {name,
          [=](const std::string& source) {
            const std::string stem = work + "/" + fs::path(source).stem().string();
            const std::vector<std::string> tmp = {stem + "_TMP1.wav", stem + "_TMP2.wav",
                                                  stem + "_TMP3.wav"};
            const std::vector<Args> lines = stages(source, tmp[0], tmp[1], tmp[2], output(source));
            for (size_t i = 0; i < lines.size(); ++i) {
              if (!Run(lines[i]) || (i > 0 && !fs::remove(tmp[i - 1]))) {
                return false;
              }
            }
            return true;
          },
          output};
}

Chain Reference(const std::string& work) {
  return Staged("ffmpeg + sox", work, [](auto& source, auto& t1, auto& t2, auto& t3, auto& out) {
    return std::vector<Args>{
        Concat(kFfmpeg, {source, "-ac", "2", "-c:a", "pcm_s16le", t1}),
        {"sox", t1, t2, "bass", "+12", "150"},
        {"sox", t2, t3, "norm", "-0.915"},
        Concat(kFfmpeg, {t3, "-c:a", "libtwolame", "-b:a", std::to_string(kKbps) + "k", "-mode",
                         "joint_stereo", out})};
  });
}

/// The recording as the WAV it was encoded from.
std::string Wav(const std::string& source) {
  return fs::path(source).replace_extension(".wav").string();
}

/// The MP2 encode stage alone, on the recordings' WAVs.
Chain Mp2Encode(const std::string& name, const std::string& work, const std::string& bin,
                const Launch& launch) {
  auto output = [work](const std::string& source) {
    return work + "/" + fs::path(source).filename().string();
  };
  return {name,
          [=](const std::string& source) {
            return Run(
                {bin + "/BeSweet.exe", "-core(", "-input", Wav(source), "-output", output(source),
                 ")", "-mp2enc(", "-b", std::to_string(kKbps), "-m", "s", ")"},
                launch);
          },
          output};
}

/// The command lines vorzik-convert passes, run without it: what the tools cost alone,
/// apart from the front end's busy wait for each of them.
Chain ToolsAlone(const std::string& work, const std::string& bin) {
  return Staged("tools alone", work, [bin](auto& source, auto& t1, auto& t2, auto& t3, auto& out) {
    return std::vector<Args>{
        {bin + "/BeSweet.exe", "-core(", "-input", source, "-output", t1, "-2ch", ")"},
        {bin + "/ql7rziir.exe", "-y", t1, t2},
        {bin + "/normalize.exe", "-m", "90", "-o", t3, t2},
        {bin + "/BeSweet.exe", "-core(", "-input", t3, "-output", out, ")", "-mp2enc(", "-b",
         std::to_string(kKbps), "-m", "s", ")"}};
  });
}

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// CPU seconds the whole machine has been busy, all cores together.
double MachineBusySeconds() {
  std::ifstream stat("/proc/stat");
  std::string cpu;
  double user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
  stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
  return (user + nice + system + irq + softirq + steal) / double(sysconf(_SC_CLK_TCK));
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

struct Best {
  double wall = -1;
  double cpu = -1;       // the programs run, with their children
  double ownCpu = -1;    // this program's: its busy poll where it polls
  double othersCpu = 0;  // other programs', over all runs
  double allWall = 0;    // over all runs
  /// Cores other programs kept busy while the row ran, on average.
  double OthersLoad() const { return allWall > 0 ? othersCpu / allWall : 0; }
};

/// Runs the chain over all sources once; false when a conversion failed or an output
/// is missing or shorter than the audio it should hold.
bool TimeOnce(const Chain& chain, const std::vector<std::string>& sources, double seconds,
              Best& best) {
  for (const std::string& source : sources) {
    fs::remove(chain.output(source));
  }
  const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
  const double ownBefore = CpuSeconds(RUSAGE_SELF);
  const double busyBefore = MachineBusySeconds();
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& source : sources) {
    if (!chain.convert(source)) {
      std::fprintf(stderr, "%s: converting %s failed\n", chain.name.c_str(), source.c_str());
      return false;
    }
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
  const double own = CpuSeconds(RUSAGE_SELF) - ownBefore;
  const double busy = MachineBusySeconds() - busyBefore;
  const auto least = std::uintmax_t(0.95 * seconds * kKbps * 1000 / 8);
  for (const std::string& source : sources) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(chain.output(source), error);
    if (error || size < least) {
      std::fprintf(stderr, "%s: %s is missing or short (%ju bytes, want %ju)\n", chain.name.c_str(),
                   chain.output(source).c_str(), error ? 0 : size, least);
      return false;
    }
  }
  if (best.wall < 0 || wall < best.wall) {
    best.wall = wall;
    best.ownCpu = own;
  }
  best.cpu = best.cpu < 0 ? cpu : std::min(best.cpu, cpu);
  best.othersCpu += std::max(busy - cpu - own, 0.0);
  best.allWall += wall;
  return true;
}

std::string Option(int argc, char** argv, const char* name, const std::string& fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) {
      return argv[i + 1];
    }
  }
  return fallback;
}

}  // namespace

/// One row of the table: its times, and the ratio `reference` / it where given.
void PrintRow(const std::string& name, const Best& row, const Best* reference) {
  std::printf("%-30s %8.3f %8.3f %8.3f %7.2f", name.c_str(), row.wall, row.cpu, row.ownCpu,
              row.OthersLoad());
  if (reference != nullptr) {
    std::printf(" %8.3f %8.3f", reference->wall / row.wall, reference->cpu / row.cpu);
  }
  std::printf("\n");
}

int main(int argc, char** argv) {
  const int files = std::max(1, std::atoi(Option(argc, argv, "--files", "4").c_str()));
  const double seconds = std::max(1.0, std::atof(Option(argc, argv, "--seconds", "120").c_str()));
  const int runs = std::max(1, std::atoi(Option(argc, argv, "--runs", "3").c_str()));
  const std::string bin = Option(argc, argv, "--bin", VORZIK_BIN_DIR);
  const std::string before = Option(argc, argv, "--before", "");

  char pattern[] = "/tmp/vorzik-chain-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = pattern;
  for (const char* work : {"/reference", "/tools", "/mp2-1", "/mp2-2", "/mp2-2-poll"}) {
    fs::create_directories(dir + work);
  }
  std::vector<std::string> sources;
  for (int i = 0; i < files; ++i) {
    const std::string mp2 = dir + "/rec" + std::to_string(i + 1) + ".mp2";
    WriteRecording(Wav(mp2), seconds, i);
    if (!Run(Concat(kFfmpeg, {Wav(mp2), "-c:a", "libtwolame", "-b:a", "224k", mp2}))) {
      fs::remove_all(dir);
      return 1;
    }
    sources.push_back(mp2);
  }
  const std::string loadBefore = LoadAverage();

  // Rows by index: the chains first, the reference second, then the MP2 encode.
  std::vector<Chain> chains = {Ours("vorzik-convert", bin), Reference(dir + "/reference"),
                               ToolsAlone(dir + "/tools", bin)};
  const size_t firstMp2 = chains.size();
  chains.push_back(Mp2Encode("MP2 encode, 1 thread", dir + "/mp2-1", bin, {1, false}));
  chains.push_back(Mp2Encode("MP2 encode, 2 threads", dir + "/mp2-2", bin, {2, false}));
  chains.push_back(Mp2Encode("MP2 encode, 2 threads, polled", dir + "/mp2-2-poll", bin, {2, true}));
  if (!before.empty()) {
    chains.push_back(Ours("vorzik-convert (before)", before));
  }
  std::vector<Best> best(chains.size());
  bool ok = true;
  for (int run = 0; run < runs && ok; ++run) {
    for (size_t c = 0; c < chains.size() && ok; ++c) {
      ok = TimeOnce(chains[c], sources, seconds, best[c]);
    }
  }
  fs::remove_all(dir);
  if (!ok) {
    return 1;
  }
  std::printf("%d recordings of %.0f s, MP2 stereo 48 kHz; best of %d runs; %ld cores\n", files,
              seconds, runs, sysconf(_SC_NPROCESSORS_ONLN));
  std::printf("load average before: %s, after: %s\n\n", loadBefore.c_str(), LoadAverage().c_str());
  std::printf("%-30s %8s %8s %8s %7s %8s %8s\n", "row", "wall s", "cpu s", "own cpu", "others",
              "ratio", "cpu");
  const Best& reference = best[1];
  for (size_t c = 0; c < chains.size(); ++c) {
    const bool mp2 = c >= firstMp2 && c < firstMp2 + 3;
    PrintRow(chains[c].name, best[c], c == 1 ? nullptr : mp2 ? &best[firstMp2] : &reference);
  }
  const Best& one = best[firstMp2];
  const Best& two = best[firstMp2 + 1];
  const Best& polled = best[firstMp2 + 2];
  std::printf(
      "\ncpu: the programs run, with their children; own cpu: this program's (its busy poll);\n"
      "others: cores other programs kept busy meanwhile (0 on a quiet machine).\n"
      "ratio: ffmpeg + sox / the row for the chains, 1 thread / the row for the MP2 encode\n"
      "(above 1: the row is faster).\n\n");
  std::printf("chain, ffmpeg + sox / vorzik-convert:  %.3f wall, %.3f cpu (aim: 1.35 wall)\n",
              reference.wall / best[0].wall, reference.cpu / best[0].cpu);
  std::printf("MP2 encode, 1 thread / 2 threads:      %.3f wall, %.3f cpu (aim: 1.7 wall)\n",
              one.wall / two.wall, one.cpu / two.cpu);
  std::printf("busy poll on the 2-thread encode:      %+.3f s wall (%+.1f %%), %.3f s cpu\n",
              polled.wall - two.wall, 100 * (polled.wall / two.wall - 1), polled.ownCpu);
  std::printf("front end, vorzik-convert - tools alone: %+.3f s wall, %+.3f s cpu\n",
              best[0].wall - best[2].wall, best[0].cpu - best[2].cpu);
  return 0;
}
