// A decoder's frames into the format a sink asks for without a filter graph, where the
// graph would do nothing else: its text "anull" and the rate unchanged. The decode and
// the plain encodes are such stages; they then need no libavfilter at all, which saves
// loading it (see filter_library.h).
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <string>

#include "tools/audio_stream.h"
#include "tools/tool_error.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace vorzik::tools {
namespace {

struct SwrFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoFree {
  void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
struct LayoutFree {
  void operator()(AVChannelLayout* l) const {
    av_channel_layout_uninit(l);
    delete l;
  }
};

/// Set by the tests and benchmarks (to anything but "0") to send every stage through
/// a graph, so both ways can be compared.
bool AlwaysGraph() {
  const char* text = std::getenv("VORZIK_ALWAYS_FILTER_GRAPH");
  return text != nullptr && std::string(text) != "0";
}

class FormatPipe final : public SamplePipe {
 public:
  FormatPipe(const AVCodecContext& source, const SinkFormat& out);
  void Push(AVFrame* frame) override;
  bool Pull(AVFrame* frame) override;

 private:
  void Describe(AVFrame* frame, int samples) const;

  AVSampleFormat sourceFormat_;
  std::unique_ptr<AVChannelLayout, LayoutFree> sourceLayout_{new AVChannelLayout{}};
  AVSampleFormat format_;
  std::unique_ptr<AVChannelLayout, LayoutFree> layout_{new AVChannelLayout{}};
  int sampleRate_;
  std::unique_ptr<SwrContext, SwrFree> swr_;  // null: the samples stay as they are
  int frameSize_;
  std::unique_ptr<AVAudioFifo, FifoFree> fifo_;  // null: frames leave as they came
  std::deque<FramePtr> ready_;
  int64_t pts_ = 0;
  bool ended_ = false;
};

FormatPipe::FormatPipe(const AVCodecContext& source, const SinkFormat& out)
    : sourceFormat_(source.sample_fmt),
      format_(out.sampleFormat.empty() ? source.sample_fmt
                                       : av_get_sample_fmt(out.sampleFormat.c_str())),
      sampleRate_(source.sample_rate),
      frameSize_(out.frameSize) {
  constexpr const char* kFailure = "cannot set up the sample conversion";
  if (format_ == AV_SAMPLE_FMT_NONE) {
    throw RuntimeError(std::string(kFailure) + ": no sample format " + out.sampleFormat);
  }
  CheckAv(av_channel_layout_copy(sourceLayout_.get(), &source.ch_layout), kFailure);
  CheckAv(out.channelLayout.empty()
              ? av_channel_layout_copy(layout_.get(), &source.ch_layout)
              : av_channel_layout_from_string(layout_.get(), out.channelLayout.c_str()),
          kFailure);
  if (format_ != sourceFormat_ || av_channel_layout_compare(layout_.get(), sourceLayout_.get())) {
    // Default options, as in the aresample filter a graph inserts for the same change.
    SwrContext* swr = nullptr;
    CheckAv(swr_alloc_set_opts2(&swr, layout_.get(), format_, sampleRate_, sourceLayout_.get(),
                                sourceFormat_, sampleRate_, 0, nullptr),
            kFailure);
    swr_.reset(swr);
    CheckAv(swr_init(swr), kFailure);
  }
  if (frameSize_ > 0) {
    fifo_.reset(av_audio_fifo_alloc(format_, layout_->nb_channels, frameSize_));
    if (!fifo_) {
      throw std::bad_alloc();
    }
  }
}

void FormatPipe::Describe(AVFrame* frame, int samples) const {
  frame->format = format_;
  frame->sample_rate = sampleRate_;
  frame->nb_samples = samples;
  av_channel_layout_uninit(&frame->ch_layout);
  CheckAv(av_channel_layout_copy(&frame->ch_layout, layout_.get()), "cannot convert the audio");
}

void FormatPipe::Push(AVFrame* frame) {
  if (frame == nullptr) {
    // At an unchanged rate the conversion keeps no samples back that a flush would give.
    ended_ = true;
    return;
  }
  if (frame->nb_samples == 0) {  // the caller hands on no empty frame either
    av_frame_unref(frame);
    return;
  }
  // A stream may change its rate or channels part way (two recordings joined); the
  // conversion is set up for the first part only, so such a stream fails, as in a graph.
  const bool unnamedLayout = frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC &&
                             frame->ch_layout.nb_channels == sourceLayout_->nb_channels;
  if (frame->format != sourceFormat_ || frame->sample_rate != sampleRate_ ||
      (!unnamedLayout && av_channel_layout_compare(&frame->ch_layout, sourceLayout_.get()))) {
    throw RuntimeError(
        "cannot convert the audio: its rate, channels or sample format change "
        "within the stream");
  }
  FramePtr converted = MakeFrame();
  if (swr_) {
    const int room = swr_get_out_samples(swr_.get(), frame->nb_samples);
    CheckAv(room, "cannot convert the audio");
    Describe(converted.get(), room);
    CheckAv(av_frame_get_buffer(converted.get(), 0), "cannot convert the audio");
    const int n = swr_convert(swr_.get(), converted->extended_data, converted->nb_samples,
                              const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    CheckAv(n, "cannot convert the audio");
    converted->nb_samples = n;
    converted->pts = frame->pts;
    av_frame_unref(frame);
  } else {
    av_frame_move_ref(converted.get(), frame);
    Describe(converted.get(), converted->nb_samples);
  }
  if (!fifo_) {
    ready_.push_back(std::move(converted));
    return;
  }
  const int n = converted->nb_samples;
  if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted->extended_data), n) < n) {
    throw std::bad_alloc();
  }
}

bool FormatPipe::Pull(AVFrame* frame) {
  if (!fifo_) {
    if (ready_.empty()) {
      return false;
    }
    av_frame_move_ref(frame, ready_.front().get());
    ready_.pop_front();
    return true;
  }
  // Whole frames of the sink's size; what is left at the end comes as one shorter frame.
  const int available = av_audio_fifo_size(fifo_.get());
  if (available == 0 || (available < frameSize_ && !ended_)) {
    return false;
  }
  Describe(frame, std::min(available, frameSize_));
  CheckAv(av_frame_get_buffer(frame, 0), "cannot convert the audio");
  CheckAv(av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->extended_data),
                             frame->nb_samples),
          "cannot convert the audio");
  frame->pts = pts_;
  pts_ += frame->nb_samples;
  return true;
}

}  // namespace

std::unique_ptr<SamplePipe> MakePipe(const AVCodecContext& source, const std::string& chain,
                                     const SinkFormat& out) {
  const bool sameRate = out.sampleRate == 0 || out.sampleRate == source.sample_rate;
  if (chain == "anull" && sameRate && !AlwaysGraph()) {
    return std::make_unique<FormatPipe>(source, out);
  }
  return std::make_unique<FilterPipe>(&source, chain, out);
}

}  // namespace vorzik::tools
