#include "pipeline/batch_driver.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/pipeline_fakes.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

using testing::FakeFileSystem;
using testing::FakeStageRunner;
using testing::FakeSwitches;
using Names = std::vector<std::string>;

const std::string kDesignStatus = " 最大で４回変換処理をする事から音質は？？？です。";

// A file list with the select-by-index rule of the real one: an index at or
// past the end keeps the previous selection.
class FakeBatchWindow : public BatchWindow {
 public:
  std::string FolderPath() override { return folder; }
  void SelectEntry(int index) override {
    selections.push_back(index);
    if (index >= 0 && index < static_cast<int>(entries.size()))
      selected = index;
  }
  std::string SelectedFullPath() override {
    if (selected < 0)
      return {};
    return JoinPath(folder, entries[selected], style);
  }
  std::vector<std::string> EntryPaths() override {
    Names paths;
    for (const auto& name : entries)
      paths.push_back(JoinPath(folder, name, style));
    return paths;
  }
  std::string StatusText() override { return status; }
  void SetStatusText(const std::string& text) override {
    status = text;
    events.push_back("status");
  }
  bool AutoExit() override { return autoExit; }
  void RunPowerAction() override { events.push_back("power"); }

  PathStyle style = kWindowsPathStyle;
  std::string folder = "D:\\rec";
  Names entries;
  int selected = -1;
  std::vector<int> selections;
  std::string status = kDesignStatus;
  bool autoExit = false;
  Names events;
};

struct Batch {
  FakeBatchWindow window;
  FakeFileSystem fs;
  FakeStageRunner runner{fs};
  FakeSwitches switches;
  std::string boostSwitch;

  BatchSummary Run(const ConversionSettings& settings = {}) {
    for (const auto& name : window.entries)
      fs.Write(JoinPath(window.folder, name, window.style));
    return RunBatch(settings, boostSwitch,
                    {window, switches, runner, fs, window.style, kDesignStatus});
  }

  // The source each file's first command read.
  Names Sources() const {
    Names sources;
    for (const auto& c : runner.commands) {
      auto args = SplitCommandLine(c);
      if (args[0] == "BeSweet.exe" && args.size() > 6 && args[6] == "-2ch")
        sources.push_back(args[3]);
    }
    return sources;
  }
};

// Writes each command's output on disk, as a tool would, before what happens
// during its run (duringRun) comes.
class DiskRunner final : public FakeStageRunner {
 public:
  using FakeStageRunner::FakeStageRunner;
  StageOutcome RunStage(const std::string& commandLine) override {
    testing::WriteFile(testing::OutputOf(SplitCommandLine(commandLine)), commandLine);
    return FakeStageRunner::RunStage(commandLine);
  }
};

// A batch on real files in a folder, each holding its own name.
struct NativeBatch {
  NativeBatch(const testing::TempDir& dir, const Names& entries) {
    window.style = NativePathStyle();
    window.folder = dir.path();
    window.entries = entries;
    for (const auto& name : entries)
      testing::WriteFile(dir / name, name);
  }
  BatchSummary Run() {
    return RunBatch({}, boostSwitch,
                    {window, switches, runner, *files, window.style, kDesignStatus});
  }

  FakeBatchWindow window;
  FakeFileSystem unused;
  DiskRunner runner{unused};
  FakeSwitches switches;
  std::string boostSwitch;
  std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
};

TEST(RunBatch, WorkFolderAtADriveRootAndInAFolder) {
  struct Case {
    PathStyle style;
    std::string folder, workFolder, output;
  } cases[] = {
      {kWindowsPathStyle, "D:\\", "D:\\EtcEnc", "D:\\EtcEnc\\a.mp2"},
      {kWindowsPathStyle, "D:\\rec", "D:\\rec\\EtcEnc", "D:\\rec\\EtcEnc\\a.mp2"},
      {kPosixPathStyle, "/", "/EtcEnc", "/EtcEnc/a.mp2"},
      {kPosixPathStyle, "/x/rec", "/x/rec/EtcEnc", "/x/rec/EtcEnc/a.mp2"},
  };
  for (const auto& c : cases) {
    Batch b;
    b.window.style = c.style;
    b.window.folder = c.folder;
    b.window.entries = {"a.mp2"};
    b.Run();
    EXPECT_EQ(b.fs.createdFolders, (Names{c.workFolder}));
    EXPECT_TRUE(b.fs.Has(c.output)) << c.folder;
  }
}

