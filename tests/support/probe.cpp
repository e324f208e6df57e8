// A small program the stage-runner tests start: it reports what it received.
//   probe argv ARGS...   writes ARGS, each followed by a NUL byte, to $VORZIK_PROBE_LOG
//   probe exit N         exits with N
//   probe cwd            writes its working folder to $VORZIK_PROBE_LOG
//   probe whoami         writes its own executable's path to $VORZIK_PROBE_LOG
//   probe sleep MS       sleeps MS milliseconds
//   probe signal N       ends by signal N, leaving no core file

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

void WriteLog(const std::string& text) {
  const char* log = std::getenv("VORZIK_PROBE_LOG");
  if (!log)
    return;
  std::ofstream(log, std::ios::binary | std::ios::app) << text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "argv") {
    std::string text;
    for (int i = 2; i < argc; ++i)
      text += std::string(argv[i]) + '\0';
    WriteLog(text);
  } else if (mode == "exit" && argc > 2) {
    return std::atoi(argv[2]);
  } else if (mode == "cwd") {
    std::vector<char> buffer(4096);
    WriteLog(::getcwd(buffer.data(), buffer.size()) ? buffer.data() : "?");
  } else if (mode == "whoami") {
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    WriteLog(n > 0 ? std::string(buffer.data(), n) : "?");
  } else if (mode == "signal" && argc > 2) {
    struct rlimit noCore {};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::signal(std::atoi(argv[2]), SIG_DFL);
    ::raise(std::atoi(argv[2]));
  } else if (mode == "sleep" && argc > 2) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
  } else {
    return 99;
  }
  return 0;
}
