#include "tools/audio_convert.h"

#include <filesystem>
#include <optional>

#include "tools/temp_output.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

/// Feeds every decoded frame into the pipe and hands on what comes out.
void Pump(AudioDecoder& decoder, SamplePipe& pipe, const std::string& input, bool keepInputLength,
          const std::function<void(AVFrame*)>& onFrame) {
  FramePtr in = MakeFrame();
  FramePtr out = MakeFrame();
  int64_t fed = 0;
  int64_t passed = 0;
  auto drain = [&] {
    while (pipe.Pull(out.get())) {
      if (keepInputLength && passed + out->nb_samples > fed) {
        out->nb_samples = static_cast<int>(std::max<int64_t>(fed - passed, 0));
      }
      passed += out->nb_samples;
      if (out->nb_samples > 0) {
        onFrame(out.get());
      }
      av_frame_unref(out.get());
    }
  };
  while (decoder.Next(in.get())) {
    in->pts = fed;
    fed += in->nb_samples;
    pipe.Push(in.get());
    drain();
  }
  // An empty but well-formed file gives an empty output; one whose every packet was
  // refused is not audio.
  if (fed == 0 && decoder.Damaged() > 0) {
    throw RuntimeError("no audio could be decoded from " + input);
  }
  pipe.Push(nullptr);
  drain();
}

}  // namespace

void Convert(const std::string& input, const std::string& output, const ChainFor& chain,
             const ConvertOptions& options) {
  // The input is opened once, first: an unreadable input is the failure reported.
  AudioDecoder decoder(input);
  const AVCodecContext& source = decoder.Context();
  std::error_code error;
  if (!options.overwrite && std::filesystem::exists(output, error)) {
    throw RuntimeError(output + " exists (use -y to overwrite)");
  }
  TempOutput temp(output);
  {
    AudioWriter writer(temp.Path(), output, options.output, source.sample_rate,
                       source.ch_layout.nb_channels, source.sample_fmt);
    const std::unique_ptr<SamplePipe> pipe = MakePipe(
        source, chain({source.sample_rate, source.ch_layout.nb_channels}), writer.Format());
    Pump(decoder, *pipe, input, options.keepInputLength, [&](AVFrame* f) { writer.Write(f); });
    writer.Finish();
  }
  temp.Commit();
}

void Measure(const std::string& input, const std::string& chain,
             const std::function<void(const AVFrame&)>& onFrame) {
  AudioDecoder decoder(input);
  const std::unique_ptr<SamplePipe> pipe = MakePipe(decoder.Context(), chain, SinkFormat{});
  Pump(decoder, *pipe, input, false, [&](AVFrame* f) { onFrame(*f); });
}

int64_t CountSamples(const std::string& input) {
  int64_t samples = 0;
  Measure(input, "anull", [&](const AVFrame& f) { samples += f.nb_samples; });
  return samples;
}

void Generate(const std::string& graph, const std::string& output, const OutputFormat& wanted,
              int sampleRate, int channels) {
  TempOutput temp(output);
  {
    AudioWriter writer(temp.Path(), output, wanted, sampleRate, channels);
    FilterPipe pipe(nullptr, graph, writer.Format());
    FramePtr frame = MakeFrame();
    while (pipe.Pull(frame.get())) {
      writer.Write(frame.get());
      av_frame_unref(frame.get());
    }
    writer.Finish();
  }
  temp.Commit();
}

}  // namespace vorzik::tools
