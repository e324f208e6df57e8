// The whole job in the vorzik program itself on a private Xvfb: "Encode
// Start" and "EXIT" pressed with the pointer, as a user would, the stand-in
// tools found beside the program.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <map>

#include "tests/shell/x_session.h"
#include "tests/support/skip_without.h"
#include "tests/support/temp_dir.h"

namespace vorzik::shell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace testing;
using vorzik::testing::ReadFile;
using vorzik::testing::TempDir;

constexpr char kCaption[] = " PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a";

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class ProgramBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.Running())
      VORZIK_SKIP_WITHOUT("Xvfb");
    display = server.Connection();
    ASSERT_EQ(
        std::system((Quote(VORZIK_SAMPLES) + " " + Quote(folder.path()) + " --odd-names").c_str()),
        0);
    fs::copy_file(folder / "tone_440.wav", folder / "録音 テスト.wav");
    fs::copy_file(folder / "sweep.mp2", folder / "a;b$(touch x)&.mp2");
    for (const auto& e : fs::directory_iterator(folder.path())) {
      sources[e.path().filename()] = ReadFile(e.path());
    }
  }

  // The program's one shown window once it is up; 0 when none came.
  Window MainWindow() {
    Window main = 0;
    WaitFor(
        [&] {
          auto windows = WindowsTitled(display, kCaption);
          main = windows.size() == 1 && IsShown(display, windows[0]) ? windows[0] : 0;
          return main != 0;
        },
        10s);
    return main;
  }

  // A click at a point of the main window's client area.
  void Press(Window main, int left, int top) {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, main, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    std::string command = "DISPLAY=" + server.Name() + " xdotool mousemove " +
                          std::to_string(x + left) + " " + std::to_string(y + top) + " click 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  // A copy of the program in `bin` with the recording tools beside it, started
  // in `folder`; `toolEnv` tells the tools how to behave.
  std::unique_ptr<Process> StartWithRecordingTools(const TempDir& bin, const TempDir& folder,
                                                   const std::vector<std::string>& toolEnv) {
    fs::copy_file(VORZIK_EXECUTABLE, bin / "vorzik");
    for (std::string tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe", "normalize.exe"})
      fs::copy_file(std::string(VORZIK_RECORDING_TOOLS_DIR) + "/" + tool, bin / tool);
    std::vector<std::string> env{"DISPLAY=" + server.Name(), "QT_QPA_PLATFORM=xcb",
                                 "XDG_RUNTIME_DIR=" + runtime.path()};
    env.insert(env.end(), toolEnv.begin(), toolEnv.end());
    return std::make_unique<Process>(std::vector<std::string>{bin / "vorzik"}, env, folder.path());
  }

  // Keys as a user types them, to the window that has the keyboard.
  void Type(const std::string& keys) {
    std::string command = "DISPLAY=" + server.Name() + " xdotool key " + keys;
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  std::vector<std::string> WorkFolder() { return WorkFolderOf(folder.path()); }
  static std::vector<std::string> WorkFolderOf(const std::string& source) {
    std::vector<std::string> names;
    if (!fs::exists(source + "/EtcEnc"))
      return names;
    for (const auto& e : fs::directory_iterator(source + "/EtcEnc")) {
      names.push_back(e.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  XvfbServer server;
  Display* display = nullptr;
  TempDir folder;
  TempDir runtime;
  std::map<std::string, std::string> sources;
};

// Started from elsewhere on the folder to convert, as a file manager's "Open
// with" starts it; the window opens on that folder.
TEST_F(ProgramBatch, EncodeStartConvertsTheFolderGivenAndExitEndsTheProgram) {
  std::vector<std::string> expected;
  for (const auto& [name, content] : sources)
    expected.push_back(name.substr(0, name.size() - 4) + ".mp2");
  std::sort(expected.begin(), expected.end());

  Process program(
      {VORZIK_EXECUTABLE, folder.path()},
      {"DISPLAY=" + server.Name(), "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime.path()},
      runtime.path());
  Window main = MainWindow();
  ASSERT_NE(main, 0u);
  Press(main, 288 + 56, 139 + 14);  // "Encode Start"
  // Done when every source has its output and the stage files are gone.
  EXPECT_TRUE(WaitFor([&] { return WorkFolder() == expected; }, 240s));
  Press(main, 288 + 56, 168 + 14);  // "EXIT"
  EXPECT_EQ(program.WaitExit(20s), 0);

  for (const auto& name : expected) {
    std::string probe = "ffprobe -v error -show_entries format=format_name -of csv=p=0 " +
                        Quote(folder / ("EtcEnc/" + name)) + " > " + Quote(runtime / "probe.txt");
    ASSERT_EQ(std::system(probe.c_str()), 0) << name;
    EXPECT_EQ(ReadFile(runtime / "probe.txt"), "mp3\n") << name;  // MPEG audio, layer II
  }
  for (const auto& [name, content] : sources)
    EXPECT_EQ(ReadFile(folder / name), content) << name;
  EXPECT_FALSE(fs::exists(folder / "x"));
  EXPECT_FALSE(fs::exists(runtime / "EtcEnc"));
}

// "Encode Start" switched off under the pointer must not pass the focus on to
// EXIT: an Enter typed while the batch runs presses no button, and the
// program stays after the batch until EXIT is clicked. Slow recording tools
// stand beside a copy of the program.
TEST_F(ProgramBatch, EnterDuringABatchStartedWithThePointerPressesNoButton) {
  TempDir bin, rec;
  vorzik::testing::WriteFile(rec / "a.mp2", "mp2 data");
  vorzik::testing::WriteFile(rec / "b.mp2", "mp2 data");
  auto program = StartWithRecordingTools(bin, rec, {"VORZIK_TOOL_DELAY_MS=500"});
  Window main = MainWindow();
  ASSERT_NE(main, 0u);
  Press(main, 288 + 56, 139 + 14);  // "Encode Start"
  ASSERT_TRUE(WaitFor([&] { return !WorkFolderOf(rec.path()).empty(); }, 10s));
  Type("Return");
  const std::vector<std::string> outputs{"a.mp2", "b.mp2"};
  EXPECT_TRUE(WaitFor([&] { return WorkFolderOf(rec.path()) == outputs; }, 60s));
  EXPECT_FALSE(WaitFor([&] { return program->Ended(); }, 2s)) << "the Enter pressed EXIT";
  Press(main, 288 + 56, 168 + 14);  // "EXIT"
  EXPECT_EQ(program->WaitExit(20s), 0);
}

// A logout or kill during a batch: the window passes the signal on to the
// running tool, removes the output it was writing and ends as by the signal,
// leaving no tool running. The recording tools stand beside a copy of the
// program, the filter hanging half-way through its output.
TEST_F(ProgramBatch, AStopSignalEndsToolAndProgramAndLeavesNoHalfOutput) {
  TempDir bin, rec;
  vorzik::testing::WriteFile(rec / "a.mp2", "mp2 data");
  auto program = StartWithRecordingTools(
      bin, rec,
      {"VORZIK_TOOL_HANG=ql7rzfir.exe", "VORZIK_TOOL_PID_FILE=" + (runtime / "tool.pid")});
  Window main = MainWindow();
  ASSERT_NE(main, 0u);
  Press(main, 288 + 56, 139 + 14);  // "Encode Start"
  const std::string half = rec / "EtcEnc/a_TMP2.wav";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(half) && fs::exists(runtime / "tool.pid"); }, 20s));
  const pid_t tool = std::stoi(ReadFile(runtime / "tool.pid"));
  ASSERT_TRUE(program->Signal(SIGTERM));
  EXPECT_EQ(program->WaitKilled(20s), SIGTERM);
  EXPECT_TRUE(WaitFor([&] { return kill(tool, 0) != 0; }, 5s)) << "the tool was waited for";
  EXPECT_FALSE(fs::exists(half));
  EXPECT_EQ(ReadFile(rec / "a.mp2"), "mp2 data");
}

}  // namespace
}  // namespace vorzik::shell
