#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/stage_runner.h"

namespace vorzik {

namespace {

// The browser keeps the current folder on the chosen folder, so the tools run
// where the files being converted are.
std::string CurrentFolder() {
  DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
  if (needed == 0)
    return {};
  std::vector<char> buffer(needed);
  DWORD length = ::GetCurrentDirectoryA(needed, buffer.data());
  if (length == 0 || length >= needed)
    return {};
  return std::string(buffer.data(), length);
}

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : std::string();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

std::string StartError(const std::string& commandLine, DWORD code) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  std::string program = words.empty() ? std::string("(empty command line)") : words.front();
  return program + ": " + SystemMessage(code);
}

// Closes the tool's process and thread handles on every way out of the wait,
// also when the pump throws.
class ProcessHandles {
 public:
  ProcessHandles() = default;
  ~ProcessHandles() {
    if (info.hThread)
      ::CloseHandle(info.hThread);
    if (info.hProcess)
      ::CloseHandle(info.hProcess);
  }
  ProcessHandles(const ProcessHandles&) = delete;
  ProcessHandles& operator=(const ProcessHandles&) = delete;

  PROCESS_INFORMATION info{};
};

static_assert(CREATE_DEFAULT_ERROR_MODE == 0x4000000);

// Exit codes from 0xC0000000 up are exception codes (0xC0000005 access
// violation, 0xC0000409 stack buffer overrun...): the loader and the C runtime
// end a crashed program with them. Lower codes are the tool's own.
bool IsCrashCode(DWORD exitCode) {
  return exitCode >= 0xC0000000u;
}

std::string HexCode(DWORD code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

class Win32StageRunner final : public StageRunner {
 public:
  explicit Win32StageRunner(EventPump pump) : pump_(std::move(pump)) {}

  StageOutcome RunStage(const std::string& commandLine) override {
    // The tool is started the way we were (window show state and the like).
    STARTUPINFOA startup{};
    ::GetStartupInfoA(&startup);
    std::string currentDir = CurrentFolder();
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    ProcessHandles process;
    // No application name: the first word names the program and the system's
    // program search applies. The tool gets the default error mode, not ours.
    BOOL started = ::CreateProcessA(
        nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &process.info);
    if (!started)
      return {StageEnd::NotStarted, -1, StartError(commandLine, ::GetLastError())};

    // The poll does not pause: between two polls only the window's pending
    // messages are dispatched.
    while (::WaitForSingleObject(process.info.hProcess, 0) == WAIT_TIMEOUT) {
      if (pump_)
        pump_();
    }
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.info.hProcess, &exitCode))
      return {StageEnd::Exited, -1};  // the code could not be read
    if (IsCrashCode(exitCode))
      return {StageEnd::Crashed, static_cast<int>(exitCode), "exception " + HexCode(exitCode)};
    return {StageEnd::Exited, static_cast<int>(exitCode)};
  }

 private:
  EventPump pump_;
};

}  // namespace

std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump) {
  return std::make_unique<Win32StageRunner>(std::move(pump));
}

// No stop signal is ever reported here: a console's Ctrl+C never reaches a
// GUI program, and the runner catches none.
void EndAfterStop(int stopSignal) {
  ::ExitProcess(128 + static_cast<UINT>(stopSignal));
}

}  // namespace vorzik
