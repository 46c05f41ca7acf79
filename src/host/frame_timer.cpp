#include "host/frame_timer.h"

#include <algorithm>
#include <chrono>

namespace host {

double steady_seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

FrameTimer::FrameTimer(Clock clock) : clock_(std::move(clock)) {}

void FrameTimer::start(double nominal_fps) {
  fps_ = nominal_fps;
  total_ = 0.0;
  restart_measuring();
}

void FrameTimer::set_paused(bool paused) {
  if (paused_ && !paused) restart_measuring();
  paused_ = paused;
}

void FrameTimer::restart_measuring() {
  last_ = clock_();
  interval_start_ = last_;
  frames_in_interval_ = 0;
  smoothed_ = kInitialSmoothed;
  frame_time_ = 0.0;
}

bool FrameTimer::tick() {
  double now = clock_();
  // A clock that steps back (it should not) never gives a negative frame.
  double elapsed = std::max(0.0, now - last_);
  if (elapsed < min_interval_) return false;
  frame_time_ = elapsed;
  ++frames_in_interval_;
  smoothed_ = (smoothed_ + std::min(elapsed, kMaxSample)) * 0.5;
  last_ = now;
  total_ += elapsed;
  if (now - interval_start_ >= kInterval) {
    fps_ = frames_in_interval_ / (now - interval_start_);
    frames_in_interval_ = 0;
    interval_start_ = now;
  }
  return true;
}

}  // namespace host
