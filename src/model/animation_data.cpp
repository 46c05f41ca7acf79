#include "model/animation_data.h"

#include <algorithm>

namespace model {

float KeyframeTracks::duration() const {
  if (!matrices.empty()) return std::max(matrices.back().time, 0.0f);
  float longest = 0.0f;
  if (!rotation.empty()) longest = std::max(rotation.back().time, 0.0f);
  if (!first.empty()) longest = std::max(longest, first.back().time);
  if (!second.empty()) longest = std::max(longest, second.back().time);
  return longest;
}

void PlaybackParameters::randomise(base::CrtRandom& random) {
  auto spread = [&random] {
    const int a = random.next();
    const int b = random.next();
    return static_cast<float>(a - b) / static_cast<float>(base::CrtRandom::kMax);
  };
  active = 1;
  if (loops < 0) {
    loops_actual = 0;
  } else {
    loops_actual = static_cast<int>((1.0f + spread() * static_cast<float>(loops_variation) * 0.01f) *
                                    static_cast<float>(loops));
  }
  pause_actual = static_cast<int>((1.0f + spread() * static_cast<float>(pause_variation) * 0.01f) *
                                  static_cast<float>(pause));
  rate_actual = (1.0f + spread() * static_cast<float>(rate_variation) * 0.01f) * rate;
}

}  // namespace model
