#include "pipeline/stage_chain.h"

#include <gtest/gtest.h>

#include "pipeline/file_job.h"
#include "pipeline/tool_commands.h"
#include "tests/support/pipeline_fakes.h"

namespace vorzik {
namespace {

using testing::FakeStageFiles;
using testing::FakeStageRunner;
using testing::FakeSwitches;
using Names = std::vector<std::string>;

OptionFragments Defaults() {
  std::string boostSwitch;
  return BuildOptionFragments(ConversionSettings{}, boostSwitch);
}

struct World {
  FakeStageFiles fs;
  FakeStageRunner runner{fs};
  FakeSwitches switches;

  FileResult Process(const std::string& source, const std::string& folder,
                     const PathStyle& style = kWindowsPathStyle,
                     const OptionFragments& fragments = Defaults()) {
    fs.Write(source);
    return ProcessFile(source, folder, fragments, {switches, runner, fs, style});
  }

  // Each run as "tool input>output" with bare file names, for reading plans.
  Names Plan(const PathStyle& style = kWindowsPathStyle) const {
    Names plan;
    for (const auto& command : runner.commands) {
      auto args = SplitCommandLine(command);
      std::string in = args[0] == "BeSweet.exe"     ? args[3]
                       : args[0] == "normalize.exe" ? args.back()
                                                    : args[args.size() - 2];
      plan.push_back(args[0] + " " + std::string(LastComponent(in, style)) + ">" +
                     std::string(LastComponent(testing::OutputOf(args), style)));
    }
    return plan;
  }

  Names Deleted(const PathStyle& style = kWindowsPathStyle) const {
    Names names;
    for (const auto& path : fs.deleted)
      names.push_back(std::string(LastComponent(path, style)));
    return names;
  }

