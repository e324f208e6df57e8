// vorzik-samples FOLDER [--odd-names]: writes short test signals for tests and demos.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/audio_convert.h"
#include "tools/av_support.h"
#include "tools/tool_error.h"

namespace {

using vorzik::tools::Encoder;
using vorzik::tools::OutputFormat;

struct Sample {
  const char* name;
  const char* expression;  // aevalsrc: one expression per channel, split by "|"
  int sampleRate;
  int channels;
  double seconds;
  Encoder encoder;
  int bitRateKbps;
};

const std::vector<Sample> kDefaultSet = {
    {"tone_440.wav", "0.5*sin(2*PI*440*t)|0.5*sin(2*PI*440*t)", 48000, 2, 3, Encoder::None, 0},
    {"bass_and_treble.wav",
     "0.2*sin(2*PI*50*t)+0.2*sin(2*PI*2000*t)|0.2*sin(2*PI*50*t)+0.2*sin(2*PI*2000*t)", 44100, 2, 3,
     Encoder::None, 0},
    // Exponential sweep from 20 Hz to 20 kHz over four seconds.
    {"sweep.mp2",
     "0.5*sin(2*PI*20*4/log(1000)*(exp(t*log(1000)/4)-1))|"
     "0.5*sin(2*PI*20*4/log(1000)*(exp(t*log(1000)/4)-1))",
     48000, 2, 4, Encoder::Mp2, 224},
    // A voiced buzz with a syllable rhythm.
    {"mono_speech_like.mpa",
     "0.2*(0.5+0.5*sin(2*PI*4*t))*(sin(2*PI*150*t)+0.5*sin(2*PI*300*t)+0.3*sin(2*PI*450*t)+"
     "0.2*sin(2*PI*900*t))",
     44100, 1, 3, Encoder::Mp2, 96},
    // Noise at -80 dBFS, a 1 kHz tone at -20 dBFS in the middle second, noise again.
    {"noise_gate_test.wav", "if(between(t,1,2),0.1*sin(2*PI*1000*t),0.0001*(2*random(0)-1))", 48000,
     1, 3, Encoder::None, 0},
};

const std::vector<Sample> kOddNames = {
    {"tone 440 copy.wav", "0.5*sin(2*PI*440*t)|0.5*sin(2*PI*440*t)", 48000, 2, 2, Encoder::None, 0},
    // Near full scale, so a boost must be limited.
    {"LOUD.WAV", "0.9*sin(2*PI*100*t)|0.9*sin(2*PI*100*t)", 48000, 2, 2, Encoder::None, 0},
};

void Write(const std::filesystem::path& folder, const Sample& s) {
  OutputFormat wanted;
  wanted.encoder = s.encoder;
  wanted.bitRateKbps = s.bitRateKbps;
  wanted.channels = s.channels;
  const std::string graph = std::string("aevalsrc='") + s.expression +
                            "':s=" + std::to_string(s.sampleRate) +
                            ":d=" + std::to_string(s.seconds);
  vorzik::tools::Generate(graph, (folder / s.name).string(), wanted, s.sampleRate, s.channels);
}

}  // namespace

int main(int argc, char** argv) {
  vorzik::tools::QuietFfmpegLog();
  const bool oddNames = argc == 3 && std::strcmp(argv[2], "--odd-names") == 0;
  if (argc < 2 || argc > 3 || (argc == 3 && !oddNames)) {
    std::fprintf(stderr, "usage: vorzik-samples FOLDER [--odd-names]\n");
    return vorzik::tools::kExitUsageError;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const Sample& s : kDefaultSet) {
      Write(folder, s);
    }
    for (const Sample& s : oddNames ? kOddNames : std::vector<Sample>{}) {
      Write(folder, s);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorzik-samples: %s\n", e.what());
    return vorzik::tools::kExitRuntimeError;
  }
  return 0;
}
