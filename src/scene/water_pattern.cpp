#include "scene/water_pattern.h"

#include <algorithm>
#include <cmath>

namespace scene {

void WaterPattern::set_frame_count(int count) {
  frame_count_ = std::max(count, 0);
  if (!(std::floor(time_) < static_cast<float>(frame_count_))) time_ = 0.0f;
}

void WaterPattern::set_parameters(const SeaSetRecord& record) {
  rate_ = record.pattern_rate();
  motion_.scale = record.pattern_scale();
  motion_.scroll_speed = record.pattern_scroll();
}

void WaterPattern::update(float dt) {
  // Without frames there is nothing to wrap around: the clock stays at the
  // start instead of running to -1.
  if (frame_count_ == 0) {
    time_ = 0.0f;
    return;
  }
  time_ += dt * rate_;
  if (!std::isfinite(time_)) {
    time_ = 0.0f;
  } else if (time_ < 0.0f) {
    time_ = static_cast<float>(frame_count_ - 1);
  } else if (std::floor(time_) >= static_cast<float>(frame_count_)) {
    time_ = 0.0f;
  }
}

int WaterPattern::frame() const {
  if (frame_count_ == 0) return -1;
  const float index = std::floor(time_);
  if (!(index >= 0.0f)) return 0;
  if (index >= static_cast<float>(frame_count_)) return frame_count_ - 1;
  return static_cast<int>(index);
}

}  // namespace scene