  Names WorkFolderFiles(const std::string& workFolder) const {
    Names names;
    for (const auto& [path, stamp] : fs.files) {
      if (path.rfind(workFolder, 0) == 0)
        names.push_back(path.substr(workFolder.size()));
    }
    return names;
  }
};

TEST(ProcessFile, DefaultsRunTheFourToolLinesByteForByte) {
  World w;
  FileResult result = w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(w.runner.commands,
            (Names{
                "BeSweet.exe -core( -input \"D:\\rec\\a.mp2\" -output "
                "\"D:\\rec\\EtcEnc\\a_TMP1.wav\" -2ch )",
                "ql7rzfir.exe -y -q 200 D:\\rec\\EtcEnc\\a_TMP1.wav D:\\rec\\EtcEnc\\a_TMP2.wav",
                "normalize.exe -m 90 -o D:\\rec\\EtcEnc\\a_TMP3.wav D:\\rec\\EtcEnc\\a_TMP2.wav",
                "BeSweet.exe -core( -input \"D:\\rec\\EtcEnc\\a_TMP3.wav\" -output "
                "\"D:\\rec\\EtcEnc\\a.mp2\" ) -mp2enc(  -b 224 -m s )",
            }));
  EXPECT_EQ(w.fs.deleted, (Names{"D:\\rec\\EtcEnc\\a_TMP1.wav", "D:\\rec\\EtcEnc\\a_TMP2.wav",
                                 "D:\\rec\\EtcEnc\\a_TMP3.wav"}));
  EXPECT_EQ(w.WorkFolderFiles("D:\\rec\\EtcEnc\\"), (Names{"a.mp2"}));
}

TEST(ProcessFile, PosixStyleRunsTheSamePlan) {
  World w;
  EXPECT_TRUE(w.Process("/d/rec/a.mp2", "/d/rec/", kPosixPathStyle).ok);
  EXPECT_EQ(
      w.runner.commands.front(),
      "BeSweet.exe -core( -input \"/d/rec/a.mp2\" -output \"/d/rec/EtcEnc/a_TMP1.wav\" -2ch )");
  EXPECT_EQ(w.runner.commands[1],
            "ql7rzfir.exe -y -q 200 /d/rec/EtcEnc/a_TMP1.wav /d/rec/EtcEnc/a_TMP2.wav");
  EXPECT_EQ(w.WorkFolderFiles("/d/rec/EtcEnc/"), (Names{"a.mp2"}));
}

// Which tools run on what, what is deleted and what stays, for each switch
// combination, with the temporary files deleted.
struct PlanRow {
  bool filter, normalise, encode;
  Names mp2Plan, mp2Deleted, mp2Left;
  Names wavPlan, wavDeleted, wavLeft;
};

const std::string kDec = "BeSweet.exe a.mp2>a_TMP1.wav";

const PlanRow kPlanTable[] = {
    {false, false, false, {kDec}, {}, {"a_TMP1.wav"}, {}, {}, {}},
    {true,
     false,
     false,
     {kDec, "ql7rzfir.exe a_TMP1.wav>a_TMP2.wav"},
     {"a_TMP1.wav"},
     {"a_TMP2.wav"},
     {"ql7rzfir.exe b.wav>b_TMP2.wav"},
     {},
     {"b_TMP2.wav"}},
    {false,
     true,
     false,
     {kDec, "normalize.exe a_TMP1.wav>a_TMP3.wav"},
     {"a_TMP1.wav"},
     {"a_TMP3.wav"},
     {"normalize.exe b.wav>b_TMP3.wav"},
     {},
     {"b_TMP3.wav"}},
    {true,
     true,
     false,
     {kDec, "ql7rzfir.exe a_TMP1.wav>a_TMP2.wav", "normalize.exe a_TMP2.wav>a_TMP3.wav"},
     {"a_TMP1.wav", "a_TMP2.wav"},
     {"a_TMP3.wav"},
     {"ql7rzfir.exe b.wav>b_TMP2.wav", "normalize.exe b_TMP2.wav>b_TMP3.wav"},
     {"b_TMP2.wav"},
     {"b_TMP3.wav"}},
    {false,
     false,
     true,
     {kDec, "BeSweet.exe a_TMP1.wav>a.mp2"},
     {"a_TMP1.wav"},
     {"a.mp2"},
     {"BeSweet.exe b.wav>b.mp2"},
     {},
     {"b.mp2"}},
    {true,
     false,
     true,
     {kDec, "ql7rzfir.exe a_TMP1.wav>a_TMP2.wav", "BeSweet.exe a_TMP2.wav>a.mp2"},
     {"a_TMP1.wav", "a_TMP2.wav"},
     {"a.mp2"},
     {"ql7rzfir.exe b.wav>b_TMP2.wav", "BeSweet.exe b_TMP2.wav>b.mp2"},
     {"b_TMP2.wav"},
     {"b.mp2"}},
    {false,
     true,
     true,
     {kDec, "normalize.exe a_TMP1.wav>a_TMP3.wav", "BeSweet.exe a_TMP3.wav>a.mp2"},
     {"a_TMP1.wav", "a_TMP3.wav"},
     {"a.mp2"},
     {"normalize.exe b.wav>b_TMP3.wav", "BeSweet.exe b_TMP3.wav>b.mp2"},
     {"b_TMP3.wav"},
     {"b.mp2"}},
    {true,
     true,
     true,
     {kDec, "ql7rzfir.exe a_TMP1.wav>a_TMP2.wav", "normalize.exe a_TMP2.wav>a_TMP3.wav",
      "BeSweet.exe a_TMP3.wav>a.mp2"},
     {"a_TMP1.wav", "a_TMP2.wav", "a_TMP3.wav"},
     {"a.mp2"},
     {"ql7rzfir.exe b.wav>b_TMP2.wav", "normalize.exe b_TMP2.wav>b_TMP3.wav",
      "BeSweet.exe b_TMP3.wav>b.mp2"},
     {"b_TMP2.wav", "b_TMP3.wav"},
     {"b.mp2"}},
};

class StagePlan : public ::testing::TestWithParam<PlanRow> {};

// A WAV whose name (한.wav) does not fit the code page reaches the chain by
// its short form, upper case as short forms are. It runs its twin b.wav's
// plan under the short name, and its result alone takes its own name.
const std::string kShortWav = "D:\\rec\\B~1.WAV";

// "b.wav" becomes "B~1.WAV" and "b_TMP2.wav" "B~1_TMP2.wav", where the name
// starts a plan's word. (Plain searching: GCC 12's -O2 with the sanitizers
// warns inside <regex>.)
std::string AsShortWav(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool starts = i == 0 || text[i - 1] == ' ' || text[i - 1] == '>';
    if (starts && text.compare(i, 5, "b.wav") == 0) {
      out += "B~1.WAV";
      i += 4;
    } else if (starts && (text.compare(i, 2, "b.") == 0 || text.compare(i, 2, "b_") == 0)) {
      out += "B~1";
    } else {
      out += text[i];
    }
  }
  return out;
}

Names AsShortWav(Names names) {
  for (std::string& name : names)
    name = AsShortWav(name);
  return names;
}

TEST_P(StagePlan, DeletingTemporaryFiles) {
  const PlanRow& row = GetParam();
  for (std::string source : {"D:\\rec\\a.mp2", "D:\\rec\\b.wav", kShortWav.c_str()}) {
    World w;
    w.fs.ownNames[kShortWav] = "\xED\x95\x9C.wav";
    w.switches.filter = row.filter;
    w.switches.normalise = row.normalise;
    w.switches.encode = row.encode;
    const bool wav = source != "D:\\rec\\a.mp2";
    const bool isShort = source == kShortWav;
    auto expect = [isShort](const Names& names) { return isShort ? AsShortWav(names) : names; };
    w.Process(source, "D:\\rec\\");
    EXPECT_EQ(w.Plan(), expect(wav ? row.wavPlan : row.mp2Plan)) << source;
    EXPECT_EQ(w.Deleted(), expect(wav ? row.wavDeleted : row.mp2Deleted)) << source;
    const Names left = expect(wav ? row.wavLeft : row.mp2Left);
    EXPECT_EQ(w.WorkFolderFiles("D:\\rec\\EtcEnc\\"), left) << source;
    EXPECT_TRUE(w.fs.Has(source)) << "the source is never deleted";
    EXPECT_EQ(w.fs.namedAfterSource, isShort && !left.empty()
                                         ? Names{source + ">D:\\rec\\EtcEnc\\" + left.front()}
                                         : Names{})
        << source;
  }
}

TEST_P(StagePlan, KeepingTemporaryFiles) {
  const PlanRow& row = GetParam();
  for (bool wav : {false, true}) {
    World w;
    w.switches = FakeSwitches{};
    w.switches.filter = row.filter;
    w.switches.normalise = row.normalise;
    w.switches.encode = row.encode;
    w.switches.deleteIntermediate = false;
    w.Process(wav ? "D:\\rec\\b.wav" : "D:\\rec\\a.mp2", "D:\\rec\\");
    EXPECT_EQ(w.Plan(), wav ? row.wavPlan : row.mp2Plan);
    EXPECT_TRUE(w.fs.deleted.empty());
    // Every file a stage wrote stays.
    EXPECT_EQ(w.WorkFolderFiles("D:\\rec\\EtcEnc\\").size(), w.runner.commands.size());
  }
}

std::string RowName(const ::testing::TestParamInfo<PlanRow>& info) {
  const PlanRow& r = info.param;
  return std::string(r.filter ? "Filter" : "NoFilter") +
         (r.normalise ? "Normalise" : "NoNormalise") + (r.encode ? "Encode" : "NoEncode");
}

INSTANTIATE_TEST_SUITE_P(AllSwitchCombinations, StagePlan, ::testing::ValuesIn(kPlanTable),
                         RowName);

TEST(ProcessFile, UpperCaseWavIsDecodedFirst) {
  World w;
  w.Process("D:\\rec\\C.WAV", "D:\\rec\\");
  EXPECT_EQ(w.Plan(),
            (Names{"BeSweet.exe C.WAV>C_TMP1.wav", "ql7rzfir.exe C_TMP1.wav>C_TMP2.wav",
                   "normalize.exe C_TMP2.wav>C_TMP3.wav", "BeSweet.exe C_TMP3.wav>C.mp2"}));
}

TEST(ProcessFile, SameBaseNameLaterSourceOverwritesEarlier) {
  World w;
  w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  long first = w.fs.files.at("D:\\rec\\EtcEnc\\a.mp2");
  w.Process("D:\\rec\\a.wav", "D:\\rec\\");
  EXPECT_GT(w.fs.files.at("D:\\rec\\EtcEnc\\a.mp2"), first);
  EXPECT_EQ(w.Plan().back(), "BeSweet.exe a_TMP3.wav>a.mp2");
  EXPECT_EQ(w.WorkFolderFiles("D:\\rec\\EtcEnc\\"), (Names{"a.mp2"}));
}

TEST(ProcessFile, DoubleByteFolderNamesYieldTheBareFileName) {
  // "表" (0x95 0x5C) ends in the backslash's code; "ソ" (0x83 0x5C) too.
  const std::string sjisFolder = "D:\\\x95\x5C\\\x83\x5C\\";
  World sjis;
  sjis.Process(sjisFolder + "a.mp2", sjisFolder);
  EXPECT_EQ(sjis.Plan(kWindowsPathStyle).back(), "BeSweet.exe a_TMP3.wav>a.mp2");
  EXPECT_EQ(sjis.runner.commands.back().find(sjisFolder + "EtcEnc\\a.mp2") != std::string::npos,
            true);

  const std::string utf8Folder = "/d/\xE9\x8C\xB2\xE9\x9F\xB3/\xE3\x81\x82/";  // 録音/あ
  World utf8;
  utf8.Process(utf8Folder + "b.wav", utf8Folder, kPosixPathStyle);
  EXPECT_EQ(utf8.Plan(kPosixPathStyle).front(), "ql7rzfir.exe b.wav>b_TMP2.wav");
  EXPECT_TRUE(utf8.fs.Has(utf8Folder + "EtcEnc/b.mp2"));
}

TEST(ProcessFile, SwitchChangedWhileAToolRunsReachesTheNextStep) {
  World w;
  // While the filter runs, the user unticks Normalize and TMP File Delete.
  w.runner.duringRun = [&](std::size_t index) {
    if (index == 1) {
      w.switches.normalise = false;
      w.switches.deleteIntermediate = false;
    }
  };
  w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(w.Plan(),
            (Names{kDec, "ql7rzfir.exe a_TMP1.wav>a_TMP2.wav", "BeSweet.exe a_TMP2.wav>a.mp2"}));
  EXPECT_TRUE(w.fs.deleted.empty());

  World v;
  v.runner.duringRun = [&](std::size_t index) {
    if (index == 0)
      v.switches.filterVariant = 1;
  };
  v.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(v.Plan()[1], "ql7rziir.exe a_TMP1.wav>a_TMP2.wav");

  // While the decoder runs, the user unticks Filter: the normaliser takes the decoded file.
  World u;
  u.runner.duringRun = [&](std::size_t index) {
    if (index == 0)
      u.switches.filter = false;
  };
  u.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(u.Plan(),
            (Names{kDec, "normalize.exe a_TMP1.wav>a_TMP3.wav", "BeSweet.exe a_TMP3.wav>a.mp2"}));
}

TEST(ProcessFile, PathsWithBlanksAreQuotedInBareLinesOnly) {
  World w;
  w.Process("D:\\my rec\\a.mp2", "D:\\my rec\\");
  EXPECT_EQ(w.runner.commands[1],
            "ql7rzfir.exe -y -q 200 \"D:\\my rec\\EtcEnc\\a_TMP1.wav\" "
            "\"D:\\my rec\\EtcEnc\\a_TMP2.wav\"");
  EXPECT_EQ(w.runner.commands[2],
            "normalize.exe -m 90 -o \"D:\\my rec\\EtcEnc\\a_TMP3.wav\" "
            "\"D:\\my rec\\EtcEnc\\a_TMP2.wav\"");
  EXPECT_EQ(w.runner.commands[0],
            "BeSweet.exe -core( -input \"D:\\my rec\\a.mp2\" -output "
            "\"D:\\my rec\\EtcEnc\\a_TMP1.wav\" -2ch )");
  EXPECT_EQ(SplitCommandLine(w.runner.commands[1]).size(), 6u);
}

TEST(ProcessFile, FirstFailedStageIsNamedAndLaterStagesStillRun) {
  World w;
  w.runner.unstartable = {"ql7rzfir.exe"};
  FileResult r = w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedStage, Stage::Filter);
  EXPECT_EQ(r.failedTool, "ql7rzfir.exe");
  EXPECT_EQ(w.runner.commands.size(), 4u);
  EXPECT_EQ(w.fs.deleted.size(), 3u) << "deletions happen as listed";

