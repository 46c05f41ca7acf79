#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Header-only helper of the sound tests: a WAV file of a steady sine tone.
namespace platform_test {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// 16-bit PCM; every channel carries the same tone. A whole number of
// periods per second makes a one-second tone loop without a seam.
inline std::vector<uint8_t> tone_wave(double seconds, uint32_t rate = 44100, uint16_t channels = 2,
                                      double frequency = 440.0, double amplitude = 0.5) {
  const auto frames = static_cast<uint32_t>(seconds * rate);
  const uint32_t data_size = frames * channels * 2;
  std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
  put32(out, 36 + data_size);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  put32(out, 16);
  put16(out, 1);
  put16(out, channels);
  put32(out, rate);
  put32(out, rate * channels * 2);
  put16(out, channels * 2u);
  put16(out, 16);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  put32(out, data_size);
  for (uint32_t i = 0; i < frames; ++i) {
    const double value = amplitude * std::sin(6.283185307179586 * frequency * i / rate);
    const auto sample = static_cast<int16_t>(std::lround(value * 32767.0));
    for (uint16_t c = 0; c < channels; ++c) put16(out, static_cast<uint16_t>(sample));
  }
  return out;
}

inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace platform_test
