// The bass-correction filters measured on their output samples.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/audio_check.h"
#include "tests/tools/run_tool.h"
#include "tools/graph_text.h"

namespace vorzik::tools::testing {
namespace {

constexpr int kRate = 48000;
// Measured away from the edges, over a whole number of cycles of every even-Hz tone.
constexpr size_t kFrom = 12000;
constexpr size_t kCount = 24000;
// The documented figures, written out here so that a wrong constant in the tools
// cannot move the expectation with it.
constexpr double kFullEffectDb = 12;  // well below the corner, at -e 100
constexpr double kCornerHz = 150;     // where a second-order shelf gives half its boost
constexpr double kCeilingDbfs = -0.1;

struct Variant {
  const char* program;
  std::vector<std::string> fullEffect;
};

class BassCorrection : public ::testing::TestWithParam<Variant> {
 protected:
  /// Filters `in` with the given options and returns the output.
  Pcm Filter(const Pcm& in, std::vector<std::string> options) {
    WriteWav(dir_ / "in.wav", in);
    options.insert(options.begin(), "-y");
    options.push_back(dir_ / "in.wav");
    options.push_back(dir_ / "out.wav");
    const ToolRun run = RunTool(GetParam().program, options);
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    return ReadWav(dir_ / "out.wav");
  }
  double GainDb(const Pcm& in, const Pcm& out, double hz) {
    return Db(ToneAmplitude(out.channels.at(0), hz, kRate, kFrom, kCount) /
              ToneAmplitude(in.channels.at(0), hz, kRate, kFrom, kCount));
  }

