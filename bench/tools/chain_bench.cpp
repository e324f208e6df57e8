// The whole conversion chain next to the same work done with the ffmpeg and sox command
// lines: N recordings of L seconds (MP2, stereo 48 kHz) through vorzik-convert with the
// IIR filter and the window's defaults otherwise (decode, bass shelf, normalise to 90 %,
// MP2 at 224 kbit/s), and through ffmpeg's decoder, "sox bass +12 150", "sox norm -0.915"
// and ffmpeg's libtwolame encoder. Each chain's wall time over all files, the best of
// RUNS runs taken in turn, and the ratio reference / ours (above 1: ours is faster).
// Both chains must leave every output; a missing or short one fails the run. A third
// row runs the same tool command lines without vorzik-convert, which waits for each tool
// in a busy poll, so that the tools' own time shows apart from the front end's.
//
//   chain_bench [--files N] [--seconds L] [--runs R] [--bin DIR] [--before DIR]
//
// --bin names the folder of vorzik-convert and the tools (default: this build's);
// --before adds a row for another build's folder, timed in turn with the others.
#include <fcntl.h>
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

/// Runs a program found on PATH (or by its path) with its output thrown away.
bool Run(const Args& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) {
    argv.push_back(const_cast<char*>(a.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int r = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (r != 0 || waitpid(pid, &status, 0) != pid) {
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

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Best {
  double wall = -1;
  double cpu = -1;
};

/// Runs the chain over all sources once; false when a conversion failed or an output
/// is missing or shorter than the audio it should hold.
bool TimeOnce(const Chain& chain, const std::vector<std::string>& sources, double seconds,
              Best& best) {
  for (const std::string& source : sources) {
    fs::remove(chain.output(source));
  }
  const double cpuBefore = ChildCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& source : sources) {
    if (!chain.convert(source)) {
      std::fprintf(stderr, "%s: converting %s failed\n", chain.name.c_str(), source.c_str());
      return false;
    }
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = ChildCpuSeconds() - cpuBefore;
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
  best.wall = best.wall < 0 ? wall : std::min(best.wall, wall);
  best.cpu = best.cpu < 0 ? cpu : std::min(best.cpu, cpu);
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

int main(int argc, char** argv) {
  const int files = std::max(1, std::atoi(Option(argc, argv, "--files", "4").c_str()));
  const double seconds = std::max(1.0, std::atof(Option(argc, argv, "--seconds", "120").c_str()));
  const int runs = std::max(1, std::atoi(Option(argc, argv, "--runs", "2").c_str()));
  const std::string bin = Option(argc, argv, "--bin", VORZIK_BIN_DIR);
  const std::string before = Option(argc, argv, "--before", "");

  char pattern[] = "/tmp/vorzik-chain-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = pattern;
  fs::create_directories(dir + "/reference");
  fs::create_directories(dir + "/tools");
  std::vector<std::string> sources;
  for (int i = 0; i < files; ++i) {
    const std::string wav = dir + "/made.wav";
    const std::string mp2 = dir + "/rec" + std::to_string(i + 1) + ".mp2";
    WriteRecording(wav, seconds, i);
    if (!Run(Concat(kFfmpeg, {wav, "-c:a", "libtwolame", "-b:a", "224k", mp2}))) {
      fs::remove_all(dir);
      return 1;
    }
    sources.push_back(mp2);
  }
  fs::remove(dir + "/made.wav");

  std::vector<Chain> chains = {Ours("vorzik-convert", bin), Reference(dir + "/reference"),
                               ToolsAlone(dir + "/tools", bin)};
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
  std::printf("%d recordings of %.0f s, MP2 stereo 48 kHz; best of %d runs\n", files, seconds,
              runs);
  std::printf("%-24s %9s %9s %12s %12s\n", "chain", "wall s", "cpu s", "ratio wall", "ratio cpu");
  const Best& reference = best[1];
  for (size_t c = 0; c < chains.size(); ++c) {
    std::printf("%-24s %9.3f %9.3f", chains[c].name.c_str(), best[c].wall, best[c].cpu);
    if (c != 1) {
      std::printf(" %12.3f %12.3f", reference.wall / best[c].wall, reference.cpu / best[c].cpu);
    }
    std::printf("\n");
  }
  std::printf("ratio: reference / ours (above 1: ours is faster)\n");
  return 0;
}
