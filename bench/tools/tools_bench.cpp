// Throughput of the stand-in tools on a 60 s stereo 48 kHz WAV, next to the closest
// outside programs doing the same work (sox, the ffmpeg command line). Prints times real
// time for both and the ratio their time / our time (above 1: ours is faster), on CPU
// time and on wall time.
//
//   tools_bench [RUNS] [TOOLS_DIR]   (default 3 runs, the best of each counts; the tools
//                                     of this build unless another folder is named)
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "stereo_wav.h"

namespace {

constexpr double kSeconds = 60;
constexpr int kRate = 48000;

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

void WriteInput(const std::string& path) {
  uint32_t noise = 1;
  vorzik::bench::WriteStereoWav(path, kRate, uint32_t(kSeconds * kRate), [&](uint32_t n) {
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
Timing Time(const std::string& command, int runs, bool mayFail = false) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    const double cpuBefore = ChildCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ChildCpuSeconds() - cpuBefore;
    if (!mayFail && (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)) {
      std::fprintf(stderr, "failed: %s\n", command.c_str());
      return {};
    }
    best.wall = best.wall < 0 ? wall : std::min(best.wall, wall);
    best.cpu = best.cpu < 0 ? cpu : std::min(best.cpu, cpu);
  }
  return best;
}

struct Row {
  const char* work;
  std::string ours;
  const char* reference;
  std::string theirs;  // empty: no outside program does the same
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::string bin = argc > 2 ? argv[2] : VORZIK_TOOLS_DIR;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vorzik-tools-bench";
  std::filesystem::create_directories(dir);
  const std::string in = (dir / "in.wav").string();
  const std::string mp2 = (dir / "in.mp2").string();
  const std::string out = (dir / "out").string();
  WriteInput(in);
  const std::string besweet = Quote(bin + "/BeSweet.exe");
  const std::string core = " -core\\( -input " + Quote(in) + " -output ";
  std::system((besweet + core + Quote(mp2) + " \\) -mp2enc\\( -b 224 -m s \\)").c_str());
  const std::string ff = "ffmpeg -nostdin -hide_banner -loglevel error -y -i ";
  const std::vector<Row> rows = {
      {"FIR shelf -q 200",
       Quote(bin + "/ql7rzfir.exe") + " -y -q 200 " + Quote(in) + " " + Quote(out + ".wav"), "",
       ""},
      {"IIR shelf",
       Quote(bin + "/ql7rziir.exe") + " -y -e 100 " + Quote(in) + " " + Quote(out + ".wav"),
       "sox bass +12 150", "sox " + Quote(in) + " " + Quote(out + "-sox.wav") + " bass +12 150"},
      {"normalise 90%",
       Quote(bin + "/normalize.exe") + " -m 90 -o " + Quote(out + ".wav") + " " + Quote(in),
       "sox norm -0.915", "sox " + Quote(in) + " " + Quote(out + "-sox.wav") + " norm -0.915"},
      {"decode MP2",
       besweet + " -core\\( -input " + Quote(mp2) + " -output " + Quote(out + ".wav") + " -2ch \\)",
       "ffmpeg", ff + Quote(mp2) + " -ac 2 -c:a pcm_s16le " + Quote(out + "-ff.wav")},
      {"encode MP2 224", besweet + core + Quote(out + ".mp2") + " \\) -mp2enc\\( -b 224 -m s \\)",
       "ffmpeg libtwolame",
       ff + Quote(in) + " -c:a libtwolame -b:a 224k -mode joint_stereo " + Quote(out + "-ff.mp2")},
      {"encode AC3 224", besweet + core + Quote(out + ".ac3") + " \\) -ac3enc\\( -b 224 -m s \\)",
       "ffmpeg ac3", ff + Quote(in) + " -c:a ac3 -b:a 224k " + Quote(out + "-ff.ac3")},
      {"encode Ogg q4", besweet + core + Quote(out + ".ogg") + " \\) -ogg\\( -q 4.00 \\)",
       "ffmpeg libvorbis", ff + Quote(in) + " -c:a libvorbis -q:a 4 " + Quote(out + "-ff.ogg")},
  };
  // The fixed cost of starting a process: ours and ffmpeg load FFmpeg's shared
  // libraries and all they depend on, sox far fewer. "net" leaves it out of both.
  const Timing start = Time(besweet, runs, true);
  const Timing soxStart = Time("sox --version", runs);
  const Timing ffStart = Time("ffmpeg -version", runs);
  std::printf("start-up cpu: BeSweet.exe %.3f s, sox %.3f s, ffmpeg %.3f s\n\n", start.cpu,
              soxStart.cpu, ffStart.cpu);
  std::printf("%-16s %8s %8s %7s | %-18s %8s %8s %7s | %6s %6s %6s\n", "work", "ours cpu", "wall",
              "x real", "reference", "cpu", "wall", "x real", "ratio", "wall", "net");
  for (const Row& row : rows) {
    const Timing ours = Time(row.ours, runs);
    std::printf("%-16s %8.3f %8.3f %7.1f |", row.work, ours.cpu, ours.wall, kSeconds / ours.cpu);
    if (!row.theirs.empty()) {
      const Timing theirs = Time(row.theirs, runs);
      const double theirStart = row.theirs.rfind("sox", 0) == 0 ? soxStart.cpu : ffStart.cpu;
      std::printf(" %-18s %8.3f %8.3f %7.1f | %6.2f %6.2f %6.2f", row.reference, theirs.cpu,
                  theirs.wall, kSeconds / theirs.cpu, theirs.cpu / ours.cpu,
                  theirs.wall / ours.wall, (theirs.cpu - theirStart) / (ours.cpu - start.cpu));
    }
    std::printf("\n");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
