// The BeSweet.exe command line: a core block naming the files, then optional blocks for
// the encoder, the boost and the noise-gate plug-in, each closed by ")".
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "tools/number_text.h"
#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

using Words = std::vector<std::string>;

/// The words of one block, from after its opening word up to (not including) ")".
Words TakeBlock(const Words& words, size_t& i) {
  const std::string opening = words[i];
  Words block;
  for (++i; i < words.size(); ++i) {
    if (words[i] == ")") {
      return block;
    }
    block.push_back(words[i]);
  }
  throw UsageError(opening + " is not closed by )");
}

/// Value of an option inside a block; options inside blocks all start with "-" and a
/// letter, so a following option word means the value was left empty.
std::string BlockValue(const Words& block, size_t& i) {
  if (i + 1 >= block.size()) {
    return {};
  }
  const std::string& next = block[i + 1];
  if (next.size() > 1 && next[0] == '-' && std::isalpha(static_cast<unsigned char>(next[1]))) {
    return {};
  }
  return block[++i];
}

void ParseCore(const Words& block, BeSweetArgs& args) {
  bool haveInput = false;
  bool haveOutput = false;
  for (size_t i = 0; i < block.size(); ++i) {
    if (block[i] == "-input" && i + 1 < block.size()) {
      args.input = block[++i];
      haveInput = true;
    } else if (block[i] == "-output" && i + 1 < block.size()) {
      args.output = block[++i];
      haveOutput = true;
    } else if (block[i] == "-2ch") {
      args.twoChannels = true;
    } else {
      throw UsageError("-core( has an unexpected word '" + block[i] + "'");
    }
  }
  if (!haveInput || args.input.empty()) {
    throw UsageError("-core( needs -input \"FILE\"");
  }
  if (!haveOutput || args.output.empty()) {
    throw UsageError("-core( needs -output \"FILE\"");
  }
}

void SetEncoder(BeSweetArgs& args, Encoder encoder) {
  if (args.encoder != Encoder::None) {
    throw UsageError("more than one encoder block");
  }
  args.encoder = encoder;
}

int ParseBitRate(const std::string& text, const std::string& block, bool (*valid)(int)) {
  const double kbps = ParseNumber(text, 1, 9999, block + " -b");
  if (kbps != static_cast<int>(kbps) || !valid(static_cast<int>(kbps))) {
    throw UsageError(block + " bit rate " + text + " kbit/s is not one the encoder can write");
  }
  return static_cast<int>(kbps);
}

// -mp2enc( -b R -m s [-e] ) and -ac3enc( -b R -m s ): "-m s" is the stereo mode.
void ParseBitRateBlock(const Words& block, const std::string& name, bool mp2, BeSweetArgs& args) {
  bool haveRate = false;
  for (size_t i = 0; i < block.size(); ++i) {
    if (block[i] == "-b") {
      args.bitRateKbps =
          ParseBitRate(BlockValue(block, i), name, mp2 ? IsValidMp2BitRate : IsValidAc3BitRate);
      haveRate = true;
    } else if (block[i] == "-m") {
      const std::string mode = BlockValue(block, i);
      if (mode != "s") {
        throw UsageError(name + " -m " + (mode.empty() ? "has an empty value" : "'" + mode + "'") +
                         " (only s, stereo, is supported)");
      }
    } else if (block[i] == "-e" && mp2) {
      args.errorProtection = true;
    } else {
      throw UsageError(name + " has an unexpected word '" + block[i] + "'");
    }
  }
  if (!haveRate) {
    throw UsageError(name + " needs -b KBITS");
  }
}

void ParseOgg(const Words& block, BeSweetArgs& args) {
  for (size_t i = 0; i < block.size(); ++i) {
    if (block[i] != "-q") {
      throw UsageError("-ogg( has an unexpected word '" + block[i] + "'");
    }
    args.vorbisQuality = ParseNumber(BlockValue(block, i), -1, 10, "-ogg( -q");
  }
}

