// Throughput of the stand-in tools on a 60 s stereo 48 kHz WAV, next to the closest
// outside programs doing the same work (sox, the ffmpeg command line). Prints times real
// time for both and the ratio their time / our time (above 1: ours is faster), on CPU
// time and on wall time, and "net": on CPU time less what the same command costs on a
// 0.1 s excerpt, on both sides. Ours load FFmpeg's shared libraries and all they depend
// on at every start, sox far fewer; the excerpt takes that fixed cost out of both.
//
//   tools_bench [RUNS] [TOOLS_DIR]   (default 3 runs, the best of each counts; the tools
//                                     of this build unless another folder is named)
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench/tools/stereo_wav.h"

namespace {

constexpr double kSeconds = 60;
constexpr double kExcerptSeconds = 0.1;
constexpr int kRate = 48000;

void WriteInput(const std::string& path, double seconds) {
  uint32_t noise = 1;
  vorzik::bench::WriteStereoWav(path, kRate, uint32_t(seconds * kRate), [&](uint32_t n) {
    const double t = double(n) / kRate;
    noise = noise * 1664525u + 1013904223u;
    const double v = 0.3 * std::sin(2 * M_PI * 60 * t) + 0.2 * std::sin(2 * M_PI * 1000 * t) +
                     0.05 * (double(noise >> 8) / (1 << 24) - 0.5);
    return std::pair(v, v);
  });
}

struct Timing {
  double wall = -1;  // seconds
  double cpu = -1;   // user + system seconds of the child
};

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Best of `runs` runs of a shell command. The machine is shared, so the CPU time of
/// the child is the steadier measure; wall time is shown beside it.
Timing Time(const std::string& command, int runs) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    const double cpuBefore = ChildCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ChildCpuSeconds() - cpuBefore;
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "failed: %s\n", command.c_str());
      return {};
    }
    best.wall = best.wall < 0 ? wall : std::min(best.wall, wall);
    best.cpu = best.cpu < 0 ? cpu : std::min(best.cpu, cpu);
  }
  return best;
}

/// The files a row's commands read, and the path their outputs start with. Paths are
/// quoted in the commands, so they must not hold a single quote.
struct Inputs {
  std::string wav;
  std::string mp2;
  std::string out;  // output path without extension
};

/// A shell command with {wav}, {mp2} and {out} standing for the paths of `in`.
std::string Fill(std::string command, const Inputs& in) {
  for (const auto& [key, path] :
       {std::pair("{wav}", &in.wav), std::pair("{mp2}", &in.mp2), std::pair("{out}", &in.out)}) {
    for (size_t at = command.find(key); at != std::string::npos;
         at = command.find(key, at + path->size())) {
      command.replace(at, std::strlen(key), *path);
    }
  }
  return command;
}

struct Row {
  const char* work;
  std::string ours;
  const char* reference;
  std::string theirs;  // empty: no outside program does the same
};

/// A command's time on the full input, and on a short excerpt of it: what a run costs
/// whatever the length (loading libraries, opening codecs, setting up the graph).
struct Measured {
  Timing full;
  Timing start;
  double NetCpu() const { return full.cpu - start.cpu; }
  bool Ok() const { return full.cpu >= 0 && start.cpu >= 0; }
};

