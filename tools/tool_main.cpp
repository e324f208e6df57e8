#include "tools/tool_main.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "tools/audio_convert.h"
#include "tools/graph_text.h"
#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

double MetadataValue(const AVFrame& frame, const char* key, double fallback) {
  const AVDictionaryEntry* entry = av_dict_get(frame.metadata, key, nullptr, 0);
  return entry ? std::atof(entry->value) : fallback;
}

/// The largest sample magnitude of a file, full scale being 1.
double MeasurePeak(const std::string& input) {
  double peak = 0;
  Measure(input, PeakMeasureChain(), [&](const AVFrame& frame) {
    // The statistics run over the whole file so far; the last frame's are the file's.
    const double high = MetadataValue(frame, "lavfi.astats.Overall.Max_level", 0);
    const double low = MetadataValue(frame, "lavfi.astats.Overall.Min_level", 0);
    peak = std::max(std::fabs(high), std::fabs(low));
  });
  return peak;
}

}  // namespace

void RunBassCorrection(const Words& words, bool fir) {
  const FilterArgs args = ParseFilterArgs(words, fir);
  const int64_t total = args.fadeOutFrames > 0 ? CountSamples(args.input) : 0;
  ConvertOptions options;
  options.overwrite = args.overwrite;
  options.keepInputLength = true;
  Convert(
      args.input, args.output,
      [&](const AudioInfo& in) { return BassCorrectionChain(args, fir, in.sampleRate, total); },
      options);
}

void RunNormalize(const Words& words) {
  const NormalizeArgs args = ParseNormalizeArgs(words);
  const double peak = MeasurePeak(args.input);
  // A silent file stays silent rather than being scaled by infinity.
  const double scale = peak > 0 ? args.ratioPercent / 100.0 / peak : 1.0;
  Convert(
      args.input, args.output, [&](const AudioInfo&) { return ScaleChain(scale); },
      ConvertOptions{});
}

void RunBeSweet(const Words& words) {
  const BeSweetArgs args = ParseBeSweetArgs(words);
  ConvertOptions options;
  options.output.encoder = args.encoder;
  options.output.bitRateKbps = args.bitRateKbps;
  options.output.errorProtection = args.errorProtection;
  options.output.vorbisQuality = args.vorbisQuality;
  options.output.channels = args.twoChannels ? 2 : 0;
  Convert(
      args.input, args.output, [&](const AudioInfo& in) { return BeSweetChain(args, in.channels); },
      options);
}

int RunTool(const char* name, int argc, char** argv, void (*work)(const Words&)) {
  QuietFfmpegLog();
  try {
    work(Words(argv + 1, argv + argc));
    return 0;
  } catch (const ToolError& e) {
    std::fprintf(stderr, "%s: %s\n", name, e.what());
    return e.Kind() == ToolErrorKind::Usage ? kExitUsageError : kExitRuntimeError;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: out of memory\n", name);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", name, e.what());
  } catch (...) {
    std::fprintf(stderr, "%s: unexpected failure\n", name);
  }
  return kExitRuntimeError;
}

}  // namespace vorzik::tools