// "/b2=3db": the level may have been typed with blanks, so the block's words are joined.
void ParseBoost(const Words& block, BeSweetArgs& args) {
  std::string text;
  for (const std::string& word : block) {
    text += word;
  }
  static const std::array<std::pair<const char*, BoostShape>, 3> kPresets = {
      {{"/b=", BoostShape::Flat}, {"/b2=", BoostShape::LowShelf}, {"/b3=", BoostShape::Loudness}}};
  for (const auto& [prefix, shape] : kPresets) {
    const std::string p = prefix;
    if (text.compare(0, p.size(), p) != 0) {
      continue;
    }
    std::string level = text.substr(p.size());
    if (level.size() < 2 ||
        (level.substr(level.size() - 2) != "db" && level.substr(level.size() - 2) != "dB")) {
      throw UsageError("-boost( level '" + level + "' must end in db");
    }
    level.resize(level.size() - 2);
    args.boost = Boost{shape, ParseNumber(level, -30, 30, "-boost( level")};
    return;
  }
  throw UsageError("-boost( needs /b=, /b2= or /b3= followed by the level, e.g. /b2=3db");
}

void ParsePlugin(const Words& block, BeSweetArgs& args) {
  if (block.size() != 4 || block[0] != "-name" || block[2] != "-func") {
    throw UsageError("-plugin( needs -name BS_NoiseGate.dll -func NoiseGateNN");
  }
  if (block[1] != "BS_NoiseGate.dll") {
    throw UsageError("unknown plug-in '" + block[1] + "'");
  }
  const std::string prefix = "NoiseGate";
  if (block[3].compare(0, prefix.size(), prefix) != 0) {
    throw UsageError("unknown plug-in function '" + block[3] + "'");
  }
  args.gateDbfs = -ParseNumber(block[3].substr(prefix.size()), 1, 120, "NoiseGate level");
}

void ParseBlock(const Words& words, size_t& i, BeSweetArgs& args) {
  const std::string name = words[i];
  const Words block = TakeBlock(words, i);
  if (name == "-mp2enc(") {
    SetEncoder(args, Encoder::Mp2);
    ParseBitRateBlock(block, name, true, args);
  } else if (name == "-ac3enc(") {
    SetEncoder(args, Encoder::Ac3);
    ParseBitRateBlock(block, name, false, args);
  } else if (name == "-ogg(") {
    SetEncoder(args, Encoder::Vorbis);
    ParseOgg(block, args);
  } else if (name == "-boost(") {
    ParseBoost(block, args);
  } else {
    ParsePlugin(block, args);
  }
}

bool IsBlockName(const std::string& word) {
  for (const char* name : {"-mp2enc(", "-ac3enc(", "-ogg(", "-boost(", "-plugin("}) {
    if (word == name) {
      return true;
    }
  }
  return false;
}

bool EndsWithDb(const std::string& word) {
  return word.size() >= 2 &&
         (word.substr(word.size() - 2) == "db" || word.substr(word.size() - 2) == "dB");
}

}  // namespace

bool IsValidMp2BitRate(int kbps) {
  // The rates MPEG-1 layer II has for two channels: "-m s" is the only mode, and 32, 48,
  // 56 and 80 kbit/s exist for one channel only, which the encoder would refuse late
  // and in words of its own.
  static const int kRates[] = {64, 96, 112, 128, 160, 192, 224, 256, 320, 384};
  return std::find(std::begin(kRates), std::end(kRates), kbps) != std::end(kRates);
}

bool IsValidAc3BitRate(int kbps) {
  static const int kRates[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                               192, 224, 256, 320, 384, 448, 512, 576, 640};
  return std::find(std::begin(kRates), std::end(kRates), kbps) != std::end(kRates);
}

BeSweetArgs ParseBeSweetArgs(const Words& words) {
  if (words.empty() || words[0] != "-core(") {
    throw UsageError("usage: -core( -input \"IN\" -output \"OUT\" [-2ch] ) [blocks]");
  }
  BeSweetArgs args;
  size_t i = 0;
  ParseCore(TakeBlock(words, i), args);
  for (++i; i < words.size(); ++i) {
    if (IsBlockName(words[i])) {
      ParseBlock(words, i, args);
    } else if (EndsWithDb(words[i])) {
      throw UsageError("boost level '" + words[i] + "' has no preset (/b=, /b2= or /b3=)");
    } else {
      throw UsageError("unexpected word '" + words[i] + "'");
    }
  }
  return args;
}

}  // namespace vorzik::tools