TEST(RunBatch, WalksEveryEntryOnceInOrderAndStopsOnTheLast) {
  Batch b;
  b.window.entries = {"a.mp2", "b.mpa", "c.mp2"};
  BatchSummary s = b.Run();
  EXPECT_EQ(s.processed, 3);
  EXPECT_EQ(s.failed, 0);
  EXPECT_EQ(b.Sources(), (Names{"D:\\rec\\a.mp2", "D:\\rec\\b.mpa", "D:\\rec\\c.mp2"}));
  EXPECT_EQ(b.window.selections, (std::vector<int>{0, 0, 1, 1, 2, 2, 3}));
  EXPECT_EQ(b.window.selected, 2) << "the selection stays on the last entry";
  EXPECT_EQ(b.window.status, kDesignStatus) << "a good batch leaves the status text";
}

TEST(RunBatch, SecondBatchFindsTheWorkFolderPresent) {
  Batch b;
  b.window.entries = {"a.mp2"};
  b.Run();
  b.runner.commands.clear();
  b.window.selected = -1;
  BatchSummary s = b.Run();
  EXPECT_EQ(s.failed, 0);
  EXPECT_EQ(b.runner.commands.size(), 4u);
  EXPECT_EQ(b.window.status, kDesignStatus);
}

TEST(RunBatch, EmptyFolderShowsTheMessageThenRunsThePowerAction) {
  Batch b;
  b.window.autoExit = true;
  b.Run();
  EXPECT_EQ(b.window.status, " フォルダ内に有効なファイルがありません。*.mp2 *.mpa *.wav");
  EXPECT_EQ(b.window.events, (Names{"status", "power"}));
  EXPECT_TRUE(b.fs.createdFolders.empty());
  EXPECT_TRUE(b.runner.commands.empty());
}

TEST(RunBatch, PowerActionOnlyWhenAutoExitIsTicked) {
  for (bool autoExit : {false, true}) {
    Batch b;
    b.window.entries = {"a.mp2"};
    b.window.autoExit = autoExit;
    b.Run();
    EXPECT_EQ(b.window.events, autoExit ? Names{"power"} : Names{});
  }
}

TEST(RunBatch, SwitchChangedBetweenTwoFilesReachesTheSecond) {
  Batch b;
  b.window.entries = {"a.mp2", "b.mp2"};
  // During the first file's encode the user unticks the filter.
  b.runner.duringRun = [&](std::size_t index) {
    if (index == 3)
      b.switches.filter = false;
  };
  b.Run();
  ASSERT_EQ(b.runner.commands.size(), 7u);
  EXPECT_EQ(b.runner.commands[4].find("BeSweet.exe -core( -input \"D:\\rec\\b.mp2\""), 0u);
  EXPECT_EQ(b.runner.commands[5].find("normalize.exe"), 0u);
}

TEST(RunBatch, FailuresAreCountedAndTheFirstIsNamedBeforeThePowerAction) {
  Batch b;
  b.window.entries = {"a.mp2", "b.wav", "c.mp2"};
  b.window.autoExit = true;
  b.runner.silent = {"ql7rzfir.exe"};
  BatchSummary s = b.Run();
  EXPECT_EQ(s.processed, 3);
  EXPECT_EQ(s.failed, 3);
  EXPECT_EQ(b.window.status, " 変換に失敗したファイルがあります（3 件）: a.mp2 (ql7rzfir.exe)");
  EXPECT_EQ(b.window.events, (Names{"status", "power"}));
}

TEST(RunBatch, AGoodBatchReplacesAnOldFailureReport) {
  Batch b;
  b.window.entries = {"a.mp2"};
  b.window.status = FailedFilesStatus(1, "x.mp2", "BeSweet.exe");
  b.Run();
  EXPECT_EQ(b.window.status, kDesignStatus);

  Batch other;
  other.window.entries = {"a.mp2"};
  other.window.status = kNoFilesStatus;
  other.Run();
  EXPECT_EQ(other.window.status, kNoFilesStatus) << "only a failure report is replaced";
}

TEST(RunBatch, RefusedSourceCountsAsFailedWithTheToolThatWouldCarryIt) {
  Batch b;
  b.window.style = kPosixPathStyle;
  b.window.folder = "/x";
  b.window.entries = {"a\"b.wav", "c.mp2"};
  BatchSummary s = b.Run();
  EXPECT_EQ(s.failed, 1);
  EXPECT_EQ(b.window.status, " 変換に失敗したファイルがあります（1 件）: a\"b.wav (ql7rzfir.exe)");
  EXPECT_EQ(b.Sources(), (Names{"/x/c.mp2"}));
}

