#include <string>

#include "tools/audio_stream.h"
#include "tools/tool_error.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace vorzik::tools {
namespace {

struct InOutFree {
  void operator()(AVFilterInOut* p) const { avfilter_inout_free(&p); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFree>;

InOutPtr Endpoint(AVFilterContext* filter, const char* name) {
  InOutPtr io(avfilter_inout_alloc());
  if (!io) {
    throw std::bad_alloc();
  }
  io->name = av_strdup(name);
  io->filter_ctx = filter;
  io->pad_idx = 0;
  io->next = nullptr;
  return io;
}

std::string SourceArgs(const AVCodecContext* c) {
  char layout[128] = {};
  av_channel_layout_describe(&c->ch_layout, layout, sizeof layout);
  return "time_base=1/" + std::to_string(c->sample_rate) +
         ":sample_rate=" + std::to_string(c->sample_rate) +
         ":sample_fmt=" + av_get_sample_fmt_name(c->sample_fmt) + ":channel_layout=" + layout;
}

std::string WithSinkFormat(const std::string& chain, const SinkFormat& out) {
  std::string format;
  if (!out.sampleFormat.empty()) {
    format += "sample_fmts=" + out.sampleFormat;
  }
  if (out.sampleRate > 0) {
    format +=
        std::string(format.empty() ? "" : ":") + "sample_rates=" + std::to_string(out.sampleRate);
  }
  if (!out.channelLayout.empty()) {
    format += std::string(format.empty() ? "" : ":") + "channel_layouts=" + out.channelLayout;
  }
  return format.empty() ? chain : chain + ",aformat=" + format;
}

void Check(int r, const char* what) {
  if (r < 0) {
    throw RuntimeError(std::string(what) + ": " + AvErrorText(r));
  }
}

}  // namespace

FilterPipe::FilterPipe(const AVCodecContext* source, const std::string& chain,
                       const SinkFormat& out)
    : graph_(avfilter_graph_alloc()) {
  if (!graph_) {
    throw std::bad_alloc();
  }
  graph_->nb_threads = 1;
  Check(avfilter_graph_create_filter(&sink_, avfilter_get_by_name("abuffersink"), "out", nullptr,
                                     nullptr, graph_.get()),
        "cannot set up the filter graph");
  InOutPtr inputs = Endpoint(sink_, "out");
  InOutPtr outputs;
  if (source != nullptr) {
    Check(avfilter_graph_create_filter(&source_, avfilter_get_by_name("abuffer"), "in",
                                       SourceArgs(source).c_str(), nullptr, graph_.get()),
          "cannot set up the filter graph");
    outputs = Endpoint(source_, "in");
  }
  const std::string text = (source != nullptr ? "[in]" : "") + WithSinkFormat(chain, out) + "[out]";
  AVFilterInOut* in = inputs.release();
  AVFilterInOut* outs = outputs.release();
  const int r = avfilter_graph_parse_ptr(graph_.get(), text.c_str(), &in, &outs, nullptr);
  avfilter_inout_free(&in);
  avfilter_inout_free(&outs);
  Check(r, "cannot set up the filter graph");
  Check(avfilter_graph_config(graph_.get(), nullptr), "cannot set up the filter graph");
  if (out.frameSize > 0) {
    av_buffersink_set_frame_size(sink_, out.frameSize);
  }
}

void FilterPipe::Push(AVFrame* frame) {
  Check(av_buffersrc_add_frame(source_, frame), "cannot filter the audio");
}

bool FilterPipe::Pull(AVFrame* frame) {
  const int r = av_buffersink_get_frame(sink_, frame);
  if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
    return false;
  }
  Check(r, "cannot filter the audio");
  return true;
}

}  // namespace vorzik::tools