  World silent;
  silent.runner.silent = {"normalize.exe"};
  r = silent.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(r.failedStage, Stage::Normalise);
  EXPECT_EQ(r.failedTool, "normalize.exe");
}

TEST(ProcessFile, ACrashFailsItsOwnStageAndItsOutputIsDeleted) {
  World w;
  w.switches.deleteIntermediate = false;
  w.runner.crashing = {"ql7rzfir.exe"};
  FileResult r = w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(r.failedStage, Stage::Filter);
  EXPECT_EQ(w.runner.commands.size(), 4u);
  EXPECT_EQ(w.WorkFolderFiles("D:\\rec\\EtcEnc\\"), (Names{"a.mp2", "a_TMP1.wav", "a_TMP3.wav"}));

  World late;  // a crash after the first failure is cleaned up all the same
  late.runner.silent = {"ql7rzfir.exe"};
  late.runner.crashing = {"normalize.exe"};
  r = late.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_EQ(r.failedStage, Stage::Filter);
  EXPECT_FALSE(late.fs.Has("D:\\rec\\EtcEnc\\a_TMP3.wav"));
}

TEST(ProcessFile, OnlyASuccessfulResultIsNamedAfterItsSource) {
  World ok;
  ok.fs.ownNames["D:\\rec\\__~~~YQP.WAV"] = "\xED\x95\x9C.WAV";
  ok.Process("D:\\rec\\__~~~YQP.WAV", "D:\\rec\\");
  EXPECT_EQ(ok.fs.namedAfterSource, (Names{"D:\\rec\\__~~~YQP.WAV>D:\\rec\\EtcEnc\\__~~~YQP.mp2"}));
  World failed;
  failed.runner.unstartable = {"ql7rzfir.exe"};
  World failedEncode;
  failedEncode.runner.silent = {"BeSweet.exe"};
  for (World* w : {&failed, &failedEncode}) {
    w->fs.ownNames["D:\\rec\\__~~~YQP.WAV"] = "\xED\x95\x9C.wav";
    w->Process("D:\\rec\\__~~~YQP.WAV", "D:\\rec\\");
    EXPECT_TRUE(w->fs.namedAfterSource.empty());
  }
}

