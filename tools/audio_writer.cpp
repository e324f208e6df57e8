#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/audio_stream.h"
#include "tools/split_encoder.h"
#include "tools/tool_error.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace vorzik::tools {
namespace {

struct EncoderChoice {
  const char* codec;
  const char* muxer;
  std::vector<int> rates;  // empty: any rate
  // Frames of audio before a segment that bring a fresh encoder to the state of one
  // that ran through everything before; 0: the encoder is not split.
  int primingFrames = 0;
  // Bytes a frame grows by to keep the bit rate where a frame's share of it is not a
  // whole number of these; 0: frames are never padded.
  int paddingBytes = 0;
};

// Long enough that opening an encoder and priming it are lost in the work, short
// enough that all threads get work early and the last segment ends soon after the rest.
constexpr double kSegmentSeconds = 3;

EncoderChoice Choose(Encoder encoder) {
  switch (encoder) {
    case Encoder::Mp2:
      // MPEG-1 rates only, so every bit rate of the -mp2enc( block stays valid.
      // The analysis filter reaches 512 samples back; one frame of priming already gave
      // the very frames of one encoder on every signal tried, the second is margin.
      // Twolame pads no frame unless asked to.
      return {"libtwolame", "mp2", {32000, 44100, 48000}, 2, 0};
    case Encoder::Ac3:
      // Only the transform's 256-sample overlap links a frame to the one before.
      return {"ac3", "ac3", {32000, 44100, 48000}, 1, 2};
    case Encoder::Vorbis:
      return {"libvorbis", "ogg", {}};
    case Encoder::None:
      break;
  }
  return {"pcm_s16le", "wav", {}};
}

/// The input's rate when the encoder takes it, else the next higher one it takes.
int PickRate(const std::vector<int>& rates, int inputRate) {
  if (rates.empty() || std::find(rates.begin(), rates.end(), inputRate) != rates.end()) {
    return inputRate;
  }
  for (int rate : rates) {
    if (rate >= inputRate) {
      return rate;
    }
  }
  return rates.back();
}

/// The sample formats the encoder takes, ending in AV_SAMPLE_FMT_NONE; null when it
/// names none. FFmpeg 7.1 (libavcodec 61.13) moved the list behind a query.
const AVSampleFormat* SampleFormats(const AVCodec* codec) {
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(61, 13, 100)
  const void* formats = nullptr;
  if (avcodec_get_supported_config(nullptr, codec, AV_CODEC_CONFIG_SAMPLE_FORMAT, 0, &formats,
                                   nullptr) < 0) {
    return nullptr;
  }
  return static_cast<const AVSampleFormat*>(formats);
#else
  return codec->sample_fmts;
#endif
}

AVSampleFormat PickSampleFormat(const AVCodec* codec, AVSampleFormat preferred) {
  const AVSampleFormat* formats = SampleFormats(codec);
  if (formats == nullptr) {
    return AV_SAMPLE_FMT_S16;
  }
  for (const AVSampleFormat* f = formats; *f != AV_SAMPLE_FMT_NONE; ++f) {
    if (*f == preferred) {
      return preferred;
    }
  }
  return formats[0];
}

int PickChannels(const OutputFormat& wanted, int inputChannels) {
  if (wanted.channels > 0) {
    return wanted.channels;
  }
  if (wanted.encoder == Encoder::Mp2 || wanted.encoder == Encoder::Ac3) {
    return 2;  // "-m s": stereo
  }
  return std::min(inputChannels, 8);
}

/// Whether segments encoded apart give the stream one encoder gives. Where frames are
/// padded (AC3 at 44.1 kHz), a count kept from the start of the stream decides which,
/// and an encoder that starts in the middle cannot know it.
bool CanSplit(const EncoderChoice& choice, const AVCodecContext& c) {
  if (choice.primingFrames == 0 || c.frame_size <= 0) {
    return false;
  }
  const int64_t paddingBits = int64_t{choice.paddingBytes} * 8;
  return paddingBits == 0 || (c.bit_rate * c.frame_size) % (paddingBits * c.sample_rate) == 0;
}

CodecContextPtr OpenEncoder(const EncoderChoice& choice, const OutputFormat& wanted, int inputRate,
                            int inputChannels, AVSampleFormat preferred, bool globalHeader) {
  const AVCodec* codec = avcodec_find_encoder_by_name(choice.codec);
  if (codec == nullptr) {
    throw RuntimeError(std::string("this build of FFmpeg has no ") + choice.codec + " encoder");
  }
  CodecContextPtr context(avcodec_alloc_context3(codec));
  if (!context) {
    throw std::bad_alloc();
  }
  AVCodecContext* c = context.get();
  c->sample_rate = PickRate(choice.rates, inputRate);
  av_channel_layout_default(&c->ch_layout, PickChannels(wanted, inputChannels));
  c->sample_fmt = PickSampleFormat(codec, preferred);
  c->time_base = AVRational{1, c->sample_rate};
  if (wanted.bitRateKbps > 0) {
    c->bit_rate = int64_t{wanted.bitRateKbps} * 1000;
  }
  if (wanted.encoder == Encoder::Vorbis) {
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = static_cast<int>(wanted.vorbisQuality * FF_QP2LAMBDA);
  }
  if (globalHeader) {
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  AVDictionary* options = nullptr;
  if (wanted.encoder == Encoder::Mp2) {
    av_dict_set(&options, "mode", c->ch_layout.nb_channels == 2 ? "joint_stereo" : "mono", 0);
    av_dict_set(&options, "error_protection", wanted.errorProtection ? "1" : "0", 0);
  }
  const int r = avcodec_open2(c, codec, &options);
  av_dict_free(&options);
  CheckAv(r, std::string("cannot start the ") + choice.codec + " encoder");
  return context;
}

}  // namespace

AudioWriter::AudioWriter(const std::string& path, const std::string& shownPath,
                         const OutputFormat& wanted, int inputRate, int inputChannels,
                         AVSampleFormat preferred)
    : shownPath_(shownPath), packet_(MakePacket()) {
  const EncoderChoice choice = Choose(wanted.encoder);
  AVFormatContext* format = nullptr;
  CheckAv(avformat_alloc_output_context2(&format, nullptr, choice.muxer, nullptr),
          "cannot write " + shownPath);
  format_.reset(format);
  format->flags |= AVFMT_FLAG_BITEXACT;
  const bool globalHeader = format->oformat->flags & AVFMT_GLOBALHEADER;
  codec_ = OpenEncoder(choice, wanted, inputRate, inputChannels, preferred, globalHeader);
  stream_ = avformat_new_stream(format, nullptr);
  if (stream_ == nullptr) {
    throw std::bad_alloc();
  }
  CheckAv(avcodec_parameters_from_context(stream_->codecpar, codec_.get()),
          "cannot write " + shownPath);
  stream_->time_base = codec_->time_base;
  CheckAv(avio_open(&format->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE),
          "cannot write " + shownPath);
  CheckAv(avformat_write_header(format, nullptr), "cannot write " + shownPath);
  const int threads = EncodeThreads();
  if (threads > 1 && CanSplit(choice, *codec_)) {
    SplitEncoder::Layout layout;
    layout.threads = threads;
    layout.segmentFrames =
        static_cast<int>(std::ceil(kSegmentSeconds * codec_->sample_rate / codec_->frame_size));
    layout.primingFrames = choice.primingFrames;
    split_ = std::make_unique<SplitEncoder>(
        [=] {
          return OpenEncoder(choice, wanted, inputRate, inputChannels, preferred, globalHeader);
        },
        [this](AVPacket* packet) { WritePacket(packet); }, layout, "cannot encode " + shownPath);
  }
}

AudioWriter::~AudioWriter() = default;

SinkFormat AudioWriter::Format() const {
  SinkFormat out;
  out.sampleFormat = av_get_sample_fmt_name(codec_->sample_fmt);
  out.sampleRate = codec_->sample_rate;
  char layout[128] = {};
  av_channel_layout_describe(&codec_->ch_layout, layout, sizeof layout);
  out.channelLayout = layout;
  if (!(codec_->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) {
    out.frameSize = codec_->frame_size;
  }
  return out;
}

void AudioWriter::Write(AVFrame* frame) {
  frame->pts = samples_;
  samples_ += frame->nb_samples;
  if (split_) {
    split_->Add(frame);
    return;
  }
  CheckAv(avcodec_send_frame(codec_.get(), frame), "cannot encode " + shownPath_);
  Drain();
}

void AudioWriter::Drain() {
  for (;;) {
    const int r = avcodec_receive_packet(codec_.get(), packet_.get());
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
      return;
    }
    CheckAv(r, "cannot encode " + shownPath_);
    WritePacket(packet_.get());
  }
}

void AudioWriter::WritePacket(AVPacket* packet) {
  av_packet_rescale_ts(packet, codec_->time_base, stream_->time_base);
  packet->stream_index = stream_->index;
  CheckAv(av_interleaved_write_frame(format_.get(), packet), "cannot write " + shownPath_);
}

void AudioWriter::Finish() {
  if (split_) {
    split_->Finish();
  } else {
    CheckAv(avcodec_send_frame(codec_.get(), nullptr), "cannot encode " + shownPath_);
    Drain();
  }
  CheckAv(av_write_trailer(format_.get()), "cannot write " + shownPath_);
  if (format_->pb->error < 0) {
    CheckAv(format_->pb->error, "cannot write " + shownPath_);
  }
  CheckAv(avio_closep(&format_->pb), "cannot write " + shownPath_);
}

}  // namespace vorzik::tools
