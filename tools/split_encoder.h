#pragma once

// An encoder whose frames do not depend on one another run on several cores: the signal
// is cut into segments at frame boundaries and each segment is encoded by an encoder of
// its own, primed with the audio just before it, so that its frames come out as one
// encoder running through the whole signal would have made them.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "av_support.h"

namespace vorzik::tools {

/// Threads for one encode: the cores this process may run on, at most 8.
/// VORZIK_ENCODE_THREADS (1..64) overrides it for benchmarks and tests.
int EncodeThreads();

class SplitEncoder {
 public:
  struct Layout {
    int threads = 1;
    int segmentFrames = 0;  // encoder frames a segment writes
    int primingFrames = 0;  // frames before a segment encoded and thrown away
  };
  using OpenEncoder = std::function<CodecContextPtr()>;
  using WritePacket = std::function<void(AVPacket*)>;

  /// `open` makes an encoder like the one the output was set up with (it may run on
  /// any thread); `write` gets every packet of the stream in order, on the caller's.
  /// `failure` starts the message of an encoding error ("cannot encode OUT").
  SplitEncoder(OpenEncoder open, WritePacket write, const Layout& layout, std::string failure);
  ~SplitEncoder();
  SplitEncoder(const SplitEncoder&) = delete;
  SplitEncoder& operator=(const SplitEncoder&) = delete;

  /// Takes a reference to a frame of the encoder's frame size (the last may be shorter)
  /// with its pts set.
  void Add(const AVFrame* frame);
  /// Encodes what is left, flushes the encoder of the last segment and writes all.
  void Finish();

 private:
  struct Segment;

  void Submit(bool last);
  void WriteDone(size_t mostInFlight);
  void Work();
  void Encode(Segment& segment) const;

  OpenEncoder open_;
  WritePacket write_;
  Layout layout_;
  std::string failure_;
  std::shared_ptr<Segment> filling_;
  std::mutex mutex_;
  std::condition_variable wake_;                   // a segment to encode, or the end
  std::condition_variable done_;                   // a segment encoded
  std::deque<std::shared_ptr<Segment>> inFlight_;  // in stream order
  std::deque<std::shared_ptr<Segment>> waiting_;   // not yet taken by a thread
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace vorzik::tools