Measured TimeBoth(const std::string& command, const Inputs& full, const Inputs& excerpt, int runs) {
  return {Time(Fill(command, full), runs), Time(Fill(command, excerpt), runs)};
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::string bin = argc > 2 ? argv[2] : VORZIK_TOOLS_DIR;
  std::string pattern =
      (std::filesystem::temp_directory_path() / "vorzik-tools-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::filesystem::path dir = pattern;
  const Inputs full = {(dir / "in.wav").string(), (dir / "in.mp2").string(),
                       (dir / "out").string()};
  const Inputs excerpt = {(dir / "short.wav").string(), (dir / "short.mp2").string(),
                          (dir / "out-short").string()};
  WriteInput(full.wav, kSeconds);
  WriteInput(excerpt.wav, kExcerptSeconds);
  auto tool = [&](const char* name) { return "'" + bin + "/" + name + "'"; };
  const std::string core = tool("BeSweet.exe") + " -core\\( -input ";
  const std::string mp2enc = " \\) -mp2enc\\( -b 224 -m s \\)";
  for (const Inputs* in : {&full, &excerpt}) {
    if (std::system(Fill(core + "'{wav}' -output '{mp2}'" + mp2enc, *in).c_str()) != 0) {
      std::fprintf(stderr, "cannot make %s\n", in->mp2.c_str());
      std::filesystem::remove_all(dir);
      return 1;
    }
  }
  const std::string ff = "ffmpeg -nostdin -hide_banner -loglevel error -y -i ";
  const std::vector<Row> rows = {
      {"FIR shelf -q 200", tool("ql7rzfir.exe") + " -y -q 200 '{wav}' '{out}.wav'", "", ""},
      {"IIR shelf", tool("ql7rziir.exe") + " -y -e 100 '{wav}' '{out}.wav'", "sox bass +12 150",
       "sox '{wav}' '{out}-sox.wav' bass +12 150"},
      {"normalise 90%", tool("normalize.exe") + " -m 90 -o '{out}.wav' '{wav}'", "sox norm -0.915",
       "sox '{wav}' '{out}-sox.wav' norm -0.915"},
      {"decode MP2", core + "'{mp2}' -output '{out}.wav' -2ch \\)", "ffmpeg",
       ff + "'{mp2}' -ac 2 -c:a pcm_s16le '{out}-ff.wav'"},
      {"encode MP2 224", core + "'{wav}' -output '{out}.mp2'" + mp2enc, "ffmpeg libtwolame",
       ff + "'{wav}' -c:a libtwolame -b:a 224k -mode joint_stereo '{out}-ff.mp2'"},
      {"encode AC3 224", core + "'{wav}' -output '{out}.ac3' \\) -ac3enc\\( -b 224 -m s \\)",
       "ffmpeg ac3", ff + "'{wav}' -c:a ac3 -b:a 224k '{out}-ff.ac3'"},
      {"encode Ogg q4", core + "'{wav}' -output '{out}.ogg' \\) -ogg\\( -q 4.00 \\)",
       "ffmpeg libvorbis", ff + "'{wav}' -c:a libvorbis -q:a 4 '{out}-ff.ogg'"},
  };
  std::printf(
      "%.0f s stereo 48 kHz; best of %d runs; \"start\": the same command on %.1f s of it\n\n",
      kSeconds, runs, kExcerptSeconds);
  std::printf("%-16s %8s %8s %7s %7s | %-18s %8s %8s %7s %7s | %6s %6s %6s\n", "work", "ours cpu",
              "wall", "start", "x real", "reference", "cpu", "wall", "start", "x real", "ratio",
              "wall", "net");
  // A command that failed was named on standard error; its row shows no figures, and
  // the run ends with status 1.
  bool failed = false;
  for (const Row& row : rows) {
    const Measured ours = TimeBoth(row.ours, full, excerpt, runs);
    if (!ours.Ok()) {
      std::printf("%-16s failed\n", row.work);
      failed = true;
      continue;
    }
    std::printf("%-16s %8.3f %8.3f %7.3f %7.1f |", row.work, ours.full.cpu, ours.full.wall,
                ours.start.cpu, kSeconds / ours.full.cpu);
    if (!row.theirs.empty()) {
      const Measured theirs = TimeBoth(row.theirs, full, excerpt, runs);
      if (!theirs.Ok()) {
        std::printf(" %-18s failed", row.reference);
        failed = true;
      } else {
        std::printf(" %-18s %8.3f %8.3f %7.3f %7.1f | %6.2f %6.2f %6.2f", row.reference,
                    theirs.full.cpu, theirs.full.wall, theirs.start.cpu, kSeconds / theirs.full.cpu,
                    theirs.full.cpu / ours.full.cpu, theirs.full.wall / ours.full.wall,
                    theirs.NetCpu() / ours.NetCpu());
      }
    }
    std::printf("\n");
  }
  std::printf(
      "\nratio: reference / ours on CPU time, wall: on wall time, net: on CPU time less "
      "\"start\" on both sides (above 1: ours is faster)\n");
  std::filesystem::remove_all(dir);
  return failed ? 1 : 0;
}