TEST(ProcessFile, StaleOutputFromAnEarlierRunIsNoSuccess) {
  World w;
  w.switches.deleteIntermediate = false;
  w.fs.Write("D:\\rec\\EtcEnc\\a_TMP1.wav");  // left by an earlier batch
  w.runner.silent = {"BeSweet.exe"};
  FileResult r = w.Process("D:\\rec\\a.mp2", "D:\\rec\\");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedStage, Stage::Decode);

  World fine;
  fine.fs.Write("D:\\rec\\EtcEnc\\a_TMP1.wav");
  EXPECT_TRUE(fine.Process("D:\\rec\\a.mp2", "D:\\rec\\").ok);
}

TEST(ProcessFile, RefusesPathsTheCommandLinesCannotCarry) {
  for (std::string source : {"/d/a\"b.mp2", "/d/a\nb.mp2", "/d/a\tb.wav", "/d/q\"x/a.mp2",
                             "/d/x\x7F/a.mp2", "/d/a.mp2\\"}) {
    World w;
    std::string folder = source.substr(0, source.rfind('/') + 1);
    FileResult r = w.Process(source, folder, kPosixPathStyle);
    EXPECT_FALSE(r.ok) << source;
    EXPECT_TRUE(w.runner.commands.empty()) << source;
  }
}

