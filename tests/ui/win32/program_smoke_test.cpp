// vorzik.exe as users start it: a folder with a WAV and recording stand-ins
// for the tools, "Encode Start" pressed from outside through the window, the
// tools' command lines and the work folder checked, a second start refused.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
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
  explicit Program(const std::string& folder) {
    std::string command = "\"" + HostPath(VORZIK_EXE) + "\"";
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

// The visible main window of that process, once its application window carries the title.
HWND MainWindowOf(DWORD process) {
  WindowSearch search{process, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<WindowSearch*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[32] = {};
        ::GetClassNameW(window, name, 32);
        if (owner == s.process && std::wstring(name) == L"VorzikTForm1" &&
            ::IsWindowVisible(window))
          s.found = window;
        return s.found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found && ::FindWindowA(nullptr, "Vorzik Ver 1.1a") ? search.found : nullptr;
}

HWND WaitForMainWindow(DWORD process) {
  for (int i = 0; i < 300; ++i) {
    if (HWND form = MainWindowOf(process))
      return form;
    ::Sleep(100);
  }
  return nullptr;
}

HWND ButtonOf(HWND form, const wchar_t* caption) {
  HWND panel = ::FindWindowExW(form, nullptr, L"VorzikPanel", nullptr);
  return ::FindWindowExW(panel, nullptr, L"Button", caption);
}

TEST(VorzikProgram, EncodeStartThroughTheWindowRunsTheToolLinesAndExitEndsIt) {
  if (!std::getenv("DISPLAY"))
    VORZIK_SKIP_WITHOUT("X display for Wine");
  testing::TempDir dir;
  const std::string folder = dir.path();
  for (const char* tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe", "normalize.exe"}) {
    const std::string from = HostPath(std::string(VORZIK_RECORDING_TOOLS_DIR) + "/" + tool);
    ASSERT_TRUE(::CopyFileA(from.c_str(), (folder + "\\" + tool).c_str(), FALSE)) << from;
  }
  testing::WriteFile(folder + "\\a.wav", "RIFF");
  testing::TempDir logDir;
  const std::string log = logDir.path() + "\\tools.log";
  ::SetEnvironmentVariableA("VORZIK_TOOL_LOG", log.c_str());

  Program program(folder);
  ASSERT_TRUE(program.Started());
  HWND form = WaitForMainWindow(program.Id());
  ASSERT_NE(form, nullptr);
  Program second(folder);
  EXPECT_EQ(second.EndsWith(30000), 0);
  EXPECT_EQ(::FindWindowExW(nullptr, form, L"VorzikTForm1", nullptr), nullptr) << "a second window";

  DWORD_PTR result = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(ButtonOf(form, L"Encode Start"), BM_CLICK, 0, 0, SMTO_NORMAL,
                                    60000, &result));
  const std::string f = folder + "\\";
  const std::string work = f + "EtcEnc\\";
  EXPECT_EQ(Lines(testing::ReadFile(log)),
            (std::vector<std::string>{
                "ql7rzfir.exe\t-y\t-q\t200\t" + f + "a.wav\t" + work + "a_TMP2.wav",
                "normalize.exe\t-m\t90\t-o\t" + work + "a_TMP3.wav\t" + work + "a_TMP2.wav",
                "BeSweet.exe\t-core(\t-input\t" + work + "a_TMP3.wav\t-output\t" + work +
                    "a.mp2\t)\t-mp2enc(\t-b\t224\t-m\ts\t)",
            }));
  EXPECT_EQ(FilesIn(f + "EtcEnc"), (std::vector<std::string>{"a.mp2"}));

  ::SendMessageTimeoutW(ButtonOf(form, L"EXIT"), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
  EXPECT_EQ(program.EndsWith(30000), 0);
  ::SetEnvironmentVariableA("VORZIK_TOOL_LOG", nullptr);
}

}  // namespace
}  // namespace vorzik