  vorzik::testing::TempDir dir_;
};

TEST_P(BassCorrection, FullEffectBoostsBassByTheShelfAndLeavesTreble) {
  const Pcm in = MakeTones({{50, 0.05}, {kCornerHz, 0.05}, {2000, 0.05}}, 1.0);
  const Pcm out = Filter(in, GetParam().fullEffect);
  ASSERT_EQ(out.channels.size(), 2u);
  EXPECT_EQ(out.Frames(), in.Frames());
  EXPECT_NEAR(GainDb(in, out, 50), kFullEffectDb, 0.5);
  EXPECT_NEAR(GainDb(in, out, kCornerHz), kFullEffectDb / 2, 0.5);
  EXPECT_NEAR(GainDb(in, out, 2000), 0.0, 0.5);
}

TEST_P(BassCorrection, NoEffectLeavesTheSignal) {
  const Pcm in = MakeTones({{50, 0.1}, {1000, 0.1}, {6000, 0.1}}, 1.0);
  const Pcm out = Filter(in, {"-e", "0"});
  for (double hz : {50.0, 1000.0, 6000.0}) {
    EXPECT_NEAR(GainDb(in, out, hz), 0.0, 0.1) << hz << " Hz";
  }
  EXPECT_NEAR(Db(Rms(out.channels[1], kFrom, kCount) / Rms(in.channels[1], kFrom, kCount)), 0.0,
              0.1);
}

TEST_P(BassCorrection, GainScalesTheOutput) {
  const Pcm in = MakeTones({{1000, 0.2}}, 1.0);
  const Pcm out = Filter(in, {"-e", "0", "-g", "50"});
  EXPECT_NEAR(GainDb(in, out, 1000), Db(0.5), 0.1);
}

TEST_P(BassCorrection, LoudBassIsLimitedNotClipped) {
  const Pcm in = MakeTones({{50, 0.9}}, 1.0);
  const Pcm out = Filter(in, GetParam().fullEffect);
  const double limit = std::pow(10.0, kCeilingDbfs / 20);
  for (const auto& channel : out.channels) {
    EXPECT_LE(Peak(channel), limit + 2.0 / 32768);
    // Limited to the ceiling, not turned down below it.
    EXPECT_GT(Db(Peak(channel)), kCeilingDbfs - 0.05);
  }
}

TEST_P(BassCorrection, FadesStartAndEndInSilenceOverTheGivenFrames) {
  const Pcm in = MakeTones({{1000, 0.5}}, 1.0);
  std::vector<std::string> options = {"-e", "0", "-i", "4", "-o", "2"};
  const Pcm out = Filter(in, options);
  ASSERT_EQ(out.Frames(), in.Frames());
  const std::vector<double>& x = out.channels[0];
  const double full = Rms(in.channels[0], kFrom, kCount);
  const size_t fadeIn = 4 * 1152;
  const size_t fadeOut = 2 * 1152;
  // A linear fade: over its first and last fiftieth the level stays near 1/50/sqrt(3).
  EXPECT_LT(std::fabs(x.front()), 0.005);
  EXPECT_LT(Rms(x, 0, fadeIn / 50), 0.02 * full);
  EXPECT_NEAR(Rms(x, fadeIn / 2 - 48, 96) / full, 0.5, 0.05);  // halfway up
  EXPECT_NEAR(Db(Rms(x, fadeIn, 960) / full), 0.0, 0.1);       // full from then on
  EXPECT_NEAR(Db(Rms(x, x.size() - fadeOut - 960, 960) / full), 0.0, 0.1);
  EXPECT_NEAR(Rms(x, x.size() - fadeOut / 2 - 48, 96) / full, 0.5, 0.05);
  EXPECT_LT(Rms(x, x.size() - fadeOut / 50, fadeOut / 50), 0.02 * full);
  EXPECT_LT(std::fabs(x.back()), 0.005);
}

INSTANTIATE_TEST_SUITE_P(Tools, BassCorrection,
                         ::testing::Values(Variant{"ql7rzfir.exe", {"-q", "200", "-e", "100"}},
                                           Variant{"ql7rziir.exe", {"-e", "100"}}),
                         [](const auto& info) {
                           return std::string(info.param.program).substr(0, 8);
                         });

TEST_P(BassCorrection, OutputIsNotDelayed) {
  Pcm in = MakeTones({}, 0.5);
  const size_t at = 10000;
  in.channels[0][at] = in.channels[1][at] = 0.5;
  const Pcm out = Filter(in, GetParam().fullEffect);
  const std::vector<double>& x = out.channels.at(0);
  size_t peak = 0;
  for (size_t n = 0; n < x.size(); ++n) {
    peak = std::fabs(x[n]) > std::fabs(x[peak]) ? n : peak;
  }
  // Linear phase puts the impulse's centre exactly in place; the biquad's response
  // starts there and peaks within a few samples.
  if (std::string(GetParam().program) == "ql7rzfir.exe") {
    EXPECT_EQ(peak, at);
  } else {
    EXPECT_GE(peak, at);
    EXPECT_LE(peak, at + 8);
  }
}

TEST(FirQuality, EveryQualityRunsAtCommonRates) {
  vorzik::testing::TempDir dir;
  for (int rate : {22050, 48000, 96000}) {
    const Pcm in = MakeTones({{1000, 0.2}}, 0.3, rate);
    WriteWav(dir / "in.wav", in);
    for (const char* q : {"0", "999"}) {
      const ToolRun run =
          RunTool("ql7rzfir.exe", {"-y", "-q", q, "-o", "1", dir / "in.wav", dir / "out.wav"});
      ASSERT_EQ(run.exitCode, 0) << rate << " Hz, -q " << q << ": " << run.errorText;
      const Pcm out = ReadWav(dir / "out.wav");
      EXPECT_EQ(out.Frames(), in.Frames()) << rate << " Hz, -q " << q;
      EXPECT_EQ(out.sampleRate, rate);
    }
  }
}

/// Largest distance of the measured response from the shelf over tones around the corner.
double ShelfDeviationDb(int quality) {
  vorzik::testing::TempDir dir;
  const std::vector<double> tones = {40, 80, 120, 150, 200, 300, 500, 1000};
  std::vector<Tone> mix;
  for (double hz : tones) {
    mix.push_back({hz, 0.02});
  }
  const Pcm in = MakeTones(mix, 1.0, kRate, 1);
  WriteWav(dir / "in.wav", in);
  const ToolRun run = RunTool(
      "ql7rzfir.exe", {"-y", "-q", std::to_string(quality), dir / "in.wav", dir / "out.wav"});
  EXPECT_EQ(run.exitCode, 0) << run.errorText;
  const Pcm out = ReadWav(dir / "out.wav");
  double worst = 0;
  for (double hz : tones) {
    const double gain = Db(ToneAmplitude(out.channels.at(0), hz, kRate, kFrom, kCount) / 0.02);
    worst = std::max(worst, std::fabs(gain - ShelfResponseDb(hz, kFullEffectDb)));
  }
  return worst;
}

TEST(FirQuality, HigherQualityGivesSmallerRipple) {
  const double low = ShelfDeviationDb(10);
  const double mid = ShelfDeviationDb(100);
  const double high = ShelfDeviationDb(300);
  EXPECT_GT(low, mid);
  EXPECT_GT(mid, high);
  EXPECT_LT(high, 0.5);
}

}  // namespace
}  // namespace vorzik::tools::testing
