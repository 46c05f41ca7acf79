#include "audio/volume_curves.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {
constexpr int32_t kSilence = -10000;
}

int32_t music_volume_level(double x, int32_t floor) {
  if (x == 0.0) return kSilence;
  const double level = std::trunc((1.0 - x * 1.5707963) * static_cast<double>(floor) * 0.5);
  if (level <= static_cast<double>(floor)) return kSilence;
  return static_cast<int32_t>(std::min(level, 0.0));
}

int32_t ambient_volume_level(double x) {
  if (x == 0.0) return kSilence;
  const double level = std::trunc((1.0 - std::sin(x * 1.5707964)) * -5000.0);
  return static_cast<int32_t>(std::clamp(level, static_cast<double>(kSilence), 0.0));
}

}  // namespace audio
