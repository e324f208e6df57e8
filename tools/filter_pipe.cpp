#include <string>

#include "tools/audio_stream.h"
#include "tools/tool_error.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace vorzik::tools {
namespace {

struct InOutFree {
  void operator()(AVFilterInOut* p) const { Filters().inoutFree(&p); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFree>;

InOutPtr Endpoint(AVFilterContext* filter, const char* name) {
  InOutPtr io(Filters().inoutAlloc());
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

}  // namespace

FilterPipe::FilterPipe(const AVCodecContext* source, const std::string& chain,
                       const SinkFormat& out) {
  const FilterLibrary& f = Filters();
  graph_.reset(f.graphAlloc());
  if (!graph_) {
    throw std::bad_alloc();
  }
  graph_->nb_threads = 1;
  CheckAv(f.graphCreateFilter(&sink_, f.getByName("abuffersink"), "out", nullptr, nullptr,
                              graph_.get()),
          "cannot set up the filter graph");
  InOutPtr inputs = Endpoint(sink_, "out");
  InOutPtr outputs;
  if (source != nullptr) {
    CheckAv(f.graphCreateFilter(&source_, f.getByName("abuffer"), "in", SourceArgs(source).c_str(),
                                nullptr, graph_.get()),
            "cannot set up the filter graph");
    outputs = Endpoint(source_, "in");
  }
  const std::string text = (source != nullptr ? "[in]" : "") + WithSinkFormat(chain, out) + "[out]";
  AVFilterInOut* in = inputs.release();
  AVFilterInOut* outs = outputs.release();
  const int r = f.graphParsePtr(graph_.get(), text.c_str(), &in, &outs, nullptr);
  f.inoutFree(&in);
  f.inoutFree(&outs);
  CheckAv(r, "cannot set up the filter graph");
  CheckAv(f.graphConfig(graph_.get(), nullptr), "cannot set up the filter graph");
  if (out.frameSize > 0) {
    f.buffersinkSetFrameSize(sink_, out.frameSize);
  }
}

void FilterPipe::Push(AVFrame* frame) {
  CheckAv(Filters().buffersrcAddFrame(source_, frame), "cannot filter the audio");
}

bool FilterPipe::Pull(AVFrame* frame) {
  const int r = Filters().buffersinkGetFrame(sink_, frame);
  if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
    return false;
  }
  CheckAv(r, "cannot filter the audio");
  return true;
}

}  // namespace vorzik::tools
