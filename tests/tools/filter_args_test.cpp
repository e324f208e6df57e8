#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

using ::testing::HasSubstr;
using Words = std::vector<std::string>;

TEST(FilterArgs, DefaultFirLine) {
  const FilterArgs a =
      ParseFilterArgs({"-y", "-q", "200", "/d/rec/a_TMP1.wav", "/d/rec/b.wav"}, true);
  EXPECT_TRUE(a.overwrite);
  EXPECT_EQ(a.quality, 200);
  EXPECT_EQ(a.effectPercent, 100);
  EXPECT_EQ(a.gainPercent, 100);
  EXPECT_EQ(a.input, "/d/rec/a_TMP1.wav");
  EXPECT_EQ(a.output, "/d/rec/b.wav");
}

TEST(FilterArgs, EveryOptionOfBothVariants) {
  const FilterArgs fir = ParseFilterArgs(
      {"-y", "-q", "150", "-e", "80", "-g", "90", "-i", "3", "-o", "4", "in.wav", "out.wav"}, true);
  EXPECT_EQ(fir.quality, 150);
  EXPECT_EQ(fir.effectPercent, 80);
  EXPECT_EQ(fir.gainPercent, 90);
  EXPECT_EQ(fir.fadeInFrames, 3);
  EXPECT_EQ(fir.fadeOutFrames, 4);
  const FilterArgs iir = ParseFilterArgs(
      {"-y", "-e", "100", "-g", "100", "-i", "0", "-o", "0", "in.wav", "out.wav"}, false);
  EXPECT_EQ(iir.effectPercent, 100);
  EXPECT_EQ(iir.fadeOutFrames, 0);
}

TEST(FilterArgs, OptionsInAnyOrderAndWithoutY) {
  const FilterArgs a = ParseFilterArgs({"-o", "2", "-e", "50", "-y", "in", "out"}, false);
  EXPECT_TRUE(a.overwrite);
  EXPECT_EQ(a.fadeOutFrames, 2);
  EXPECT_EQ(a.effectPercent, 50);
  EXPECT_FALSE(ParseFilterArgs({"in", "out"}, false).overwrite);
}

TEST(FilterArgs, QuotedPathWithBlankIsOneWord) {
  const FilterArgs a = ParseFilterArgs(
      {"-y", "-e", "100", "/d/my rec/EtcEnc/a_TMP1.wav", "/d/my rec/EtcEnc/a_TMP2.wav"}, false);
  EXPECT_EQ(a.input, "/d/my rec/EtcEnc/a_TMP1.wav");
  EXPECT_EQ(a.output, "/d/my rec/EtcEnc/a_TMP2.wav");
}

TEST(FilterArgs, DecimalValuesAreAccepted) {
  EXPECT_EQ(ParseFilterArgs({"-q", "12.5", "in", "out"}, true).quality, 12.5);
  EXPECT_EQ(ParseFilterArgs({"-e", "+7", "in", "out"}, true).effectPercent, 7);
}

struct BadLine {
  Words words;
  bool fir;
  const char* message;
};

class FilterArgsRejects : public ::testing::TestWithParam<BadLine> {};

TEST_P(FilterArgsRejects, WithAMessage) {
  try {
    ParseFilterArgs(GetParam().words, GetParam().fir);
    FAIL() << "accepted";
  } catch (const ToolError& e) {
    EXPECT_EQ(e.Kind(), ToolErrorKind::Usage);
    EXPECT_THAT(e.what(), HasSubstr(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FilterArgsRejects,
    ::testing::Values(
        // An empty E1 reaches the tool as " -q " and then the paths.
        BadLine{{"-y", "-q", "/d/a_TMP1.wav", "/d/a_TMP2.wav"}, true, "-q has an empty value"},
        BadLine{{"-y", "-q", "-e", "100", "in", "out"}, true, "-q has an empty value"},
        BadLine{{"-y", "-e", "-g", "100", "in", "out"}, false, "-e has an empty value"},
        BadLine{{"-y", "-q", "abc", "in", "out"}, true, "'abc' is not a number"},
        BadLine{{"-y", "-q", "1e2", "in", "out"}, true, "'1e2' is not a number"},
        BadLine{{"-y", "-g", "50%", "in", "out"}, false, "'50%' is not a number"},
        BadLine{{"-y", "-q", "1000", "in", "out"}, true, "out of range 0..999"},
        BadLine{{"-y", "-e", "-5", "in", "out"}, false, "out of range"},
        BadLine{{"-y", "-q", "200", "in", "out"}, false, "unknown option '-q'"},
        BadLine{{"-y", "-x", "in", "out"}, false, "unknown option '-x'"},
        // A path with a blank that was not quoted arrives in pieces.
        BadLine{{"-y", "-e", "100", "/d/my", "rec/a.wav", "/d/my", "rec/b.wav"},
                false,
                "must be quoted"},
        BadLine{{"in.wav"}, false, "usage"},
        BadLine{{"-y", "out.wav"}, false, "missing INPUT or OUTPUT"},
        BadLine{{"-y", "", "out.wav"}, false, "must not be empty"}));

TEST(NormalizeArgs, FrontEndLine) {
  const NormalizeArgs a = ParseNormalizeArgs(
      {"-m", "90", "-o", "/d/rec/EtcEnc/a_TMP3.wav", "/d/rec/EtcEnc/a_TMP2.wav"});
  EXPECT_EQ(a.ratioPercent, 90);
  EXPECT_EQ(a.output, "/d/rec/EtcEnc/a_TMP3.wav");
  EXPECT_EQ(a.input, "/d/rec/EtcEnc/a_TMP2.wav");
}

TEST(NormalizeArgs, QuotedPathsWithBlanks) {
  const NormalizeArgs a =
      ParseNormalizeArgs({"-m", "50.5", "-o", "/d/my rec/o.wav", "/d/my rec/i.wav"});
  EXPECT_EQ(a.ratioPercent, 50.5);
  EXPECT_EQ(a.input, "/d/my rec/i.wav");
}

TEST(NormalizeArgs, BadLinesAreRejected) {
  const std::vector<std::pair<Words, const char*>> cases = {
      {{"-m", "-o", "out", "in"}, "-m has an empty value"},
      {{"-m", "ninety", "-o", "out", "in"}, "'ninety' is not a number"},
      {{"-m", "101", "-o", "out", "in"}, "out of range 0..100"},
      {{"-m", "90", "in"}, "no output"},
      {{"-m", "90", "-o", "out"}, "no input"},
      {{"-m", "90", "-o", "out", "/d/my", "rec/in.wav"}, "must be quoted"},
      {{"-m", "90", "-z", "-o", "out", "in"}, "unknown option '-z'"},
  };
  for (const auto& [words, message] : cases) {
    try {
      ParseNormalizeArgs(words);
      ADD_FAILURE() << "accepted: " << ::testing::PrintToString(words);
    } catch (const ToolError& e) {
      EXPECT_THAT(e.what(), HasSubstr(message)) << ::testing::PrintToString(words);
    }
  }
}

}  // namespace
}  // namespace vorzik::tools
