// A small Windows program the stage-runner tests start: it reports what it
// received, as the Windows runtime handed it over.
//   probe argv ARGS...   writes ARGS (split by the runtime), each followed by a NUL
//   probe cmdline        writes its whole command line as the system passed it
//   probe exit N         exits with N
//   probe cwd            writes its working folder
//   probe whoami         writes the full path of its own executable
//   probe pid            writes its process id
//   probe errormode      writes its error mode as a decimal number
//   probe handle N       writes "open" when handle value N is valid in it, else "closed"
//   probe sleep MS       sleeps MS milliseconds
// Everything goes to the file named by %VORZIK_PROBE_LOG%, appended.

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void WriteLog(const std::string& text) {
  const char* log = std::getenv("VORZIK_PROBE_LOG");
  if (!log)
    return;
  std::ofstream(log, std::ios::binary | std::ios::app) << text;
}

std::string CurrentFolder() {
  char buffer[MAX_PATH * 2];
  DWORD n = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string("?");
}

bool HandleIsOpen(const char* value) {
  auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::strtoull(value, 0, 10)));
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "argv") {
    std::string text;
    for (int i = 2; i < argc; ++i)
      text += std::string(argv[i]) + '\0';
    WriteLog(text);
  } else if (mode == "cmdline") {
    WriteLog(::GetCommandLineA());
  } else if (mode == "exit" && argc > 2) {
    // Up to 0xFFFFFFFF, so a test can end the probe with an exception code.
    ::ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
  } else if (mode == "cwd") {
    WriteLog(CurrentFolder());
  } else if (mode == "whoami") {
    char buffer[MAX_PATH * 2];
    DWORD n = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    WriteLog(std::string(buffer, n));
  } else if (mode == "pid") {
    WriteLog(std::to_string(::GetCurrentProcessId()));
  } else if (mode == "errormode") {
    // Read as Windows XP allows: setting a mode returns the one before.
    const UINT errorMode = ::SetErrorMode(0);
    ::SetErrorMode(errorMode);
    WriteLog(std::to_string(errorMode));
  } else if (mode == "handle" && argc > 2) {
    WriteLog(HandleIsOpen(argv[2]) ? "open" : "closed");
  } else if (mode == "sleep" && argc > 2) {
    ::Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  } else {
    return 99;
  }
  return 0;
}