// A stage file that is a hard link to another file of the batch would be
// overwritten by this file's stages: the file is refused, the other kept.
TEST(RunBatch, AStageFileThatIsAnotherFileOfTheBatchIsRefused) {
  testing::TempDir dir;
  const PathStyle& style = NativePathStyle();
  Batch b;
  b.window.style = style;
  b.window.folder = dir.path();
  b.window.entries = {"a.mp2", "b.wav"};
  testing::WriteFile(dir / "a.mp2", "a");
  testing::WriteFile(dir / "b.wav", "b");
  std::filesystem::create_directory(dir / "EtcEnc");
  std::filesystem::create_hard_link(dir / "b.wav", dir / "EtcEnc/a.mp2");
  auto files = MakeNativeFileSystem();
  BatchSummary s =
      RunBatch({}, b.boostSwitch, {b.window, b.switches, b.runner, *files, style, kDesignStatus});
  EXPECT_EQ(s.processed, 2);
  EXPECT_NE(b.window.status.find("a.mp2 (BeSweet.exe)"), std::string::npos) << b.window.status;
  for (const auto& command : b.runner.commands)
    EXPECT_EQ(command.find("a_TMP"), std::string::npos) << command;
  EXPECT_EQ(b.runner.commands.size(), 3u) << "b.wav is converted";
  EXPECT_EQ(testing::ReadFile(dir / "b.wav"), "b");
}

// Another process may act while a tool runs. A work folder swapped for a link
// back to the folder is found before the next stage or deletion: the file
// fails and nothing is written or deleted there; the later files are refused.
TEST(RunBatch, AWorkFolderSwappedForALinkDuringAFileLosesNoSource) {
  struct Case {
    std::size_t swapAt;  // the run during which the work folder is swapped
    std::size_t runs;
  } cases[] = {{0, 1}, {1, 2}};  // a.mp2's decode, then its filter
  for (const auto& c : cases) {
    SCOPED_TRACE(c.swapAt);
    testing::TempDir dir;
    std::error_code noLinks;
    std::filesystem::create_directory_symlink(".", dir / "probe", noLinks);
    if (noLinks)
      GTEST_SKIP() << "no links to folders here";
    NativeBatch b(dir, {"a.mp2", "a.wav", "a_TMP1.wav"});
    b.runner.duringRun = [&](std::size_t index) {
      if (index != c.swapAt)
        return;
      std::filesystem::rename(dir / "EtcEnc", dir / "old");
      std::filesystem::create_directory_symlink(".", dir / "EtcEnc");
    };
    EXPECT_EQ(b.Run().failed, 3);
    EXPECT_EQ(b.runner.commands.size(), c.runs);
    for (const auto& name : b.window.entries)
      EXPECT_EQ(testing::ReadFile(dir / name), name);
  }
}

// The list was read before the batch: a source that has become a folder or a
// FIFO by its turn is refused before any tool waits on it, and the batch goes on.
TEST(RunBatch, ASourceThatIsNoLongerARegularFileIsRefused) {
  testing::TempDir dir;
  NativeBatch b(dir, {"a.mp2", "b.wav", "c.wav"});
  b.runner.duringRun = [&](std::size_t index) {
    if (index == 0) {
      std::filesystem::remove(dir / "b.wav");
      std::filesystem::create_directory(dir / "b.wav");
    }
  };
  BatchSummary s = b.Run();
  EXPECT_EQ(s.processed, 3);
  EXPECT_EQ(s.failed, 1);
  EXPECT_NE(b.window.status.find("b.wav (ql7rzfir.exe)"), std::string::npos) << b.window.status;
  EXPECT_EQ(b.runner.commands.size(), 7u) << "nothing ran for b.wav";
}

// A stop signal ends the walk at the stage it came in, removes that stage's
// output and runs no power action: the caller ends the program.
TEST(RunBatch, AStopEndsTheWalkWithoutThePowerAction) {
  Batch b;
  b.window.entries = {"a.mp2", "b.mp2", "c.mp2"};
  b.window.autoExit = true;
  b.runner.stopAt = 5;  // b's filter
  BatchSummary s = b.Run();
  EXPECT_EQ(s.stopSignal, 15);
  EXPECT_EQ(s.processed, 2);
  EXPECT_EQ(b.runner.commands.size(), 6u);
  EXPECT_FALSE(b.fs.Has("D:\\rec\\EtcEnc\\b_TMP2.wav"));
  EXPECT_TRUE(b.fs.Has("D:\\rec\\EtcEnc\\a.mp2"));
  EXPECT_EQ(b.window.events, Names{"status"}) << "the failure is shown, nothing powers off";
}

TEST(RunBatch, BoostSwitchOutlivesTheBatch) {
  Batch b;
  b.window.entries = {"a.mp2"};
  ConversionSettings ac3;
  ac3.encodeMode = 1;
  ac3.useBoost = true;
  ac3.boostPreset = "Brex";
  b.Run(ac3);
  EXPECT_EQ(b.boostSwitch, " -boost( /b=");
  ac3.boostPreset = "typed";
  b.runner.commands.clear();
  b.window.selected = -1;
  b.Run(ac3);
  EXPECT_NE(b.runner.commands.back().find(" -boost( /b=3db ) -ac3enc("), std::string::npos);
}

}  // namespace
}  // namespace vorzik
