#pragma once

#include <string>

namespace vorzik {

/// The option values of the window, read once at the start of a batch. Texts
/// are passed on as typed: nothing is checked, converted or quoted.
struct ConversionSettings {
  std::string quality = "200";
  std::string effect = "100";
  std::string gain = "100";
  std::string fadeIn = "0";
  std::string fadeOut = "0";
  std::string normaliseRatio = "90";
  std::string oggQuality = "4.00";
  std::string bitRate = "224";
  std::string boostPreset = "Ov";
  std::string boostLevel = "3";
  std::string noiseGateLevel = "70";
  bool useQuality = true;
  bool useEffect = false;
  bool useGain = false;
  bool useFadeIn = false;
  bool useFadeOut = false;
  bool errorProtection = false;
  bool useBoost = false;
  bool useNoiseGate = false;
  int filterVariant = 0;  // 0 FIR, 1 IIR
  int encodeMode = 0;     // 0 MP2, 1 AC3, 2 Ogg Vorbis
};

/// The command-line pieces built from ConversionSettings.
struct OptionFragments {
  std::string filterOptions;
  std::string encoderClause;
  std::string outputExtension;
  std::string noiseGateClause;
  std::string normaliseOptions;
  std::string boostSwitch;
};

/// Builds the fragments. boostSwitch belongs to whoever lives as long as the
/// program (the form): an AC3 batch with boost and a known preset sets it, and
/// later batches with an unknown preset text reuse the last choice.
OptionFragments BuildOptionFragments(const ConversionSettings& settings, std::string& boostSwitch);

}  // namespace vorzik
