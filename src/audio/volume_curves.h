#pragma once

#include <cstdint>

namespace audio {

// Levels in millibels (hundredths of a decibel): 0 is full volume, -10000
// silence. x is the volume as a fraction, 0 to 1.

// The music's curve: min(0, truncate(floor / 2 * (1 - x * pi/2))), and
// silence at x = 0 or at and below the floor. Everything from about 64 %
// upwards plays at full level; 50 % gives -1073.
int32_t music_volume_level(double x, int32_t floor = -10000);

// The ambient sound's curve: truncate(-5000 * (1 - sin(x * pi/2))), limited
// to -10000..0, and silence at x = 0. 50 % gives -1464.
int32_t ambient_volume_level(double x);

}  // namespace audio
