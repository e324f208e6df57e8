#pragma once

// The three stages every tool streams through: decode, filter graph, encode.
#include <cstdint>
#include <memory>
#include <string>

#include "tools/av_support.h"
#include "tools/filter_library.h"
#include "tools/tool_args.h"

namespace vorzik::tools {

/// Reads the first audio stream of a file and hands out decoded frames one by one.
class AudioDecoder {
 public:
  explicit AudioDecoder(const std::string& path);
  /// Fills `frame` with the next decoded frame; false at the end of the stream.
  bool Next(AVFrame* frame);
  const AVCodecContext& Context() const { return *codec_; }
  /// Packets the decoder refused so far.
  int Damaged() const { return damaged_; }

 private:
  std::string path_;
  InputContextPtr format_;
  CodecContextPtr codec_;
  PacketPtr packet_;
  int stream_ = -1;
  bool draining_ = false;
  int damaged_ = 0;
};

/// What the end of a filter graph must deliver; an empty format leaves it as it is.
struct SinkFormat {
  std::string sampleFormat;  // e.g. "s16", "fltp"
  int sampleRate = 0;
  std::string channelLayout;  // e.g. "stereo"
  int frameSize = 0;          // 0: any size
};

/// Frames in, frames out, in the format a sink asks for.
class SamplePipe {
 public:
  virtual ~SamplePipe() = default;
  /// Takes the frame's data; nullptr marks the end of the input.
  virtual void Push(AVFrame* frame) = 0;
  /// The next frame for the sink; false while it needs more input, and at the end.
  virtual bool Pull(AVFrame* frame) = 0;
};

/// A libavfilter graph between a source (a decoder's frames, or the graph's own source
/// filters when there is no decoder) and a sink delivering `out`.
class FilterPipe : public SamplePipe {
 public:
  FilterPipe(const AVCodecContext* source, const std::string& chain, const SinkFormat& out);
  void Push(AVFrame* frame) override;
  bool Pull(AVFrame* frame) override;

 private:
  GraphPtr graph_;
  AVFilterContext* source_ = nullptr;
  AVFilterContext* sink_ = nullptr;
};

/// The pipe for a decoder's frames through `chain`: where the chain is "anull" and the
/// rate stays, only libswresample's conversion (the very one the graph would insert)
/// and the cutting into frames of the sink's size, with no graph. Such a pipe gives the
/// same samples in the same frames as the graph.
std::unique_ptr<SamplePipe> MakePipe(const AVCodecContext& source, const std::string& chain,
                                     const SinkFormat& out);

/// What to write: 16-bit PCM WAV when there is no encoder.
struct OutputFormat {
  Encoder encoder = Encoder::None;
  int bitRateKbps = 0;
  bool errorProtection = false;
  double vorbisQuality = 3;
  int channels = 0;  // 0: as the input
};

class SplitEncoder;

/// Encodes frames into a file at `path` in the container of the encoder. MP2 and AC3
/// are encoded on several threads in segments (see SplitEncoder).
class AudioWriter {
 public:
  /// `preferred` is the sample format the samples arrive in, used when the encoder
  /// takes it, which saves a conversion.
  AudioWriter(const std::string& path, const std::string& shownPath, const OutputFormat& wanted,
              int inputRate, int inputChannels, AVSampleFormat preferred = AV_SAMPLE_FMT_NONE);
  ~AudioWriter();
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;
  SinkFormat Format() const;
  void Write(AVFrame* frame);
  void Finish();

 private:
  void Drain();
  void WritePacket(AVPacket* packet);

  std::string shownPath_;
  OutputContextPtr format_;
  CodecContextPtr codec_;
  PacketPtr packet_;
  AVStream* stream_ = nullptr;
  int64_t samples_ = 0;
  std::unique_ptr<SplitEncoder> split_;  // null: one encoder on this thread
};

}  // namespace vorzik::tools
