#pragma once
#include <cstdint>
#include <functional>

namespace host {

// Seconds from a steady clock that never goes backwards.
double steady_seconds();

// Measures frames: the time since the previous frame, a two-frame smoothed
// frame time that a stall cannot blow up, the frames per second over each
// second, and the total time.
class FrameTimer {
 public:
  using Clock = std::function<double()>;
  explicit FrameTimer(Clock clock = steady_seconds);

  // Starts measuring, with the rate assumed until the first second is over.
  void start(double nominal_fps);
  // Pausing stops the clock for the frame time; resuming restarts the
  // smoothing and the frames-per-second interval.
  void set_paused(bool paused);
  // Advances one frame; false when the minimum interval has not passed.
  bool tick();

  bool paused() const { return paused_; }
  double frame_time() const { return frame_time_; }
  double smoothed_frame_time() const { return smoothed_; }
  double frames_per_second() const { return fps_; }
  double total_time() const { return total_; }
  double now() const { return clock_(); }

  static constexpr double kInitialSmoothed = 1.0 / 30.0;
  static constexpr double kMaxSample = 0.1;
  static constexpr double kInterval = 1.0;

 private:
  void restart_measuring();

  Clock clock_;
  bool paused_ = false;
  double min_interval_ = 0.0;
  double frame_time_ = 0.0;
  double smoothed_ = kInitialSmoothed;
  double last_ = 0.0;
  double fps_ = 30.0;
  double interval_start_ = 0.0;
  int32_t frames_in_interval_ = 0;
  double total_ = 0.0;
};

}  // namespace host
