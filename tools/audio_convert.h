#pragma once

// The streaming loop shared by the tools: a file (or the graph's own sources) through a
// filter graph into a file, a frame at a time, so memory does not grow with the length.
#include <cstdint>
#include <functional>
#include <string>

#include "tools/audio_stream.h"

namespace vorzik::tools {

struct AudioInfo {
  int sampleRate = 0;
  int channels = 0;
};

/// The graph text for an input, which may depend on its rate and channels.
using ChainFor = std::function<std::string(const AudioInfo& input)>;

struct ConvertOptions {
  OutputFormat output;
  bool overwrite = true;
  // Cut the output to the input's number of samples (for filters that add a tail).
  bool keepInputLength = false;
};

void Convert(const std::string& input, const std::string& output, const ChainFor& chain,
             const ConvertOptions& options);

/// Runs `input` through `chain` and shows every resulting frame to `onFrame`.
void Measure(const std::string& input, const std::string& chain,
             const std::function<void(const AVFrame&)>& onFrame);

int64_t CountSamples(const std::string& input);

/// Writes what the source filters in `graph` produce (e.g. "sine=f=440:d=2").
void Generate(const std::string& graph, const std::string& output, const OutputFormat& wanted,
              int sampleRate, int channels);

}  // namespace vorzik::tools
