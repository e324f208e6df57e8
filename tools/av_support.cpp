#include "tools/av_support.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "tools/tool_error.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace vorzik::tools {
namespace {

std::mutex lastLogMutex;
std::string lastLog;

void KeepLastError(void* /*avcl*/, int level, const char* format, va_list args) {
  if (level > AV_LOG_ERROR) {
    return;
  }
  char line[512];
  std::vsnprintf(line, sizeof line, format, args);
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  std::lock_guard<std::mutex> lock(lastLogMutex);
  lastLog = text;
}

}  // namespace

FramePtr MakeFrame() {
  FramePtr frame(av_frame_alloc());
  if (!frame) {
    throw std::bad_alloc();
  }
  return frame;
}

PacketPtr MakePacket() {
  PacketPtr packet(av_packet_alloc());
  if (!packet) {
    throw std::bad_alloc();
  }
  return packet;
}

std::string AvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  std::string result = text;
  std::lock_guard<std::mutex> lock(lastLogMutex);
  if (!lastLog.empty()) {
    result += " (" + lastLog + ")";
    lastLog.clear();
  }
  return result;
}

void CheckAv(int r, std::string_view what) {
  if (r < 0) {
    throw RuntimeError(std::string(what) + ": " + AvErrorText(r));
  }
}

void QuietFfmpegLog() {
  av_log_set_callback(KeepLastError);
}

}  // namespace vorzik::tools
