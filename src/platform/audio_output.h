#pragma once

#include <optional>

namespace platform {

// What the sound device plays: interleaved signed 16-bit samples at this rate
// and channel count. SDL's "disk" driver writes exactly these bytes to its
// file, which lets a test measure what was played.
struct AudioOutputFormat {
  int rate = 0;
  int channels = 0;
  int bits = 16;
};

// The format of the open device; nothing while no music or sound backend
// holds the mixer open, or when no device could be opened.
std::optional<AudioOutputFormat> audio_output_format();

}  // namespace platform