// A Windows name that lost characters to the ANSI code page and has no short
// form reaches the pipeline with "?" in their place. It counts as failed
// before anything runs, so no tool can expand it to another file. On Linux
// "?" and "*" are ordinary name characters.
TEST(ProcessFile, WindowsPathsThatLostCharactersFailBeforeAnythingRuns) {
  for (std::string source : {"D:\\rec\\??.wav", "D:\\rec\\a*.mp2", "D:\\??\\a.mp2"}) {
    World w;
    std::string folder = source.substr(0, source.rfind('\\') + 1);
    FileResult r = w.Process(source, folder, kWindowsPathStyle);
    EXPECT_FALSE(r.ok) << source;
    EXPECT_NE(r.failedStage, Stage::None) << source;
    EXPECT_NE(r.reason.find("ANSI code page"), std::string::npos) << r.reason;
    EXPECT_TRUE(w.runner.commands.empty()) << source;
  }
  for (std::string source : {"/d/a?b.wav", "/d/x*/a.mp2"}) {
    World w;
    std::string folder = source.substr(0, source.rfind('/') + 1);
    EXPECT_TRUE(w.Process(source, folder, kPosixPathStyle).ok) << source;
    EXPECT_FALSE(w.runner.commands.empty()) << source;
  }
}

// Links as an archive or another process may leave them: a work folder that
// leads back to the source folder, or a stage file that is the source or
// another file of the batch, refuses the file before anything runs; a work
// folder swapped for such a link while a tool runs stops the file before its
// next step. No file of the batch is written or deleted. A work folder that
// leads elsewhere is the user's choice.
TEST(ProcessFile, LinksBackToTheSourceOrTheBatchLoseNoFile) {
  const std::string source = "D:\\rec\\a.mp2", other = "D:\\rec\\b.wav";
  struct Case {
    std::string link, target;
    bool whileDecoding;  // made while the first tool runs, not before
    std::string reason;  // empty: the file is converted
    Stage failedStage;
    std::size_t runs;
  } cases[] = {
      {"D:\\rec\\EtcEnc", "D:\\rec", false,
       "the work folder EtcEnc leads back to the source folder", Stage::Decode, 0},
      {"D:\\rec\\EtcEnc\\a_TMP2.wav", source, false,
       "the stage file D:\\rec\\EtcEnc\\a_TMP2.wav is the source file itself", Stage::Decode, 0},
      {"D:\\rec\\EtcEnc\\a.mp2", other, false,
       "the stage file D:\\rec\\EtcEnc\\a.mp2 is another file of the batch", Stage::Decode, 0},
      {"D:\\rec\\EtcEnc", "D:\\rec", true, "the work folder EtcEnc leads back to the source folder",
       Stage::Filter, 1},
      {"D:\\rec\\EtcEnc", "E:\\out", false, "", Stage::None, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.link + " -> " + c.target + (c.whileDecoding ? " while decoding" : ""));
    World w;
    w.fs.folders = {"D:\\rec", "D:\\rec\\EtcEnc", "E:\\out"};
    w.fs.Write(source);
    w.fs.Write(other);
    const std::vector<BatchFile> batch = {{source, w.fs.Identify(source)},
                                          {other, w.fs.Identify(other)}};
    const FileStamp sourceBefore = w.fs.Stamp(source), otherBefore = w.fs.Stamp(other);
    if (c.whileDecoding)
      w.runner.duringRun = [&](std::size_t index) {
        if (index == 0)
          w.fs.Link(c.link, c.target);
      };
    else
      w.fs.Link(c.link, c.target);

    FileResult r = ProcessFile(source, "D:\\rec\\", Defaults(),
                               {w.switches, w.runner, w.fs, kWindowsPathStyle, batch});
    EXPECT_EQ(r.reason, c.reason);
    EXPECT_EQ(r.failedStage, c.failedStage);
    EXPECT_EQ(w.runner.commands.size(), c.runs);
    EXPECT_EQ(w.fs.Stamp(source), sourceBefore);
    EXPECT_EQ(w.fs.Stamp(other), otherBefore);
    if (c.reason.empty())
      EXPECT_TRUE(w.fs.Has("E:\\out\\a.mp2"));
    else
      EXPECT_TRUE(w.fs.deleted.empty());
  }
}

