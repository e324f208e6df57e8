// The whole job through the real window: the Qt peer offscreen, the native
// browser, runner and file system, and the stand-in tools doing real audio
// work. "Encode Start" is pressed on its widget as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "pipeline/stage_files.h"
#include "pipeline/stage_runner.h"
#include "tests/support/temp_dir.h"
#include "ui/browser/browser_queries.h"
#include "ui/qt/form_peer.h"
#include "ui/tform1.h"

namespace vorzik::ui {
namespace {

namespace fs = std::filesystem;
using vorzik::testing::CurrentDirGuard;
using vorzik::testing::ReadFile;
using vorzik::testing::TempDir;
using Names = std::vector<std::string>;

const std::string kJapanese = "録音 テスト.wav";
const std::string kShellish = "a;b$(touch x)&`y`.mp2";

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
      out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Probe {
  std::string format;
  double duration = 0;
};

Probe ProbeAudio(const std::string& path) {
  std::string text =
      Run("ffprobe -v error -show_entries format=format_name,duration -of "
          "default=nw=1 " +
          Quote(path));
  Probe p;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    if (line.rfind("format_name=", 0) == 0)
      p.format = line.substr(12);
    if (line.rfind("duration=", 0) == 0)
      p.duration = std::atof(line.substr(9).c_str());
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return p;
}

Names FilesIn(const fs::path& folder) {
  Names names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A folder of generated samples under odd names, the window opened on it.
class WindowBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = dir_ / "rec";
    fs::create_directory(src_);
    ASSERT_EQ(
        std::system((Quote(VORZIK_SAMPLES) + " " + Quote(dir_ / "gen") + " --odd-names").c_str()),
        0);
    const std::vector<std::pair<std::string, std::string>> sources{
        {"sweep.mp2", "sweep.mp2"},
        {"mono_speech_like.mpa", "speech.mpa"},
        {"tone 440 copy.wav", "tone 440 copy.wav"},
        {"LOUD.WAV", "LOUD.WAV"},
        {"tone_440.wav", kJapanese},
        {"sweep.mp2", kShellish},
    };
    for (const auto& [from, to] : sources) {
      fs::copy_file(dir_ / ("gen/" + from), src_ + "/" + to);
    }
    for (const auto& name : FilesIn(src_))
      before_[name] = ReadFile(src_ + "/" + name);
    savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
  }

  void TearDown() override {
    peer_.reset();
    form_.reset();
    ::setenv("PATH", savedPath_.c_str(), 1);
  }

  // Opens the window with the folder as the current directory, as a start
  // from that folder does, with the tools found on toolPath.
  void OpenWindow(const std::string& toolPath) {
    ::setenv("PATH", (toolPath + ":" + savedPath_).c_str(), 1);
    fs::current_path(src_);
    queries_ = MakeNativeBrowserQueries();
    files_ = MakeNativeStageFiles();
    runner_ = MakeNativeStageRunner([] { QCoreApplication::processEvents(); });
    auto countPowerCalls = [this](int, const std::function<void()>&) { ++powerCalls_; };
    form_ = std::make_unique<TForm1>(FormServices{.browserQueries = *queries_,
                                                  .runner = runner_.get(),
                                                  .stageFiles = files_.get(),
                                                  .powerAction = countPowerCalls});
    peer_ = std::make_unique<qt::FormPeer>(*form_);
    peer_->Show();
  }

  void Click(const Control& control) {
    QWidget* widget = peer_->WidgetOf(control);
    ASSERT_NE(widget, nullptr) << control.Name();
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
  }

  // Outputs expected for the sources, by base name.
  Names Outputs(const std::string& extension) {
    Names names;
    for (const auto& [name, content] : before_)
      names.push_back(name.substr(0, name.size() - 4) + extension);
    std::sort(names.begin(), names.end());
    return names;
  }

  void ExpectSourcesUntouchedAndNothingElseWritten() {
    Names now = FilesIn(src_);
    Names expected;
    for (const auto& [name, content] : before_)
      expected.push_back(name);
    expected.push_back("EtcEnc");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(now, expected);
    for (const auto& [name, content] : before_) {
      EXPECT_EQ(ReadFile(src_ + "/" + name), content) << name;
    }
    EXPECT_EQ(FilesIn(dir_.Path()), (Names{"gen", "rec"}));
  }

