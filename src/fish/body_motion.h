#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "base/matrix.h"
#include "base/vector.h"
#include "fish/body_bones.h"
#include "fish/body_spline.h"

namespace fish {

// The words of a kind's attribute record that the body reads. A zero origin
// fraction, follow factor, pitch limit or segment count takes its default.
struct BodyParameters {
  float normal_speed = 0.0f;      // fNormalSpeed: cruising speed
  float normal_wave_size = 0.0f;  // fNormalWaveSize: size of the swimming wave
  float normal_freq = 0.0f;       // fNormalFreq: frequency of the swimming wave
  float elasticity = 0.0f;        // fElasticity: spine elasticity
  float origin_fraction = 0.5f;   // where the transform origin lies, from the head
  float follow_factor = 0.1f;     // how far the tail follows a moved body frame
  float pitch_limit = 0.6f;       // the forward row's y beyond which pitching stops
  std::uint32_t spine_segments = kDefaultSpineSegments;
};

// The linear motion of a fish: steering gathered this frame, velocity and
// speed. The body integrates it each frame and points the velocity along
// the body.
struct MotionState {
  float scale = 1.0f;
  float max_speed = 1.2f;
  base::Vec3 push;
  float push_magnitude = 0.0f;
  base::Vec3 velocity;
  float speed = 0.0f;
};

// A clock that runs while elapsed < duration.
struct BodyClock {
  double elapsed = 0.0;
  double duration = 0.0;

  bool running() const { return elapsed < duration; }
  void restart(double length) {
    elapsed = 0.0;
    duration = length;
  }
  void finish() { elapsed = duration; }
  void advance(double dt) { elapsed = elapsed + dt < duration ? elapsed + dt : duration; }
};

struct ChainNode {
  float offset = 0.0f;  // rest distance to the previous node (unused at the head)
  float stiffness = 1.0f;
  float mass_factor = 1.0f;
  base::Vec3 velocity;
  base::Vec3 force;  // gathered during a step, cleared after use
  base::Matrix frame = base::identity();  // rows right, up, forward, position
};

struct BodyBone {
  BoneRest rest;
  base::Matrix frame = base::identity();  // current: rows right, up, forward, position
  base::Matrix skin = base::identity();   // model space to world space
};

struct SwimWave {
  float phase = 0.0f;  // 0..1
  float frequency = 0.0f;
  float amplitude = 0.0f;
};

// The swimming body of one fish: five chain points pulled by the head and
// bent by springs, the swimming wave, turns and pitch changes; a spline
// through the chain places the bones of the skinned mesh. All state lives
// in fixed arrays, so a frame step allocates nothing; copying a body clones
// it.
class BodyMotion {
 public:
  // Lays out bones and chain for a model whose box spans box_min..box_max
  // (length along z, head at the larger z) and takes the kind's words.
  void build_body(const base::Vec3& box_min, const base::Vec3& box_max, const BodyParameters& parameters);

  // Lays the chain straight behind the head at `transform` (rows right, up,
  // forward, position), at rest, and restarts the wave.
  void reset_pose(const base::Matrix& transform);

  // Starts a turn of `angle` over `time` seconds (randomised: a random part
  // of half that time, at least 0.1 s). Without randomising, a turn already
  // running or a rate of at most 0.3 only sets a small drifting turn and
  // gives false.
  bool start_turn(float angle, float time, bool randomise);

  // The head takes `frame`; the rest of the chain is dragged after it.
  void set_body_frame(const base::Matrix& frame, float dt);

  // One frame: integrates the motion state, turns and pitches from its push,
  // drives the wave and the thrust, steps the chain and places the bones.
  // smoothed_dt is the frame timer's smoothed frame duration.
  void update_body(MotionState& motion, float dt, double smoothed_dt);

  // Operations the behaviours use.
  void restart_burst(double length) { burst_clock_.restart(length); }
  void finish_burst() { burst_clock_.finish(); }
  void finish_turn() { turn_clock_.finish(); }
  // Stops every chain point where it is.
  void clear_chain();
  // Slowing a fish slows its body chain by the same factor.
  void scale_chain_velocities(float factor);
  // Moves the whole body `distance` along its forward row in the next step,
  // while the burst clock runs.
  void displace(float distance);

  // The fish's world transform: the body frame moved back along its forward
  // row by length x origin fraction.
  const base::Matrix& world() const { return world_; }
  // The head's frame: rows right, up, forward, position.
  const base::Matrix& body_frame() const { return body_frame_; }
  // The skinning palette, one matrix per bone, model space to world space:
  // draw with an identity world matrix.
  std::span<const base::Matrix> skin_palette() const { return {palette_.data(), bone_count()}; }
  std::span<const BodyBone> bones() const { return {bones_.data(), bone_count()}; }
  std::span<const BoneRest> bone_rests() const { return layout_.view(); }
  const std::array<ChainNode, kChainNodeCount>& chain() const { return chain_; }

  const BodyClock& turn_clock() const { return turn_clock_; }
  const BodyClock& pitch_clock() const { return pitch_clock_; }
  const BodyClock& burst_clock() const { return burst_clock_; }
  const SwimWave& wave() const { return wave_; }
  float length() const { return length_; }
  float turn_power() const { return turn_power_; }
  float turn_strength() const { return turn_strength_; }
  float drift_turn() const { return drift_turn_; }
  float pitch_strength() const { return pitch_strength_; }

 private:
  std::size_t bone_count() const { return static_cast<std::size_t>(layout_.count); }
  void start_pitch(float pitch, float time, double smoothed_dt);
  void turn_from_push(const MotionState& motion);
  void set_wave(float speed, double smoothed_dt);
  void add_side_forces(float head, float second, float third, const base::Vec3& along);
  void integrate_chain(float dt, float d, float damping);
  void place_spine();
  void update_world();
  float per_length(float value) const { return length_ > 0.0f ? value / length_ : 0.0f; }

  BodyParameters parameters_;
  BoneLayout layout_;
  std::array<BodyBone, kMaxBodyBones> bones_{};
  std::array<base::Matrix, kMaxBodyBones> palette_{};
  float length_ = 0.0f;
  float max_z_ = 0.0f;
  float scale_ = 1.0f;  // the fish's size factor, from its motion state
  std::array<ChainNode, kChainNodeCount> chain_{};
  base::Matrix body_frame_ = base::identity();
  base::Matrix world_ = base::identity();
  float turn_power_ = 0.0f;
  float turn_strength_ = 0.0f;
  float drift_turn_ = 0.0f;
  float pitch_strength_ = 0.0f;
  BodyClock pitch_clock_;
  BodyClock turn_clock_;
  BodyClock burst_clock_;
  SwimWave wave_;
  BodySpline spline_;
  base::Vec3 displacement_;
};

}  // namespace fish