// A file of the batch deleted meanwhile frees its number, and a new stage file may
// get it: that is no link to the batch, and the file is converted.
TEST(ProcessFile, TheNumberOfADeletedBatchFileIsNoLink) {
  World w;
  w.fs.folders = {"D:\\rec", "D:\\rec\\EtcEnc"};
  w.fs.Write("D:\\rec\\a.mp2");
  // The number the fake gives the second stage file, once the file exists.
  const FileIdentity freed{true, 1, std::hash<std::string>{}("D:\\rec\\EtcEnc\\a_TMP2.wav")};
  const std::vector<BatchFile> batch = {{"D:\\rec\\a.mp2", w.fs.Identify("D:\\rec\\a.mp2")},
                                        {"D:\\rec\\gone.wav", freed}};
  FileResult r = ProcessFile("D:\\rec\\a.mp2", "D:\\rec\\", Defaults(),
                             {w.switches, w.runner, w.fs, kWindowsPathStyle, batch});
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_EQ(w.runner.commands.size(), 4u);
}

TEST(FileJob, NamesFromTheFolderPrefix) {
  FileJob job = MakeFileJob("D:\\rec\\a.mp2", "D:\\rec\\", ".ac3", kWindowsPathStyle);
  EXPECT_EQ(job.fileName, "a.mp2");
  EXPECT_EQ(job.baseName, "a");
  EXPECT_FALSE(job.isWav);
  EXPECT_EQ(job.tmp3, "D:\\rec\\EtcEnc\\a_TMP3.wav");
  EXPECT_EQ(job.outputPath, "D:\\rec\\EtcEnc\\a.ac3");
  FileJob root = MakeFileJob("D:\\b.wav", "D:\\", ".ogg", kWindowsPathStyle);
  EXPECT_TRUE(root.isWav);
  EXPECT_EQ(root.outputPath, "D:\\EtcEnc\\b.ogg");
}