  TempDir dir_;
  CurrentDirGuard cwd_;
  std::string src_;
  std::string savedPath_;
  std::map<std::string, std::string> before_;
  std::unique_ptr<BrowserQueries> queries_;
  std::unique_ptr<StageFiles> files_;
  std::unique_ptr<StageRunner> runner_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<qt::FormPeer> peer_;
  int powerCalls_ = 0;
};

TEST_F(WindowBatch, DefaultsGiveOneMp2PerSourceAndDeleteTheStageFiles) {
  OpenWindow(VORZIK_STAND_IN_DIR);
  ASSERT_EQ(form_->FLB1.Count(), 6);
  Click(form_->B1);
  EXPECT_EQ(form_->SB1.SimpleText(), kStatusText);
  EXPECT_EQ(FilesIn(src_ + "/EtcEnc"), Outputs(".mp2"));
  for (const auto& name : Outputs(".mp2")) {
    Probe p = ProbeAudio(src_ + "/EtcEnc/" + name);
    EXPECT_EQ(p.format, "mp3") << name;  // ffprobe names MPEG audio layer II so
    EXPECT_GT(p.duration, 1.9) << name;
    EXPECT_LT(p.duration, 4.2) << name;
  }
  EXPECT_NEAR(
      ProbeAudio(src_ + "/EtcEnc/" + kJapanese.substr(0, kJapanese.size() - 4) + ".mp2").duration,
      3.0, 0.06);
  ExpectSourcesUntouchedAndNothingElseWritten();
  EXPECT_FALSE(fs::exists(src_ + "/x"));
  EXPECT_EQ(powerCalls_, 0);
}

TEST_F(WindowBatch, KeptStageFilesWithTmpFileDeleteUnticked) {
  OpenWindow(VORZIK_STAND_IN_DIR);
  Click(form_->CB12);
  ASSERT_FALSE(form_->CB12.Checked());
  Click(form_->B1);
  Names expected = Outputs(".mp2");
  for (const auto& [name, content] : before_) {
    std::string base = name.substr(0, name.size() - 4);
    bool decoded = name.substr(name.size() - 4) != ".wav";
    if (decoded)
      expected.push_back(base + "_TMP1.wav");
    expected.push_back(base + "_TMP2.wav");
    expected.push_back(base + "_TMP3.wav");
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesIn(src_ + "/EtcEnc"), expected);
  EXPECT_EQ(ProbeAudio(src_ + "/EtcEnc/LOUD_TMP1.wav").format, "wav");
}

TEST_F(WindowBatch, Ac3WithBoostAndOggWithNoiseGate) {
  OpenWindow(VORZIK_STAND_IN_DIR);
  form_->RG2.Choose(1);
  Click(form_->CB10);
  ASSERT_TRUE(form_->CB10.Checked());
  Click(form_->B1);
  EXPECT_EQ(FilesIn(src_ + "/EtcEnc"), Outputs(".ac3"));
  EXPECT_EQ(ProbeAudio(src_ + "/EtcEnc/LOUD.ac3").format, "ac3");
  EXPECT_EQ(form_->SB1.SimpleText(), kStatusText);

  form_->RG2.Choose(2);
  Click(form_->CB11);
  Click(form_->B1);
  for (const auto& name : Outputs(".ogg")) {
    Probe p = ProbeAudio(src_ + "/EtcEnc/" + name);
    EXPECT_EQ(p.format, "ogg") << name;
    EXPECT_GT(p.duration, 1.9) << name;
  }
  ExpectSourcesUntouchedAndNothingElseWritten();
}

TEST_F(WindowBatch, MissingToolGivesTheFailureStatus) {
  fs::create_directory(dir_ / "partial");
  for (std::string tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe"}) {
    fs::copy_file(std::string(VORZIK_STAND_IN_DIR) + "/" + tool, dir_ / ("partial/" + tool));
  }
  OpenWindow(dir_ / "partial");
  ::setenv("PATH", (dir_ / "partial").c_str(), 1);
  Click(form_->B1);
  // The list is sorted ignoring case: the name with metacharacters comes first.
  EXPECT_EQ(form_->SB1.SimpleText(),
            " 変換に失敗したファイルがあります（6 件）: " + kShellish + " (normalize.exe)");
}

TEST_F(WindowBatch, ClickDuringASlowToolReachesTheVeryNextStep) {
  for (const auto& name : FilesIn(src_)) {
    if (name != "sweep.mp2")
      fs::remove(src_ + "/" + name);
  }
  before_ = {{"sweep.mp2", ReadFile(src_ + "/sweep.mp2")}};
  std::string log = dir_ / "tools.log";
  ::setenv("VORZIK_TOOL_LOG", log.c_str(), 1);
  ::setenv("VORZIK_TOOL_DELAY_MS", "1500", 1);
  OpenWindow(VORZIK_RECORDING_TOOLS_DIR);
  // While the decode runs, the user unticks "TMP File Delete" and "Normalize".
  bool clicked = false;
  QTimer::singleShot(600, [&] {
    clicked = form_->BatchRunning();
    Click(form_->CB12);
    Click(form_->CB9);
  });
  Click(form_->B1);
  ::unsetenv("VORZIK_TOOL_LOG");
  ::unsetenv("VORZIK_TOOL_DELAY_MS");
  EXPECT_TRUE(clicked) << "the clicks landed during the batch";
  std::string tools = ReadFile(log);
  EXPECT_EQ(std::count(tools.begin(), tools.end(), '\n'), 3) << tools;
  EXPECT_EQ(tools.find("normalize.exe"), std::string::npos);
  EXPECT_EQ(FilesIn(src_ + "/EtcEnc"), (Names{"sweep.mp2", "sweep_TMP1.wav", "sweep_TMP2.wav"}));
}

}  // namespace
}  // namespace vorzik::ui
