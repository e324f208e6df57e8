#include "pipeline/option_fragments.h"

#include <gtest/gtest.h>

namespace vorzik {
namespace {

OptionFragments Build(const ConversionSettings& s) {
  std::string boostSwitch;
  return BuildOptionFragments(s, boostSwitch);
}

TEST(OptionFragments, WindowDefaults) {
  OptionFragments f = Build(ConversionSettings{});
  EXPECT_EQ(f.filterOptions, " -q 200");
  EXPECT_EQ(f.encoderClause, " -mp2enc(  -b 224 -m s )");
  EXPECT_EQ(f.outputExtension, ".mp2");
  EXPECT_EQ(f.noiseGateClause, "");
  EXPECT_EQ(f.normaliseOptions, " -m 90");
}

ConversionSettings AllFilterItems(int variant) {
  ConversionSettings s;
  s.useQuality = s.useEffect = s.useGain = s.useFadeIn = s.useFadeOut = true;
  s.filterVariant = variant;
  return s;
}

TEST(OptionFragments, FilterItemsInFixedOrder) {
  EXPECT_EQ(Build(AllFilterItems(0)).filterOptions, " -q 200 -e 100 -g 100 -i 0 -o 0");
  // The IIR tool never gets a quality.
  EXPECT_EQ(Build(AllFilterItems(1)).filterOptions, " -e 100 -g 100 -i 0 -o 0");
  ConversionSettings s;
  s.useQuality = false;
  s.useFadeOut = true;
  s.fadeOut = "12";
  EXPECT_EQ(Build(s).filterOptions, " -o 12");
  s.useQuality = false;
  s.useFadeOut = false;
  EXPECT_EQ(Build(s).filterOptions, "");
}

TEST(OptionFragments, EncoderClauses) {
  struct Case {
    int mode;
    bool errorProtection, useBoost;
    std::string preset, level, clause, extension;
  } cases[] = {
      {0, false, false, "Ov", "3", " -mp2enc(  -b 224 -m s )", ".mp2"},
      {0, true, false, "Ov", "3", " -mp2enc(  -b 224 -m s -e )", ".mp2"},
      {1, false, false, "Ov", "3", " -ac3enc( -b 224 -m s )", ".ac3"},
      {1, true, false, "Ov", "3", " -ac3enc( -b 224 -m s )", ".ac3"},
      {1, false, true, "Ov", "3", " -boost( /b2=3db ) -ac3enc( -b 224 -m s )", ".ac3"},
      {1, false, true, "Brex", "10", " -boost( /b=10db ) -ac3enc( -b 224 -m s )", ".ac3"},
      {1, false, true, "Snal", "1", " -boost( /b3=1db ) -ac3enc( -b 224 -m s )", ".ac3"},
      {2, true, true, "Ov", "3", " -ogg( -q 4.00 )", ".ogg"},
  };
  for (const auto& c : cases) {
    ConversionSettings s;
    s.encodeMode = c.mode;
    s.errorProtection = c.errorProtection;
    s.useBoost = c.useBoost;
    s.boostPreset = c.preset;
    s.boostLevel = c.level;
    OptionFragments f = Build(s);
    EXPECT_EQ(f.encoderClause, c.clause);
    EXPECT_EQ(f.outputExtension, c.extension);
  }
}

TEST(OptionFragments, NoiseGateInEveryMode) {
  for (int mode : {0, 1, 2}) {
    ConversionSettings s;
    s.encodeMode = mode;
    s.useNoiseGate = true;
    EXPECT_EQ(Build(s).noiseGateClause, " -plugin( -name BS_NoiseGate.dll -func NoiseGate70 )");
  }
}

TEST(OptionFragments, TextsPassUnchecked) {
  ConversionSettings s;
  s.quality = "";
  EXPECT_EQ(Build(s).filterOptions, " -q ");
  s.quality = "abc";
  s.normaliseRatio = "9x";
  s.bitRate = "";
  OptionFragments f = Build(s);
  EXPECT_EQ(f.filterOptions, " -q abc");
  EXPECT_EQ(f.normaliseOptions, " -m 9x");
  EXPECT_EQ(f.encoderClause, " -mp2enc(  -b  -m s )");
}

TEST(OptionFragments, BoostSwitchLivesAcrossBatches) {
  std::string boostSwitch;
  ConversionSettings ac3;
  ac3.encodeMode = 1;
  ac3.useBoost = true;
  // Not presets: case matters, and a known name must be the whole text. Before any
  // known preset there is no opening to reuse: no boost block.
  for (const char* unknown : {"ov", "Ovx", "Bre"}) {
    ac3.boostPreset = unknown;
    EXPECT_EQ(BuildOptionFragments(ac3, boostSwitch).encoderClause, " -ac3enc( -b 224 -m s )")
        << unknown;
    EXPECT_EQ(boostSwitch, "") << unknown;
  }

  ac3.boostPreset = "Snal";
  EXPECT_EQ(BuildOptionFragments(ac3, boostSwitch).encoderClause,
            " -boost( /b3=3db ) -ac3enc( -b 224 -m s )");

  // An MP2 batch between leaves the choice alone.
  ConversionSettings mp2;
  BuildOptionFragments(mp2, boostSwitch);
  EXPECT_EQ(boostSwitch, " -boost( /b3=");

  // Afterwards an unknown preset reuses the last choice.
  ac3.boostPreset = "Zzz";
  ac3.boostLevel = "5";
  OptionFragments f = BuildOptionFragments(ac3, boostSwitch);
  EXPECT_EQ(f.encoderClause, " -boost( /b3=5db ) -ac3enc( -b 224 -m s )");
  EXPECT_EQ(f.boostSwitch, " -boost( /b3=");
}

}  // namespace
}  // namespace vorzik
