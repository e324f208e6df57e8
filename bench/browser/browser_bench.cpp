// Reads a folder of 5,000 files into the file list (and, with Qt, shows it
// offscreen), and times the same folder listed by ls. Prints both.
#include "bench/browser/browser_bench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/browser/browser.h"

extern char** environ;

namespace vorzik::bench {

#ifdef VORZIK_BENCH_WITH_QT
std::unique_ptr<ShownFileList> MakeShownFileList(ui::TFileListBox& model, int argc, char** argv);
#endif

namespace {

constexpr int kFiles = 5000;
constexpr int kRounds = 15;

// The median of kRounds runs, in milliseconds.
double MedianMs(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    times.push_back(took.count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void RunLs(const std::string& folder) {
  std::string path = folder;
  char ls[] = "ls";
  char* argv[] = {ls, path.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  if (posix_spawnp(&child, "ls", &actions, nullptr, argv, environ) == 0)
    waitpid(child, nullptr, 0);
  posix_spawn_file_actions_destroy(&actions);
}

// Names in no particular order, of the three converted kinds and others.
void MakeFolder(const std::string& folder) {
  const char* kinds[] = {".wav", ".mp2", ".mpa", ".WAV", ".txt"};
  for (int i = 0; i < kFiles; ++i) {
    int n = (i * 7919) % kFiles;
    std::ofstream(folder + "/take" + std::to_string(n) + kinds[i % 5]) << "x";
  }
}

}  // namespace

}  // namespace vorzik::bench

int main(int argc, char** argv) {
  using namespace vorzik;
  std::string pattern = (std::filesystem::temp_directory_path() / "vorzik-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    return 1;
  const std::string folder = pattern;
  bench::MakeFolder(folder);
  std::string start = std::filesystem::current_path().string();
  std::filesystem::current_path(folder);
  {
    auto fs = ui::MakeNativeBrowserQueries();
    ui::TFileListBox list("FLB1", ui::Rect{154, 208, 247, 121}, *fs);
    list.SetMask("*.mp2;*.mpa;*.wav");
    double read = bench::MedianMs([&] { list.Update(); });
    double ls = bench::MedianMs([&] { bench::RunLs(folder); });
    std::printf("folder of %d files, %d listed; median of %d runs\n", bench::kFiles, list.Count(),
                bench::kRounds);
    std::printf("  file list read:          %8.2f ms\n", read);
#ifdef VORZIK_BENCH_WITH_QT
    auto shown = bench::MakeShownFileList(list, argc, argv);
    double show = bench::MedianMs([&] { shown->Refresh(); });
    std::printf("  file list read and shown: %7.2f ms (%d rows, Qt offscreen)\n", show,
                shown->Rows());
#else
    (void)argc;
    (void)argv;
#endif
    std::printf("  ls of the same folder:   %8.2f ms\n", ls);
  }
  std::filesystem::current_path(start);
  std::filesystem::remove_all(folder);
  return 0;
}
