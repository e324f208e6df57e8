#pragma once

// The benchmarks' inputs: 16-bit stereo PCM WAV written by hand, so that making them
// does not depend on the programs being timed.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

namespace vorzik::bench {

/// `frame(n)` gives the left and right sample of frame n, full scale being 1.
inline void WriteStereoWav(const std::string& path, int rate, uint32_t frames,
                           const std::function<std::pair<double, double>(uint32_t)>& frame) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t bytes = frames * 4;
  auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out << "RIFF";
  put32(36 + bytes);
  out << "WAVEfmt ";
  put32(16);
  put16(1);
  put16(2);
  put32(uint32_t(rate));
  put32(uint32_t(rate) * 4);
  put16(4);
  put16(16);
  out << "data";
  put32(bytes);
  for (uint32_t n = 0; n < frames; ++n) {
    const auto [left, right] = frame(n);
    put16(uint16_t(int16_t(std::lround(left * 32767))));
    put16(uint16_t(int16_t(std::lround(right * 32767))));
  }
}

}  // namespace vorzik::bench
