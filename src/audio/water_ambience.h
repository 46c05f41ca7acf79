#pragma once

#include <cstdint>
#include <vector>

namespace audio {

// Interleaved signed 16-bit samples.
struct PcmSamples {
  uint32_t rate = 0;
  uint16_t channels = 0;
  std::vector<int16_t> samples;

  std::size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// The default ambient sound, "Sound/Water.wav": ten seconds of quiet
// underwater ambience in stereo at 22050 Hz that loops without a seam. A
// bed of low-passed pink and brown noise swells slowly, soft bubble blips
// (short rising sine sweeps) pop up at irregular times, and the end is
// cross-faded into the start. The same samples on every call.
PcmSamples synthesize_water_ambience();

}  // namespace audio
