#pragma once

// Owning handles and error text for the FFmpeg objects the tools use.
#include <memory>
#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

namespace vorzik::tools {

struct InputContextCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct OutputContextCloser {
  void operator()(AVFormatContext* c) const {
    if (c->pb) {
      avio_closep(&c->pb);
    }
    avformat_free_context(c);
  }
};
struct CodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextCloser>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

FramePtr MakeFrame();
PacketPtr MakePacket();

/// The library's text for an error code, with the last error FFmpeg logged when that
/// says more ("Invalid argument" alone rarely helps).
std::string AvErrorText(int code);

/// Throws a RuntimeError "what: <the library's text>" when r is a negative FFmpeg code.
void CheckAv(int r, std::string_view what);

/// Silences FFmpeg's own logging; the tools print one line of their own instead.
void QuietFfmpegLog();

}  // namespace vorzik::tools
