#include "pipeline/option_fragments.h"

namespace vorzik {

namespace {

std::string FilterOptions(const ConversionSettings& s) {
  if (s.filterVariant != 0 && s.filterVariant != 1)
    return {};
  std::string options;
  // The IIR tool has no quality option.
  if (s.filterVariant == 0 && s.useQuality)
    options += " -q " + s.quality;
  if (s.useEffect)
    options += " -e " + s.effect;
  if (s.useGain)
    options += " -g " + s.gain;
  if (s.useFadeIn)
    options += " -i " + s.fadeIn;
  if (s.useFadeOut)
    options += " -o " + s.fadeOut;
  return options;
}

// Sets boostSwitch from an exact preset name; other text leaves it alone.
void ChooseBoostSwitch(const std::string& preset, std::string& boostSwitch) {
  if (preset == "Brex") {
    boostSwitch = " -boost( /b=";
  } else if (preset == "Ov") {
    boostSwitch = " -boost( /b2=";
  } else if (preset == "Snal") {
    boostSwitch = " -boost( /b3=";
  }
}

}  // namespace

OptionFragments BuildOptionFragments(const ConversionSettings& s, std::string& boostSwitch) {
  OptionFragments f;
  const std::string rateItem = " -b " + s.bitRate + " -m s";
  const std::string levelItem = s.boostLevel + "db )";
  f.normaliseOptions = " -m " + s.normaliseRatio;
  f.filterOptions = FilterOptions(s);

  switch (s.encodeMode) {
    case 0:
      f.outputExtension = ".mp2";
      f.encoderClause = " -mp2enc( " + rateItem + (s.errorProtection ? " -e )" : " )");
      break;
    case 1: {
      std::string block = " -ac3enc(";
      if (s.useBoost) {
        ChooseBoostSwitch(s.boostPreset, boostSwitch);
        // Before any known preset was chosen there is no boost opening to put
        // the level behind; a block beginning with the level alone would be
        // garbage to the encoder, so the boost is left out.
        if (!boostSwitch.empty())
          block = boostSwitch + levelItem + block;
      }
      f.outputExtension = ".ac3";
      f.encoderClause = block + rateItem + " )";
      break;
    }
    case 2:
      f.outputExtension = ".ogg";
      f.encoderClause = " -ogg( -q " + s.oggQuality + " )";
      break;
    default:
      break;
  }

  if (s.useNoiseGate) {
    f.noiseGateClause =
        " -plugin( -name BS_NoiseGate.dll -func NoiseGate" + s.noiseGateLevel + " )";
  }
  f.boostSwitch = boostSwitch;
  return f;
}

}  // namespace vorzik
