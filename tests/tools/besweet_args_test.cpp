#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

using ::testing::HasSubstr;
using Words = std::vector<std::string>;

// The words a stage runner hands over for a command line: split at blanks, quotes
// already removed by the splitter (so `core` here carries the paths bare).
Words Split(const std::string& line) {
  std::istringstream in(line);
  Words words;
  for (std::string w; in >> w;) {
    words.push_back(w);
  }
  return words;
}

const std::string kCore = "-core( -input /d/rec/EtcEnc/a_TMP3.wav -output /d/rec/EtcEnc/a.mp2 )";

TEST(BeSweetArgs, DecodeLine) {
  const BeSweetArgs a =
      ParseBeSweetArgs(Split("-core( -input /d/rec/a.mp2 -output /d/rec/EtcEnc/a_TMP1.wav -2ch )"));
  EXPECT_EQ(a.input, "/d/rec/a.mp2");
  EXPECT_EQ(a.output, "/d/rec/EtcEnc/a_TMP1.wav");
  EXPECT_TRUE(a.twoChannels);
  EXPECT_EQ(a.encoder, Encoder::None);
}

TEST(BeSweetArgs, QuotedPathsWithBlanksStayWhole) {
  const BeSweetArgs a = ParseBeSweetArgs({"-core(", "-input", "/d/my rec/a.mp2", "-output",
                                          "/d/my rec/EtcEnc/a_TMP1.wav", "-2ch", ")"});
  EXPECT_EQ(a.input, "/d/my rec/a.mp2");
  EXPECT_EQ(a.output, "/d/my rec/EtcEnc/a_TMP1.wav");
}

TEST(BeSweetArgs, Mp2WithAndWithoutErrorProtection) {
  const BeSweetArgs plain = ParseBeSweetArgs(Split(kCore + " -mp2enc(  -b 224 -m s )"));
  EXPECT_EQ(plain.encoder, Encoder::Mp2);
  EXPECT_EQ(plain.bitRateKbps, 224);
  EXPECT_FALSE(plain.errorProtection);
  EXPECT_FALSE(plain.twoChannels);
  EXPECT_TRUE(ParseBeSweetArgs(Split(kCore + " -mp2enc(  -b 224 -m s -e )")).errorProtection);
}

TEST(BeSweetArgs, Ac3WithEachBoostPreset) {
  const std::vector<std::pair<std::string, BoostShape>> presets = {
      {"/b=", BoostShape::Flat}, {"/b2=", BoostShape::LowShelf}, {"/b3=", BoostShape::Loudness}};
  for (const auto& [preset, shape] : presets) {
    const BeSweetArgs a =
        ParseBeSweetArgs(Split(kCore + " -boost( " + preset + "3db ) -ac3enc( -b 224 -m s )"));
    EXPECT_EQ(a.encoder, Encoder::Ac3);
    ASSERT_TRUE(a.boost.has_value()) << preset;
    EXPECT_EQ(a.boost->shape, shape);
    EXPECT_EQ(a.boost->decibels, 3);
  }
  const BeSweetArgs noBoost = ParseBeSweetArgs(Split(kCore + " -ac3enc( -b 448 -m s )"));
  EXPECT_FALSE(noBoost.boost.has_value());
  EXPECT_EQ(noBoost.bitRateKbps, 448);
}

TEST(BeSweetArgs, BoostLevelTypedWithBlanksIsJoined) {
  const BeSweetArgs a =
      ParseBeSweetArgs(Split(kCore + " -boost( /b2=4.5 db ) -ac3enc( -b 224 -m s )"));
  ASSERT_TRUE(a.boost.has_value());
  EXPECT_EQ(a.boost->decibels, 4.5);
}

TEST(BeSweetArgs, OggAndNoiseGate) {
  const BeSweetArgs ogg = ParseBeSweetArgs(Split(kCore + " -ogg( -q 4.00 )"));
  EXPECT_EQ(ogg.encoder, Encoder::Vorbis);
  EXPECT_EQ(ogg.vorbisQuality, 4.0);
  const BeSweetArgs gated = ParseBeSweetArgs(Split(
      kCore + " -mp2enc(  -b 224 -m s ) -plugin( -name BS_NoiseGate.dll -func NoiseGate70 )"));
  ASSERT_TRUE(gated.gateDbfs.has_value());
  EXPECT_EQ(*gated.gateDbfs, -70);
}

