#pragma once

// The tests' own view of audio: 16-bit PCM WAV files read and written by hand, and the
// few measurements the checks need. Nothing here uses FFmpeg.
#include <cstdint>
#include <string>
#include <vector>

namespace vorzik::tools::testing {

/// Samples as floats in [-1, 1), one vector per channel.
struct Pcm {
  int sampleRate = 0;
  std::vector<std::vector<double>> channels;
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
  double Seconds() const { return sampleRate ? double(Frames()) / sampleRate : 0; }
};

/// Reads a 16-bit PCM WAV; fails the current test (and returns an empty Pcm) otherwise.
Pcm ReadWav(const std::string& path);
/// 16-bit PCM, or 32-bit float samples when `floats`.
void WriteWav(const std::string& path, const Pcm& pcm, bool floats = false);

struct Tone {
  double hz;
  double amplitude;
};
/// A sum of sine tones, the same in every channel.
Pcm MakeTones(const std::vector<Tone>& tones, double seconds, int rate = 48000, int channels = 2);

/// Amplitude of the `hz` component over [start, start + count), by the Goertzel recurrence.
double ToneAmplitude(const std::vector<double>& x, double hz, int rate, size_t start, size_t count);
double Rms(const std::vector<double>& x, size_t start, size_t count);
double Peak(const std::vector<double>& x);
double Db(double ratio);

}  // namespace vorzik::tools::testing
