// Maps the tools' options to libavfilter graph text; all signal work is done by the
// filters named here.
#include "tools/graph_text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/number_text.h"

namespace vorzik::tools {
namespace {

std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    text += (text.empty() ? "" : ",") + part;
  }
  return text.empty() ? "anull" : text;
}

// Everything runs in float so that a boost is limited instead of clipped on the way.
const char* kFloat = "aformat=sample_fmts=fltp";

std::string Limiter() {
  const double limit = std::pow(10.0, kLimitDbfs / 20.0);
  // level=0: no automatic make-up gain; latency=1: keep the signal in place in time.
  return "alimiter=limit=" + FormatNumber(limit) + ":attack=5:release=50:level=0:latency=1";
}

std::string Biquad(const char* name, double hz, double db) {
  return std::string(name) + "=f=" + FormatNumber(hz) + ":t=q:w=" + FormatNumber(kShelfQ) +
         ":g=" + FormatNumber(db);
}

// The shelf's magnitude as a firequalizer gain expression in dB over frequency f: the
// analog prototype of the biquad low shelf with the same corner and Q.
std::string FirShelf(double boostDb, double quality, int sampleRate) {
  const double a = std::pow(10.0, boostDb / 40.0);
  const std::string x = "pow(f/" + FormatNumber(kShelfCornerHz) + ",2)";
  const std::string k = FormatNumber(a / (kShelfQ * kShelfQ));
  const std::string as = FormatNumber(a);
  const std::string expr = "10*log(" + FormatNumber(a * a) + "*(pow(" + as + "-" + x + ",2)+" + k +
                           "*" + x + ")/(pow(1-" + as + "*" + x + ",2)+" + k + "*" + x +
                           "))/log(10)";
  // zero_phase moves the timestamps back by the filter's delay; atrim then drops the
  // samples that came out before the first input sample.
  // Its gain curve is sampled on at most 2^16 points, which bounds the accuracy in Hz.
  const double accuracy = std::max(1.0, sampleRate / 65536.0 * 1.01);
  return "firequalizer=gain='" + expr +
         "':delay=" + FormatNumber(FirDelaySeconds(quality, sampleRate)) +
         ":accuracy=" + FormatNumber(accuracy) + ":zero_phase=1,atrim=start=0";
}

// A boost of 0 dB changes nothing, whatever its shape: only the limiter follows it.
std::vector<std::string> BoostStages(const Boost& boost) {
  const double db = boost.decibels;
  if (db == 0) {
    return {};
  }
  switch (boost.shape) {
    case BoostShape::Flat:
      return {"volume=volume=" + FormatNumber(db) + "dB"};
    case BoostShape::LowShelf:
      return {Biquad("lowshelf", kShelfCornerHz, db)};
    case BoostShape::Loudness:
      return {Biquad("lowshelf", 100, db), Biquad("highshelf", 8000, db / 2)};
  }
  return {};
}

std::vector<std::string> Fades(const FilterArgs& args, int64_t totalSamples) {
  std::vector<std::string> parts;
  const auto in = static_cast<int64_t>(std::llround(args.fadeInFrames * kFadeFrameSamples));
  const auto out = static_cast<int64_t>(std::llround(args.fadeOutFrames * kFadeFrameSamples));
  if (in > 0) {
    parts.push_back("afade=t=in:ss=0:ns=" + std::to_string(in));
  }
  if (out > 0) {
    const int64_t length = std::min(out, totalSamples);
    parts.push_back("afade=t=out:ss=" + std::to_string(totalSamples - length) +
                    ":ns=" + std::to_string(std::max<int64_t>(length, 1)));
  }
  return parts;
}

}  // namespace

double FirDelaySeconds(double quality, int sampleRate) {
  // firequalizer convolves in blocks of at most 2^16 samples, each at least half a
  // filter long, so the filter stays under 43 690 taps.
  const double longest = 43000.0 / 2 / std::max(sampleRate, 1);
  return std::min(0.005 + quality * 0.0005, longest);
}

double ShelfResponseDb(double hz, double boostDb) {
  const double a = std::pow(10.0, boostDb / 40.0);
  const double x = (hz / kShelfCornerHz) * (hz / kShelfCornerHz);
  const double k = a / (kShelfQ * kShelfQ);
  const double num = (a - x) * (a - x) + k * x;
  const double den = (1 - a * x) * (1 - a * x) + k * x;
  return 10 * std::log10(a * a * num / den);
}

std::string BassCorrectionChain(const FilterArgs& args, bool fir, int sampleRate,
                                int64_t totalSamples) {
  std::vector<std::string> parts = {kFloat};
  for (std::string& fade : Fades(args, totalSamples)) {
    parts.push_back(fade);
  }
  // -e 0 is no shelf at all: a 0 dB one costs as much and at best changes nothing.
  const double boostDb = kShelfBoostDb * args.effectPercent / 100.0;
  if (boostDb != 0) {
    parts.push_back(fir ? FirShelf(boostDb, args.quality, sampleRate)
                        : Biquad("lowshelf", kShelfCornerHz, boostDb));
  }
  if (args.gainPercent != 100) {
    parts.push_back("volume=volume=" + FormatNumber(args.gainPercent / 100.0));
  }
  parts.push_back(Limiter());
  return Join(parts);
}

std::string BeSweetChain(const BeSweetArgs& args, int inputChannels) {
  std::vector<std::string> parts;
  // A mono source is copied into both channels at full level; more channels are mixed
  // down by the output format's conversion. The MP2 and AC3 blocks always write stereo.
  const bool stereo =
      args.twoChannels || args.encoder == Encoder::Mp2 || args.encoder == Encoder::Ac3;
  if (stereo && inputChannels == 1) {
    parts.push_back("pan=stereo|c0=c0|c1=c0");
  }
  if (args.gateDbfs || args.boost) {
    parts.push_back(kFloat);
  }
  if (args.gateDbfs) {
    const double threshold = std::pow(10.0, *args.gateDbfs / 20.0);
    parts.push_back("agate=threshold=" + FormatNumber(threshold) +
                    ":range=0.00003:ratio=9000:knee=1:attack=2:release=50:detection=rms");
  }
  if (args.boost) {
    for (std::string& stage : BoostStages(*args.boost)) {
      parts.push_back(stage);
    }
    parts.push_back(Limiter());
  }
  return Join(parts);
}

std::string PeakMeasureChain() {
  // astats works out all its figures again for every frame it tags, so it gets few and
  // long frames: an MP2 frame is only 1152 samples.
  return "asetnsamples=n=65536,aformat=sample_fmts=flt,astats=metadata=1:measure_perchannel=none:"
         "measure_overall=Max_level+Min_level";
}

std::string ScaleChain(double scale) {
  return "aformat=sample_fmts=flt,volume=volume=" + FormatNumber(scale) + ":precision=float";
}

}  // namespace vorzik::tools
