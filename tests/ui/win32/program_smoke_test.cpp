// vorzik.exe as users start it, the build's and the one out of the release
// zip: recording stand-ins for the tools beside it, a folder with a WAV and an
// MP2, "Encode Start" pressed from outside through the window, the tools'
// command lines and the work folder checked, a second start refused.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/skip_without.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

// The build's paths are host paths; Wine shows the host's root as Z:.
std::string HostPath(std::string path) {
  for (char& c : path) {
    if (c == '/')
      c = '\\';
  }
  return path.front() == '\\' ? "Z:" + path : path;
}

// The stand-ins write their log in text mode, so each line ends in CR LF here.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

/// One started vorzik.exe; ended by force only if a test left it running.
class Program {
 public:
  Program(const std::string& exe, const std::string& folder) {
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                folder.c_str(), &startup, &process_) != 0;
  }
  ~Program() {
    if (started_ && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      ::TerminateProcess(process_.hProcess, 1);
    if (started_) {
      ::CloseHandle(process_.hProcess);
      ::CloseHandle(process_.hThread);
    }
  }
  bool Started() const { return started_; }
  DWORD Id() const { return process_.dwProcessId; }
  // Its visible main window, once the application window carries the title;
  // none when the program ends first or the time is up.
  HWND AwaitMainWindow(DWORD milliseconds);
  // The exit code, or -1 when the program did not end in time.
  long EndsWith(DWORD milliseconds) {
    if (::WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_{};
};

struct WindowSearch {
  DWORD process;
  HWND found;
};

// A plain function: the callback has the system's calling convention, which on
// 32-bit Windows a lambda cannot carry.
BOOL CALLBACK FindVisibleForm(HWND window, LPARAM data) {
  auto& s = *reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, 32);
  if (owner == s.process && std::wstring(name) == L"VorzikTForm1" && ::IsWindowVisible(window))
    s.found = window;
  return s.found == nullptr;
}

// The visible main window of that process, once its application window carries the title.
HWND MainWindowOf(DWORD process) {
  WindowSearch search{process, nullptr};
  ::EnumWindows(FindVisibleForm, reinterpret_cast<LPARAM>(&search));
  return search.found && ::FindWindowA(nullptr, "Vorzik Ver 1.1a") ? search.found : nullptr;
}

HWND Program::AwaitMainWindow(DWORD milliseconds) {
  // No event tells us the window is up: under Wine the input-idle event fires
  // before the window shows, and out-of-context window events never arrive.
  // So look again every 20 ms, and stop at once when the program ends.
  const DWORD end = ::GetTickCount() + milliseconds;
  HWND form = nullptr;
  while (!(form = MainWindowOf(Id())) && static_cast<LONG>(end - ::GetTickCount()) > 0 &&
         ::WaitForSingleObject(process_.hProcess, 20) == WAIT_TIMEOUT) {
  }
  return form;
}

HWND ButtonOf(HWND form, const wchar_t* caption) {
  HWND panel = ::FindWindowExW(form, nullptr, L"VorzikPanel", nullptr);
  return ::FindWindowExW(panel, nullptr, L"Button", caption);
}

// Which vorzik.exe runs: a test name and the file's host path.
struct Build {
  const char* name;
  const char* exe;
};

void PrintTo(const Build& build, std::ostream* out) {
  *out << build.exe;
}

class VorzikProgram : public ::testing::TestWithParam<Build> {};

TEST_P(VorzikProgram, EncodeStartThroughTheWindowRunsTheToolLinesAndExitEndsIt) {
  if (!std::getenv("DISPLAY"))
    VORZIK_SKIP_WITHOUT("X display for Wine");
  // The program with the tools beside it, as the release's README asks.
  testing::TempDir programDir;
  const std::string exe = programDir.Path() + "\\vorzik.exe";
  ASSERT_TRUE(::CopyFileA(HostPath(GetParam().exe).c_str(), exe.c_str(), FALSE)) << GetParam().exe;
  for (const char* tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe", "normalize.exe"}) {
    const std::string from = HostPath(std::string(VORZIK_RECORDING_TOOLS_DIR) + "/" + tool);
    ASSERT_TRUE(::CopyFileA(from.c_str(), (programDir.Path() + "\\" + tool).c_str(), FALSE))
        << from;
  }
  testing::TempDir dir;
  const std::string folder = dir.Path();
  testing::WriteFile(folder + "\\a.wav", "RIFF");
  testing::WriteFile(folder + "\\b.mp2", "MP2");
  testing::TempDir logDir;
  const std::string log = logDir.Path() + "\\tools.log";
  ::SetEnvironmentVariableA("VORZIK_TOOL_LOG", log.c_str());

  Program program(exe, folder);
  ASSERT_TRUE(program.Started());
  HWND form = program.AwaitMainWindow(30000);
  ASSERT_NE(form, nullptr);
  Program second(exe, folder);
  EXPECT_EQ(second.EndsWith(30000), 0);
  EXPECT_EQ(::FindWindowExW(nullptr, form, L"VorzikTForm1", nullptr), nullptr) << "a second window";

  DWORD_PTR result = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(ButtonOf(form, L"Encode Start"), BM_CLICK, 0, 0, SMTO_NORMAL,
                                    60000, &result));
  const std::string f = folder + "\\";
  const std::string w = f + "EtcEnc\\";
  EXPECT_EQ(
      Lines(testing::ReadFile(log)),
      (std::vector<std::string>{
          "ql7rzfir.exe -y -q 200 " + f + "a.wav " + w + "a_TMP2.wav",
          "normalize.exe -m 90 -o " + w + "a_TMP3.wav " + w + "a_TMP2.wav",
          "BeSweet.exe -core( -input \"" + w + "a_TMP3.wav\" -output \"" + w +
              "a.mp2\" ) -mp2enc(  -b 224 -m s )",
          "BeSweet.exe -core( -input \"" + f + "b.mp2\" -output \"" + w + "b_TMP1.wav\" -2ch )",
          "ql7rzfir.exe -y -q 200 " + w + "b_TMP1.wav " + w + "b_TMP2.wav",
          "normalize.exe -m 90 -o " + w + "b_TMP3.wav " + w + "b_TMP2.wav",
          "BeSweet.exe -core( -input \"" + w + "b_TMP3.wav\" -output \"" + w +
              "b.mp2\" ) -mp2enc(  -b 224 -m s )",
      }));
  std::vector<std::string> outputs = FilesIn(w);
  std::sort(outputs.begin(), outputs.end());
  EXPECT_EQ(outputs, (std::vector<std::string>{"a.mp2", "b.mp2"}));

  ::SendMessageTimeoutW(ButtonOf(form, L"EXIT"), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
  EXPECT_EQ(program.EndsWith(30000), 0);
  ::SetEnvironmentVariableA("VORZIK_TOOL_LOG", nullptr);
}

const Build kBuilds[] = {
    {"BuildTree", VORZIK_EXE},
#ifdef VORZIK_ZIP_EXE
    {"ReleaseZip", VORZIK_ZIP_EXE},
#endif
};

INSTANTIATE_TEST_SUITE_P(Exe, VorzikProgram, ::testing::ValuesIn(kBuilds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorzik
