#pragma once

#include <array>
#include <cstdint>

#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "base/vector.h"
#include "render/shared_constants.h"
#include "scene/screen_vertex.h"

namespace scene {

// One vertex of the background quad.
using GradientVertex = ScreenVertex;

// The three colours of one phase of the colour cycle: the light and the top
// and bottom of the background gradient, each (r, g, b, 1) in 0..1.
struct PhaseColours {
  base::Vec4 light;
  base::Vec4 top;
  base::Vec4 bottom;
};

// The mood of the tank: one directional light and a two-colour background
// gradient whose colours cycle through six phases. The cycle's settings and
// its saved position live in the colour block of the settings record, which
// this class reads and writes in place.
class Environment {
 public:
  static constexpr std::uint32_t kPhaseCount = 6;

  // Offsets within the colour block.
  enum BlockOffset : std::size_t {
    kBlockFlags = 0,
    kHeldPhase = 4,
    kCyclingPhase = 8,
    kCyclingTime = 12,
    kHeldTime = 16,
    kHoldInterval = 20,  // a duration-slider position
    kAmbientPercent = 24,
    kSpecularPercent = 28,
    kColourTable = 32,  // 18 colours 0x00BBGGRR: six light colours, then top and bottom per phase
  };
  static constexpr std::uint32_t kHoldFlag = 1u << 0;

  // Reads the block at once. The runtime state gives the hold interval's
  // base (durations[1]) and the blend duration (durations[2]).
  explicit Environment(base::UserSettings& settings, const base::RuntimeState& state = base::runtime_state());

  // (Re)reads the phase, its time and the colours from the block: at start
  // and after the settings were imported or reset.
  void set_colour_block();
  // Starts phase k afresh; k above 5 becomes 0.
  void set_phase(std::uint32_t k);
  // Holds the current blend, or resumes cycling from the held one.
  void toggle_hold();
  // A zero or non-finite direction keeps the previous one (straight down at
  // first). height_factor scales the gradient's height.
  void set_light_direction(const base::Vec3& direction, float height_factor);
  void update(float dt);
  void resize(int width, int height);
  // Writes the cycling phase and its time into the block before the
  // settings are saved (zeros while holding).
  void store_state();
  // Recomputes the current colours, the light and the gradient colours from
  // the cycle and the block's percentages, e.g. after the ambient
  // percentage changed.
  void apply();

  const render::Light& light() const { return light_; }
  // Grows each time the light is recomputed, so the host knows to hand it on.
  std::uint64_t light_version() const { return light_version_; }
  // Corners top-left, top-right, bottom-right, bottom-left: a fan of two
  // triangles.
  const std::array<GradientVertex, 4>& gradient() const { return gradient_; }

  std::uint32_t phase() const { return phase_; }
  std::uint32_t next_phase() const { return next_phase_; }
  float phase_time() const { return phase_time_; }
  float hold_time() const { return hold_time_; }
  bool holding() const;
  // Seconds spent in a phase before blending towards the next one.
  std::int64_t hold_interval() const;
  float height_factor() const { return height_factor_; }

  const PhaseColours& phase_colours(std::uint32_t k) const { return colours_[k % kPhaseCount]; }
  const base::Vec4& light_colour() const { return light_colour_; }
  const base::Vec4& top_colour() const { return top_colour_; }
  const base::Vec4& bottom_colour() const { return bottom_colour_; }

 private:
  std::uint32_t block_u32(std::size_t offset) const;
  void set_block_u32(std::size_t offset, std::uint32_t value);
  float block_float(std::size_t offset) const;
  void set_block_float(std::size_t offset, float value);
  // A phase index from the block, 0 when out of range.
  std::uint32_t block_phase(std::size_t offset) const;
  // A phase time from the block, 0 when not a finite, non-negative number.
  float block_time(std::size_t offset) const;
  void start_phase(std::uint32_t k);
  void unpack_colours();
  float blend_duration() const;
  float blend_fraction() const;
  void rebuild_gradient();

  base::UserSettings& settings_;
  const base::RuntimeState& state_;

  std::uint32_t phase_ = 0;
  std::uint32_t next_phase_ = 1;
  float phase_time_ = 0.0f;
  float hold_time_ = 0.0f;
  std::array<PhaseColours, kPhaseCount> colours_{};
  base::Vec4 light_colour_{0, 0, 0, 1};
  base::Vec4 top_colour_{0, 0, 0, 1};
  base::Vec4 bottom_colour_{0, 0, 0, 1};

  render::Light light_;
  std::uint64_t light_version_ = 0;
  std::array<GradientVertex, 4> gradient_{};
  int width_ = 0;
  int height_ = 0;
  float height_factor_ = 1.0f;
};

}  // namespace scene
