#pragma once

#include "base/vector.h"
#include "render/shared_constants.h"
#include "scene/sea_set_record.h"

namespace scene {

// The clock of the water light pattern: which of the loaded frames is shown
// and how the pattern's texture coordinates scroll and wobble. The frames
// themselves are loaded and bound elsewhere.
class WaterPattern {
 public:
  // After the frames were loaded; 0 (or less) means there are none.
  void set_frame_count(int count);
  int frame_count() const { return frame_count_; }
  // The tank's frame rate, texture scale and scroll speed.
  void set_parameters(const SeaSetRecord& record);
  // Advances by dt x rate frames: running back past the first frame goes to
  // the last, running past the last goes back to the first.
  void update(float dt);
  // The frame to show, in [0, frame count); -1 without frames.
  int frame() const;
  // Scrolls and wobbles by the frame duration and returns the pattern's
  // shader parameters (scale u, scale v, offset u, offset v).
  base::Vec4 step_motion(float frame_seconds) { return motion_.step(frame_seconds); }

  float time() const { return time_; }
  float rate() const { return rate_; }
  const render::WaterPatternMotion& motion() const { return motion_; }

 private:
  int frame_count_ = 0;
  float time_ = 0.0f;
  float rate_ = 0.0f;
  render::WaterPatternMotion motion_;
};

}  // namespace scene