TEST(ToolCommands, FilterAndNormaliserExamples) {
  EXPECT_EQ(FilterCommand(kFirTool, " -q 200", "D:\\rec\\EtcEnc\\a_TMP1.wav",
                          "D:\\rec\\EtcEnc\\a_TMP2.wav"),
            "ql7rzfir.exe -y -q 200 D:\\rec\\EtcEnc\\a_TMP1.wav D:\\rec\\EtcEnc\\a_TMP2.wav");
  EXPECT_EQ(FilterCommand(kIirTool, "", "in", "out"), "ql7rziir.exe -y in out");
  EXPECT_EQ(
      NormaliseCommand(" -m 90", "D:\\rec\\EtcEnc\\a_TMP3.wav", "D:\\rec\\EtcEnc\\a_TMP2.wav"),
      "normalize.exe -m 90 -o D:\\rec\\EtcEnc\\a_TMP3.wav D:\\rec\\EtcEnc\\a_TMP2.wav");
  EXPECT_EQ(EncodeCommand("i", "o", " -ogg( -q 4.00 )",
                          " -plugin( -name BS_NoiseGate.dll -func NoiseGate70 )"),
            "BeSweet.exe -core( -input \"i\" -output \"o\" ) -ogg( -q 4.00 ) -plugin( -name "
            "BS_NoiseGate.dll -func NoiseGate70 )");
}

}  // namespace
}  // namespace vorzik
