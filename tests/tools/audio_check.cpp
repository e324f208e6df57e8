#include "tests/tools/audio_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vorzik::tools::testing {
namespace {

uint32_t Le32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t Le16(const std::string& s, size_t at) {
  return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}
void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    s.push_back(char(v >> (8 * i)));
  }
}
void Put16(std::string& s, uint16_t v) {
  s.push_back(char(v));
  s.push_back(char(v >> 8));
}

}  // namespace

Pcm ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Pcm pcm;
  if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) {
    ADD_FAILURE() << path << " is not a WAV file";
    return pcm;
  }
  int channels = 0;
  int bits = 0;
  for (size_t at = 12; at + 8 <= s.size();) {
    const std::string id = s.substr(at, 4);
    const size_t size = std::min<size_t>(Le32(s, at + 4), s.size() - at - 8);
    if (id == "fmt ") {
      channels = Le16(s, at + 10);
      pcm.sampleRate = int(Le32(s, at + 12));
      bits = Le16(s, at + 22);
    } else if (id == "data" && channels > 0) {
      if (bits != 16) {
        ADD_FAILURE() << path << " has " << bits << "-bit samples, not 16";
        return Pcm{};
      }
      pcm.channels.assign(channels, {});
      const size_t frames = size / (2 * channels);
      for (size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
          const auto v = int16_t(Le16(s, at + 8 + 2 * (f * channels + c)));
          pcm.channels[c].push_back(v / 32768.0);
        }
      }
      return pcm;
    }
    at += 8 + size + (size & 1);
  }
  ADD_FAILURE() << path << " has no PCM data";
  return Pcm{};
}

void WriteWav(const std::string& path, const Pcm& pcm, bool floats) {
  const auto channels = uint16_t(pcm.channels.size());
  const uint16_t bytes = floats ? 4 : 2;
  const auto dataBytes = uint32_t(pcm.Frames() * channels * bytes);
  std::string s = "RIFF";
  Put32(s, 36 + dataBytes);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, floats ? 3 : 1);
  Put16(s, channels);
  Put32(s, uint32_t(pcm.sampleRate));
  Put32(s, uint32_t(pcm.sampleRate) * channels * bytes);
  Put16(s, uint16_t(channels * bytes));
  Put16(s, uint16_t(bytes * 8));
  s += "data";
  Put32(s, dataBytes);
  for (size_t f = 0; f < pcm.Frames(); ++f) {
    for (const auto& channel : pcm.channels) {
      if (floats) {
        uint32_t bits = 0;
        const auto v = float(channel[f]);
        std::memcpy(&bits, &v, sizeof bits);
        Put32(s, bits);
      } else {
        const double v = std::clamp(std::round(channel[f] * 32768.0), -32768.0, 32767.0);
        Put16(s, uint16_t(int16_t(v)));
      }
    }
  }
  std::ofstream(path, std::ios::binary) << s;
}

Pcm MakeTones(const std::vector<Tone>& tones, double seconds, int rate, int channels) {
  Pcm pcm;
  pcm.sampleRate = rate;
  std::vector<double> x(size_t(seconds * rate));
  for (size_t n = 0; n < x.size(); ++n) {
    for (const Tone& t : tones) {
      x[n] += t.amplitude * std::sin(2 * M_PI * t.hz * double(n) / rate);
    }
  }
  pcm.channels.assign(channels, x);
  return pcm;
}

double ToneAmplitude(const std::vector<double>& x, double hz, int rate, size_t start,
                     size_t count) {
  const double w = 2 * M_PI * hz / rate;
  const double coeff = 2 * std::cos(w);
  double s1 = 0;
  double s2 = 0;
  for (size_t n = start; n < start + count && n < x.size(); ++n) {
    const double s0 = x[n] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  return 2 * std::sqrt(std::max(power, 0.0)) / double(count);
}

double Rms(const std::vector<double>& x, size_t start, size_t count) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = start; i < start + count && i < x.size(); ++i, ++n) {
    sum += x[i] * x[i];
  }
  return n ? std::sqrt(sum / double(n)) : 0;
}

double Peak(const std::vector<double>& x) {
  double peak = 0;
  for (double v : x) {
    peak = std::max(peak, std::fabs(v));
  }
  return peak;
}

double Db(double ratio) {
  return 20 * std::log10(ratio);
}

}  // namespace vorzik::tools::testing
