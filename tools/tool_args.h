#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorzik::tools {

/// Options of the bass-correction filters, as the front end passes them after "-y".
struct FilterArgs {
  bool overwrite = false;      // -y
  double quality = 200;        // -q, FIR only: filter length and smoothness
  double effectPercent = 100;  // -e, 100 = full shelf boost
  double gainPercent = 100;    // -g, output volume, 100 = unity
  double fadeInFrames = 0;     // -i, frames of 1152 samples
  double fadeOutFrames = 0;    // -o, frames of 1152 samples
  std::string input;
  std::string output;
};

/// `fir` selects the FIR tool's grammar, which alone knows -q.
FilterArgs ParseFilterArgs(const std::vector<std::string>& words, bool fir);

struct NormalizeArgs {
  double ratioPercent = 100;  // -m, target peak in percent of full scale
  std::string input;
  std::string output;
};

NormalizeArgs ParseNormalizeArgs(const std::vector<std::string>& words);

enum class Encoder { None, Mp2, Ac3, Vorbis };
enum class BoostShape { Flat, LowShelf, Loudness };

struct Boost {
  BoostShape shape = BoostShape::Flat;
  double decibels = 0;
};

/// Everything BeSweet.exe understands: the core block and the blocks after it.
struct BeSweetArgs {
  std::string input;
  std::string output;
  bool twoChannels = false;  // -2ch
  Encoder encoder = Encoder::None;
  int bitRateKbps = 0;           // -b of -mp2enc( and -ac3enc(
  bool errorProtection = false;  // -e of -mp2enc(
  double vorbisQuality = 3;      // -q of -ogg(
  std::optional<Boost> boost;
  std::optional<double> gateDbfs;  // NoiseGateNN: gate below -NN dBFS
};

BeSweetArgs ParseBeSweetArgs(const std::vector<std::string>& words);

/// Bit rates the two encoders can write at 32, 44.1 and 48 kHz.
bool IsValidMp2BitRate(int kbps);
bool IsValidAc3BitRate(int kbps);

}  // namespace vorzik::tools
