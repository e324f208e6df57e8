#pragma once

#include <cstdint>
#include <string>

#include "tools/tool_args.h"

namespace vorzik::tools {

// The bass correction: a low shelf around this corner, boosting by this much at full
// effect (-e 100). Both filter tools share the magnitude of a second-order shelf with
// this Q; the FIR tool reaches it with linear phase, the IIR tool with a biquad.
constexpr double kShelfCornerHz = 150;
constexpr double kShelfBoostDb = 12;
constexpr double kShelfQ = 0.70710678118654752;
// Nothing leaves a tool that boosts louder than this.
constexpr double kLimitDbfs = -0.1;
constexpr int kFadeFrameSamples = 1152;

/// Half the FIR length in seconds for -q at a sample rate; longer filters follow the
/// shelf more closely, up to the longest firequalizer can run at that rate.
double FirDelaySeconds(double quality, int sampleRate);

/// The shelf's magnitude in dB at `hz` for a boost of `boostDb`.
double ShelfResponseDb(double hz, double boostDb);

/// Filter graph text (between the source and the output format) for the bass tools.
/// `totalSamples` is only needed when there is a fade-out.
std::string BassCorrectionChain(const FilterArgs& args, bool fir, int sampleRate,
                                int64_t totalSamples);

/// Filter graph text for BeSweet.exe: channel handling, noise gate and boost.
std::string BeSweetChain(const BeSweetArgs& args, int inputChannels);

/// The normaliser's two passes: measuring the peak, then scaling by `scale`.
std::string PeakMeasureChain();
std::string ScaleChain(double scale);

}  // namespace vorzik::tools
