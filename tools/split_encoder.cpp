#include "tools/split_encoder.h"

#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "tools/tool_error.h"

namespace vorzik::tools {

struct SplitEncoder::Segment {
  std::vector<FramePtr> frames;  // the priming frames first
  size_t priming = 0;
  bool last = false;
  std::vector<PacketPtr> packets;  // the segment's own, in order
  std::exception_ptr error;
  bool done = false;
};

namespace {

constexpr int kMostThreads = 8;

}  // namespace

int EncodeThreads() {
  if (const char* text = std::getenv("VORZIK_ENCODE_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1 && n <= 64) {
      return static_cast<int>(n);
    }
  }
  cpu_set_t set;
  CPU_ZERO(&set);
  int cores = 1;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    cores = CPU_COUNT(&set);
  } else {
    cores = static_cast<int>(std::thread::hardware_concurrency());
  }
  return std::clamp(cores, 1, kMostThreads);
}

SplitEncoder::SplitEncoder(OpenEncoder open, WritePacket write, const Layout& layout,
                           std::string failure)
    : open_(std::move(open)),
      write_(std::move(write)),
      layout_(layout),
      failure_(std::move(failure)),
      filling_(std::make_shared<Segment>()) {
  layout_.threads = std::max(layout_.threads, 1);
  layout_.segmentFrames = std::max(layout_.segmentFrames, 1);
  layout_.primingFrames = std::clamp(layout_.primingFrames, 0, layout_.segmentFrames);
}

SplitEncoder::~SplitEncoder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) {
    worker.join();
  }
}

void SplitEncoder::Add(const AVFrame* frame) {
  // A full segment goes out only once more audio follows: the last one must be the
  // one that flushes the encoder, as the end of the stream does in one encoder.
  if (filling_->frames.size() == filling_->priming + size_t(layout_.segmentFrames)) {
    Submit(false);
  }
  FramePtr ref = MakeFrame();
  CheckAv(av_frame_ref(ref.get(), frame), failure_);
  filling_->frames.push_back(std::move(ref));
}

void SplitEncoder::Finish() {
  if (workers_.empty()) {
    // Shorter than a segment: one encoder on this thread, as without splitting.
    filling_->last = true;
    Encode(*filling_);
    for (PacketPtr& packet : filling_->packets) {
      write_(packet.get());
    }
    return;
  }
  Submit(true);
  WriteDone(0);
}

void SplitEncoder::Submit(bool last) {
  std::shared_ptr<Segment> segment = std::move(filling_);
  segment->last = last;
  filling_ = std::make_shared<Segment>();
  if (!last) {
    const auto& frames = segment->frames;
    const size_t priming = std::min(frames.size(), size_t(layout_.primingFrames));
    for (size_t i = frames.size() - priming; i < frames.size(); ++i) {
      FramePtr ref = MakeFrame();
      CheckAv(av_frame_ref(ref.get(), frames[i].get()), failure_);
      filling_->frames.push_back(std::move(ref));
    }
    filling_->priming = priming;
  }
  if (workers_.empty()) {
    for (int i = 0; i < layout_.threads; ++i) {
      workers_.emplace_back([this] { Work(); });
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    inFlight_.push_back(segment);
    waiting_.push_back(segment);
  }
  wake_.notify_one();
  // Every thread busy and one segment ready behind them; more would only hold memory.
  WriteDone(size_t(layout_.threads) + 1);
}

/// Writes the encoded segments at the head of the stream, waiting until no more than
/// `mostInFlight` remain unwritten.
void SplitEncoder::WriteDone(size_t mostInFlight) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    while (!inFlight_.empty() && inFlight_.front()->done) {
      std::shared_ptr<Segment> segment = std::move(inFlight_.front());
      inFlight_.pop_front();
      lock.unlock();
      if (segment->error) {
        std::rethrow_exception(segment->error);
      }
      for (PacketPtr& packet : segment->packets) {
        write_(packet.get());
      }
      lock.lock();
    }
    if (inFlight_.size() <= mostInFlight) {
      return;
    }
    done_.wait(lock);
  }
}

void SplitEncoder::Work() {
  for (;;) {
    std::shared_ptr<Segment> segment;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) {
        return;
      }
      segment = std::move(waiting_.front());
      waiting_.pop_front();
    }
    try {
      Encode(*segment);
    } catch (...) {
      segment->error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      segment->done = true;
    }
    done_.notify_one();
  }
}

/// Encodes the priming frames and the segment's own, keeping the packets of its own.
/// The encoders split here give one packet per frame as the frame goes in, so the n-th
/// packet is the n-th frame's.
void SplitEncoder::Encode(Segment& segment) const {
  CodecContextPtr codec = open_();
  PacketPtr packet = MakePacket();
  size_t seen = 0;
  auto receive = [&] {
    for (;;) {
      const int r = avcodec_receive_packet(codec.get(), packet.get());
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
        return;
      }
      CheckAv(r, failure_);
      if (seen++ < segment.priming) {
        av_packet_unref(packet.get());
      } else {
        segment.packets.push_back(std::move(packet));
        packet = MakePacket();
      }
    }
  };
  for (const FramePtr& frame : segment.frames) {
    CheckAv(avcodec_send_frame(codec.get(), frame.get()), failure_);
    receive();
  }
  if (segment.last) {
    CheckAv(avcodec_send_frame(codec.get(), nullptr), failure_);
    receive();
  } else if (seen != segment.frames.size()) {
    // A frame held back would need the audio after the segment; better no output
    // than a stream that differs from one encoder's.
    throw RuntimeError(failure_ + ": the encoder holds frames back, so it cannot be split");
  }
  segment.frames.clear();
}

}  // namespace vorzik::tools
