// Stands in for each outside tool in end-to-end tests: it appends what it
// received to $VORZIK_TOOL_LOG, one line, and writes its output file with a
// line naming its input. What it received is the name it was started under and
// its arguments, separated by tabs; on Windows, where a program receives one
// command line, that line as it came, blanks and quotes untouched.
//   $VORZIK_TOOL_DELAY_MS  sleeps that long first (a slow tool)
//   $VORZIK_TOOL_FAIL      a tool name (e.g. ql7rzfir.exe) that writes nothing
//   $VORZIK_TOOL_CRASH     a tool name that writes junk to its output, then crashes
//   $VORZIK_TOOL_HANG      a tool name that writes half its output, then waits a
//                          minute; its pid goes to $VORZIK_TOOL_PID_FILE first

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// Ends with the code the system gives a program killed by an access
// violation, without a real fault, which would bring up a debugger.
[[noreturn]] void Crash() {
  ::ExitProcess(0xC0000005u);
}
long OwnPid() {
  return static_cast<long>(::GetCurrentProcessId());
}
#else
[[noreturn]] void Crash() {
  struct rlimit noCore {};
  ::setrlimit(RLIMIT_CORE, &noCore);
  // Dies by the signal even where a handler waits for it (a sanitizer's).
  ::signal(SIGSEGV, SIG_DFL);
  ::raise(SIGSEGV);
  std::abort();
}
long OwnPid() {
  return static_cast<long>(::getpid());
}
#endif

std::string BaseName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

std::string ArgAfter(const std::vector<std::string>& args, const std::string& word) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == word)
      return args[i + 1];
  }
  return {};
}

std::string Received(const std::string& name, const std::vector<std::string>& args) {
#ifdef _WIN32
  (void)name, (void)args;
  return ::GetCommandLineA();
#else
  std::string line = name;
  for (const auto& a : args)
    line += '\t' + a;
  return line;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = BaseName(argv[0]);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (const char* delay = std::getenv("VORZIK_TOOL_DELAY_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay)));
  }
  if (const char* log = std::getenv("VORZIK_TOOL_LOG")) {
    std::ofstream(log, std::ios::app) << Received(name, args) << '\n';
  }
  std::string in, out;
  if (name == "BeSweet.exe") {
    in = ArgAfter(args, "-input");
    out = ArgAfter(args, "-output");
  } else if (name == "normalize.exe") {
    out = ArgAfter(args, "-o");
    in = args.empty() ? "" : args.back();
  } else if (args.size() >= 2) {
    in = args[args.size() - 2];
    out = args.back();
  }
  const char* fail = std::getenv("VORZIK_TOOL_FAIL");
  if (out.empty() || (fail && name == fail))
    return 1;
  std::ifstream source(in, std::ios::binary);
  if (!source)
    return 1;
  if (const char* crash = std::getenv("VORZIK_TOOL_CRASH"); crash && name == crash) {
    std::ofstream(out, std::ios::binary) << "junk";
    Crash();
  }
  if (const char* hang = std::getenv("VORZIK_TOOL_HANG"); hang && name == hang) {
    if (const char* pidFile = std::getenv("VORZIK_TOOL_PID_FILE"))
      std::ofstream(pidFile) << OwnPid();
    std::ofstream(out, std::ios::binary) << "half" << std::flush;
    std::this_thread::sleep_for(std::chrono::minutes(1));
  }
  std::ofstream(out, std::ios::binary) << name << " from " << BaseName(in) << '\n';
  return 0;
}
