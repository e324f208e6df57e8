// The command lines the front end builds, split as a stage runner splits them, reach the
// stand-in tools and do the work.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/option_fragments.h"
#include "pipeline/tool_commands.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/audio_check.h"
#include "tests/tools/run_tool.h"
#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools::testing {
namespace {

using ::testing::HasSubstr;

/// Runs a full command line; the first word names the program.
ToolRun RunLine(const std::string& line) {
  std::vector<std::string> words = SplitCommandLine(line);
  const std::string program = words.front();
  words.erase(words.begin());
  return RunTool(program, words);
}

OptionFragments Fragments(const ConversionSettings& settings) {
  std::string boostSwitch;
  return BuildOptionFragments(settings, boostSwitch);
}

ConversionSettings AllFilterOptions(int variant) {
  ConversionSettings s;
  s.filterVariant = variant;
  s.useEffect = s.useGain = s.useFadeIn = s.useFadeOut = true;
  s.fadeIn = "2";
  s.fadeOut = "2";
  return s;
}

/// Decode, filter, normalise and encode one source the way the stage chain does,
/// in a folder whose name has a blank.
void ConvertLikeTheFrontEnd(const ConversionSettings& settings, const std::string& source,
                            const std::string& work) {
  const OptionFragments f = Fragments(settings);
  const std::string tmp1 = work + "/a_TMP1.wav";
  const std::string tmp2 = work + "/a_TMP2.wav";
  const std::string tmp3 = work + "/a_TMP3.wav";
  const std::vector<std::string> lines = {
      DecodeCommand(source, tmp1),
      FilterCommand(FilterToolName(settings.filterVariant), f.filterOptions, tmp1, tmp2),
      NormaliseCommand(f.normaliseOptions, tmp3, tmp2),
      EncodeCommand(tmp3, work + "/a" + f.outputExtension, f.encoderClause, f.noiseGateClause),
  };
  for (const std::string& line : lines) {
    const ToolRun run = RunLine(line);
    ASSERT_EQ(run.exitCode, 0) << line << "\n" << run.errorText;
  }
}

struct Batch {
  const char* name;
  ConversionSettings settings;
  double peak = 0.9;  // the normaliser's 90 %, unless a boost after it meets the limiter
};

class FrontEndBatch : public ::testing::TestWithParam<Batch> {};

TEST_P(FrontEndBatch, ConvertsASourceInAFolderWithABlank) {
  vorzik::testing::TempDir dir;
  const std::string folder = dir / "my rec";
  const std::string work = folder + "/EtcEnc";
  std::filesystem::create_directories(work);
  WriteWav(folder + "/src.wav", MakeTones({{50, 0.1}, {1000, 0.1}}, 1.0));
  // An MP2 source, as most recordings are.
  ASSERT_EQ(
      RunTool("BeSweet.exe", {"-core(", "-input", folder + "/src.wav", "-output", folder + "/a.mp2",
                              ")", "-mp2enc(", "-b", "224", "-m", "s", ")"})
          .exitCode,
      0);
  ConvertLikeTheFrontEnd(GetParam().settings, folder + "/a.mp2", work);
  const std::string result = work + "/a" + Fragments(GetParam().settings).outputExtension;
  ASSERT_EQ(RunTool("BeSweet.exe",
                    {"-core(", "-input", result, "-output", dir / "check.wav", "-2ch", ")"})
                .exitCode,
            0);
  const Pcm out = ReadWav(dir / "check.wav");
  ASSERT_EQ(out.channels.size(), 2u);
  EXPECT_NEAR(out.Seconds(), 1.0, 0.08);  // two encodes, each with its padding
  // The normaliser set the peak, and the shelf lifted the bass over the treble.
  EXPECT_NEAR(Peak(out.channels[0]), GetParam().peak, 0.06);
  const double bass = ToneAmplitude(out.channels[0], 50, 48000, 12000, 24000);
  const double treble = ToneAmplitude(out.channels[0], 1000, 48000, 12000, 24000);
  EXPECT_GT(Db(bass / treble), 9.0);
}

ConversionSettings Ac3WithBoostAndGate() {
  ConversionSettings s;
  s.encodeMode = 1;
  s.useBoost = true;
  s.useNoiseGate = true;
  return s;
}

ConversionSettings Ogg() {
  ConversionSettings s;
  s.encodeMode = 2;
  s.filterVariant = 1;
  return s;
}

ConversionSettings Mp2WithCrc() {
  ConversionSettings s = AllFilterOptions(0);
  s.errorProtection = true;
  return s;
}

INSTANTIATE_TEST_SUITE_P(Settings, FrontEndBatch,
                         ::testing::Values(Batch{"Defaults", ConversionSettings{}},
                                           Batch{"FirAllOptionsMp2Crc", Mp2WithCrc()},
                                           Batch{"Ac3BoostGate", Ac3WithBoostAndGate(), 0.989},
                                           Batch{"IirOgg", Ogg()}),
                         [](const auto& info) { return std::string(info.param.name); });

/// What the window can pass that the tools must refuse, by the line it makes.
TEST(FrontEndLines, OddTextsAreRefusedWithAMessage) {
  struct Case {
    const char* what;
    ConversionSettings settings;
    bool filterLine;  // else the encode line
    const char* message;
  };
  std::vector<Case> cases;
  ConversionSettings s;
  s.quality = "";
  cases.push_back({"empty quality", s, true, "-q has an empty value"});
  s = AllFilterOptions(1);
  s.gain = "loud";
  cases.push_back({"gain not a number", s, true, "'loud' is not a number"});
  s = ConversionSettings{};
  s.bitRate = "";
  cases.push_back({"empty bit rate", s, false, "-b has an empty value"});
  s = Ac3WithBoostAndGate();
  s.boostLevel = "";
  cases.push_back({"empty boost level", s, false, "level has an empty value"});
  s = ConversionSettings{};
  s.useNoiseGate = true;
  s.noiseGateLevel = "";
  cases.push_back({"empty gate level", s, false, "NoiseGate level has an empty value"});
  s = Ogg();
  s.oggQuality = "best";
  cases.push_back({"ogg quality not a number", s, false, "'best' is not a number"});
  for (const Case& c : cases) {
    const OptionFragments f = Fragments(c.settings);
    const std::string line =
        c.filterLine ? FilterCommand(FilterToolName(c.settings.filterVariant), f.filterOptions,
                                     "/d/my rec/a_TMP1.wav", "/d/my rec/a_TMP2.wav")
                     : EncodeCommand("/d/my rec/a_TMP3.wav", "/d/my rec/a" + f.outputExtension,
                                     f.encoderClause, f.noiseGateClause);
    std::vector<std::string> words = SplitCommandLine(line);
    words.erase(words.begin());
    try {
      if (c.filterLine) {
        ParseFilterArgs(words, c.settings.filterVariant == 0);
      } else {
        ParseBeSweetArgs(words);
      }
      ADD_FAILURE() << c.what << " accepted: " << line;
    } catch (const ToolError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.what << ": " << line;
    }
  }
}

}  // namespace
}  // namespace vorzik::tools::testing
