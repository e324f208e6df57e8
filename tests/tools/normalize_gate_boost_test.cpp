// The normaliser, and BeSweet's noise gate and boost, measured on their output samples.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "audio_check.h"
#include "run_tool.h"
#include "tests/support/temp_dir.h"

namespace vorzik::tools::testing {
namespace {

constexpr int kRate = 48000;

class Normalize : public ::testing::TestWithParam<double> {};

TEST_P(Normalize, PeakLandsOnTheRatio) {
  vorzik::testing::TempDir dir;
  Pcm in = MakeTones({{440, 0.3}, {1234, 0.1}}, 1.0);
  in.channels[1][777] = -0.61;  // the peak sits in one channel only
  WriteWav(dir / "in.wav", in);
  const double ratio = GetParam();
  const ToolRun run = RunTool("normalize.exe",
                              {"-m", std::to_string(ratio), "-o", dir / "out.wav", dir / "in.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  const Pcm out = ReadWav(dir / "out.wav");
  ASSERT_EQ(out.frames(), in.frames());
  const double peak = std::max(Peak(out.channels[0]), Peak(out.channels[1]));
  EXPECT_NEAR(peak * 100, ratio, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Ratios, Normalize, ::testing::Values(90.0, 50.0, 100.0, 12.5));

TEST(NormalizeSilence, SilentInputStaysSilent) {
  vorzik::testing::TempDir dir;
  WriteWav(dir / "in.wav", MakeTones({}, 0.5));
  const ToolRun run = RunTool("normalize.exe", {"-m", "90", "-o", dir / "out.wav", dir / "in.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  EXPECT_EQ(Peak(ReadWav(dir / "out.wav").channels.at(0)), 0.0);
}

/// One second of noise at `noiseDbfs`, one second of a 1 kHz tone at -20 dBFS, one
/// second of noise again.
Pcm NoiseToneNoise(double noiseDbfs) {
  Pcm pcm = MakeTones({}, 3.0, kRate, 1);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> uniform(-1, 1);
  const double noise = std::pow(10.0, noiseDbfs / 20) * std::sqrt(3.0);  // uniform: RMS = a/sqrt3
  for (size_t n = 0; n < pcm.frames(); ++n) {
    const bool tone = n >= size_t(kRate) && n < size_t(2 * kRate);
    pcm.channels[0][n] =
        tone ? 0.1 * std::sin(2 * M_PI * 1000 * double(n) / kRate) : noise * uniform(random);
  }
  return pcm;
}

struct GateCase {
  const char* encoderBlock;  // empty: the gate alone, into a WAV
  const char* outputName;
};

class NoiseGate : public ::testing::TestWithParam<GateCase> {};

TEST_P(NoiseGate, SilencesNoiseBelowItsLevelAndPassesATone) {
  vorzik::testing::TempDir dir;
  const Pcm in = NoiseToneNoise(-80);
  WriteWav(dir / "in.wav", in);
  std::vector<std::string> args = {
      "-core(", "-input", dir / "in.wav", "-output", dir / GetParam().outputName, ")"};
  if (*GetParam().encoderBlock) {
    for (const char* w : {"-mp2enc(", "-b", "224", "-m", "s", ")"}) {
      args.push_back(w);
    }
  }
  for (const char* w : {"-plugin(", "-name", "BS_NoiseGate.dll", "-func", "NoiseGate70", ")"}) {
    args.push_back(w);
  }
  ToolRun run = RunTool("BeSweet.exe", args);
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  std::string wav = dir / GetParam().outputName;
  if (*GetParam().encoderBlock) {
    wav = dir / "decoded.wav";
    run = RunTool("BeSweet.exe",
                  {"-core(", "-input", dir / GetParam().outputName, "-output", wav, ")"});
    ASSERT_EQ(run.exitCode, 0) << run.errorText;
  }
  const Pcm out = ReadWav(wav);
  ASSERT_FALSE(out.channels.empty());
  const std::vector<double>& x = out.channels[0];
  // Noise well after the tone (past the release) and before it.
  EXPECT_LT(Db(Rms(x, 2 * kRate + 9600, 24000)), -110);
  EXPECT_LT(Db(Rms(x, 9600, 24000)), -110);
  EXPECT_NEAR(Db(ToneAmplitude(x, 1000, kRate, kRate + 9600, 24000) / 0.1), 0.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Outputs, NoiseGate,
                         ::testing::Values(GateCase{"", "gated.wav"}, GateCase{"mp2", "gated.mp2"}),
                         [](const auto& info) {
                           return std::string(*info.param.encoderBlock ? "Mp2" : "Wav");
                         });

TEST(NoiseGate, LeavesNoiseAboveItsLevel) {
  vorzik::testing::TempDir dir;
  const Pcm in = NoiseToneNoise(-50);
  WriteWav(dir / "in.wav", in);
  const ToolRun run = RunTool(
      "BeSweet.exe", {"-core(", "-input", dir / "in.wav", "-output", dir / "out.wav", ")",
                      "-plugin(", "-name", "BS_NoiseGate.dll", "-func", "NoiseGate70", ")"});
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  const Pcm out = ReadWav(dir / "out.wav");
  EXPECT_NEAR(Db(Rms(out.channels.at(0), 9600, 24000) / Rms(in.channels[0], 9600, 24000)), 0.0,
              0.5);
}

/// Gain of the boost at each frequency, through a WAV output.
std::vector<double> BoostGainsDb(const std::string& preset, const std::vector<double>& tones) {
  vorzik::testing::TempDir dir;
  std::vector<Tone> mix;
  for (double hz : tones) {
    mix.push_back({hz, 0.02});
  }
  WriteWav(dir / "in.wav", MakeTones(mix, 1.0));
  const ToolRun run = RunTool("BeSweet.exe", {"-core(", "-input", dir / "in.wav", "-output",
                                              dir / "out.wav", ")", "-boost(", preset, ")"});
  EXPECT_EQ(run.exitCode, 0) << run.errorText;
  const Pcm out = ReadWav(dir / "out.wav");
  std::vector<double> gains;
  for (double hz : tones) {
    gains.push_back(Db(ToneAmplitude(out.channels.at(0), hz, kRate, 12000, 24000) / 0.02));
  }
  return gains;
}

TEST(Boost, ThreeShapes) {
  const std::vector<double> tones = {50, 1000, 12000};
  const std::vector<double> flat = BoostGainsDb("/b=6db", tones);
  for (double gain : flat) {
    EXPECT_NEAR(gain, 6.0, 0.1);
  }
  const std::vector<double> shelf = BoostGainsDb("/b2=6db", tones);
  EXPECT_NEAR(shelf[0], 6.0, 0.5);
  EXPECT_NEAR(shelf[1], 0.0, 0.2);
  EXPECT_NEAR(shelf[2], 0.0, 0.1);
  const std::vector<double> loudness = BoostGainsDb("/b3=6db", tones);
  EXPECT_NEAR(loudness[0], 6.0, 1.0);
  EXPECT_LT(std::fabs(loudness[1]), 0.5);
  // The treble shelf lifts by half the level: near 3 dB at 12 kHz, well above
  // its 8 kHz corner.
  EXPECT_NEAR(loudness[2], 3.0, 0.6);
}

TEST(Boost, LoudSourceIsLimited) {
  vorzik::testing::TempDir dir;
  WriteWav(dir / "in.wav", MakeTones({{1000, 0.8}}, 1.0));
  const ToolRun run = RunTool("BeSweet.exe", {"-core(", "-input", dir / "in.wav", "-output",
                                              dir / "out.wav", ")", "-boost(", "/b=12db", ")"});
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  const double peak = Peak(ReadWav(dir / "out.wav").channels.at(0));
  EXPECT_LE(peak, std::pow(10.0, -0.1 / 20) + 2.0 / 32768);
  EXPECT_GT(peak, 0.9);
}

struct NeutralCase {
  const char* name;
  const char* program;
  std::vector<std::string> options;  // before the paths; "IN" and "OUT" stand for them
};

class NeutralSettings : public ::testing::TestWithParam<NeutralCase> {};

// No shelf and no boost: a signal below the limiter's level comes out sample for sample.
TEST_P(NeutralSettings, PassAQuietSignalUntouched) {
  vorzik::testing::TempDir dir;
  WriteWav(dir / "in.wav", MakeTones({{50, 0.3}, {1000, 0.2}, {9000, 0.1}}, 1.0));
  std::vector<std::string> args;
  for (const std::string& word : GetParam().options) {
    args.push_back(word == "IN" ? dir / "in.wav" : word == "OUT" ? dir / "out.wav" : word);
  }
  const ToolRun run = RunTool(GetParam().program, args);
  ASSERT_EQ(run.exitCode, 0) << run.errorText;
  const Pcm in = ReadWav(dir / "in.wav");
  const Pcm out = ReadWav(dir / "out.wav");
  ASSERT_EQ(out.channels.size(), in.channels.size());
  for (size_t c = 0; c < in.channels.size(); ++c) {
    EXPECT_EQ(out.channels[c], in.channels[c]) << "channel " << c;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tools, NeutralSettings,
    ::testing::Values(
        NeutralCase{"Iir", "ql7rziir.exe", {"-y", "-e", "0", "-g", "100", "IN", "OUT"}},
        NeutralCase{"Fir", "ql7rzfir.exe", {"-y", "-q", "200", "-e", "0", "IN", "OUT"}},
        NeutralCase{"FlatBoost",
                    "BeSweet.exe",
                    {"-core(", "-input", "IN", "-output", "OUT", ")", "-boost(", "/b=0db", ")"}},
        NeutralCase{"ShelfBoost",
                    "BeSweet.exe",
                    {"-core(", "-input", "IN", "-output", "OUT", ")", "-boost(", "/b2=0db", ")"}},
        NeutralCase{"LoudnessBoost",
                    "BeSweet.exe",
                    {"-core(", "-input", "IN", "-output", "OUT", ")", "-boost(", "/b3=0db", ")"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorzik::tools::testing