struct BadLine {
  std::string tail;  // what follows the core block
  const char* message;
};

class BeSweetArgsRejects : public ::testing::TestWithParam<BadLine> {};

TEST_P(BeSweetArgsRejects, WithAMessage) {
  try {
    ParseBeSweetArgs(Split(kCore + GetParam().tail));
    FAIL() << "accepted";
  } catch (const ToolError& e) {
    EXPECT_EQ(e.Kind(), ToolErrorKind::Usage);
    EXPECT_THAT(e.what(), HasSubstr(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tails, BeSweetArgsRejects,
    ::testing::Values(
        BadLine{" -mp2enc(  -b  -m s )", "-b has an empty value"},
        BadLine{" -mp2enc(  -b fast -m s )", "'fast' is not a number"},
        BadLine{" -mp2enc(  -b 225 -m s )", "not one the encoder can write"},
        BadLine{" -mp2enc(  -b 32 -m s )", "not one the encoder can write"},
        BadLine{" -mp2enc(  -b 80 -m s )", "not one the encoder can write"},
        BadLine{" -ac3enc( -b 700 -m s )", "not one the encoder can write"},
        BadLine{" -mp2enc(  -b 224 -m )", "-m has an empty value"},
        BadLine{" -mp2enc(  -b 224 -m j )", "-m 'j'"}, BadLine{" -mp2enc(  -m s )", "needs -b"},
        BadLine{" -ac3enc( -b 224 -m s -e )", "unexpected word '-e'"},
        BadLine{" -mp2enc(  -b 224 -m s", "is not closed"},
        BadLine{" -mp2enc(  -b 224 -m s ) -ogg( -q 4 )", "more than one encoder"},
        BadLine{" -ogg( -q  )", "-ogg( -q has an empty value"},
        BadLine{" -ogg( -q 11 )", "out of range"}, BadLine{" -ogg( -q good )", "not a number"},
        // An empty boost level: "db )" glued to the preset.
        BadLine{" -boost( /b2=db ) -ac3enc( -b 224 -m s )", "level has an empty value"},
        BadLine{" -boost( /b2=loud db ) -ac3enc( -b 224 -m s )", "not a number"},
        BadLine{" -boost( /b2=3 ) -ac3enc( -b 224 -m s )", "must end in db"},
        BadLine{" -boost( /b9=3db ) -ac3enc( -b 224 -m s )", "needs /b=, /b2= or /b3="},
        // An unknown preset before any known one: the level comes alone.
        BadLine{" 3db ) -ac3enc( -b 224 -m s )", "'3db' has no preset"},
        BadLine{" db ) -ac3enc( -b 224 -m s )", "'db' has no preset"},
        BadLine{" -plugin( -name BS_NoiseGate.dll -func NoiseGate )",
                "NoiseGate level has an empty"},
        BadLine{" -plugin( -name BS_NoiseGate.dll -func NoiseGateab )", "not a number"},
        BadLine{" -plugin( -name Other.dll -func NoiseGate70 )", "unknown plug-in 'Other.dll'"},
        BadLine{" -plugin( -name BS_NoiseGate.dll -func Gate70 )", "unknown plug-in function"},
        BadLine{" -plugin( -name BS_NoiseGate.dll )", "-plugin( needs"},
        BadLine{" -mp2enc(  -b 224 -m s ) extra", "unexpected word 'extra'"}));

TEST(BeSweetArgs, BadCoreBlocksAreRejected) {
  const std::vector<std::pair<Words, const char*>> cases = {
      {{}, "usage"},
      {Split("-input a.wav -output b.wav"), "usage"},
      {Split("-core( -input a.wav )"), "needs -output"},
      {Split("-core( -output b.wav )"), "needs -input"},
      {{"-core(", "-input", "", "-output", "b.wav", ")"}, "needs -input"},
      {Split("-core( -input a.wav -output b.wav -3ch )"), "unexpected word '-3ch'"},
      {Split("-core( -input a.wav -output b.wav"), "is not closed"},
  };
  for (const auto& [words, message] : cases) {
    try {
      ParseBeSweetArgs(words);
      ADD_FAILURE() << "accepted: " << ::testing::PrintToString(words);
    } catch (const ToolError& e) {
      EXPECT_THAT(e.what(), HasSubstr(message)) << ::testing::PrintToString(words);
    }
  }
}

}  // namespace
}  // namespace vorzik::tools
