#include "scene/environment.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "base/interval_scale.h"

namespace scene {
namespace {

constexpr float kGradientZ = 0.999f;
constexpr float kGradientRhw = 0.001f;

std::uint32_t following(std::uint32_t phase) { return phase >= Environment::kPhaseCount - 1 ? 0 : phase + 1; }

// 0x00BBGGRR as (r, g, b, 1).
base::Vec4 unpack(std::uint32_t colour_ref) {
  const auto channel = [&](int shift) { return static_cast<float>((colour_ref >> shift) & 0xFF) / 255.0f; };
  return {channel(0), channel(8), channel(16), 1.0f};
}

std::uint32_t to_byte(float value) {
  return static_cast<std::uint32_t>(std::clamp(std::lround(value * 255.0f), 0L, 255L));
}

// (r, g, b) as 0xFFRRGGBB.
std::uint32_t pack(const base::Vec4& colour) {
  return 0xFF000000u | to_byte(colour.x) << 16 | to_byte(colour.y) << 8 | to_byte(colour.z);
}

bool usable_direction(const base::Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && base::length_sq(v) > 0.0f;
}

}  // namespace

Environment::Environment(base::UserSettings& settings, const base::RuntimeState& state)
    : settings_(settings), state_(state) {
  rebuild_gradient();
  set_colour_block();
}

std::uint32_t Environment::block_u32(std::size_t offset) const {
  return settings_.u32(base::UserSettings::kColourBlock + offset);
}

void Environment::set_block_u32(std::size_t offset, std::uint32_t value) {
  settings_.set_u32(base::UserSettings::kColourBlock + offset, value);
}

float Environment::block_float(std::size_t offset) const { return std::bit_cast<float>(block_u32(offset)); }

void Environment::set_block_float(std::size_t offset, float value) {
  set_block_u32(offset, std::bit_cast<std::uint32_t>(value));
}

std::uint32_t Environment::block_phase(std::size_t offset) const {
  const std::uint32_t k = block_u32(offset);
  return k < kPhaseCount ? k : 0;
}

float Environment::block_time(std::size_t offset) const {
  const float t = block_float(offset);
  return std::isfinite(t) && t > 0.0f ? t : 0.0f;
}

bool Environment::holding() const { return (block_u32(kBlockFlags) & kHoldFlag) != 0; }

std::int64_t Environment::hold_interval() const {
  return base::interval_seconds(settings_, base::kColourHoldInterval, state_);
}

void Environment::set_colour_block() {
  const bool held = holding();
  phase_ = block_phase(held ? kHeldPhase : kCyclingPhase);
  next_phase_ = following(phase_);
  phase_time_ = block_time(held ? kHeldTime : kCyclingTime);
  hold_time_ = 0.0f;
  unpack_colours();
  apply();
}

void Environment::start_phase(std::uint32_t k) {
  phase_ = k < kPhaseCount ? k : 0;
  next_phase_ = following(phase_);
  phase_time_ = 0.0f;
  hold_time_ = 0.0f;
}

void Environment::set_phase(std::uint32_t k) {
  start_phase(k);
  unpack_colours();
  apply();
}

void Environment::toggle_hold() {
  const std::uint32_t flags = block_u32(kBlockFlags) ^ kHoldFlag;
  set_block_u32(kBlockFlags, flags);
  if ((flags & kHoldFlag) != 0) {
    // The current blend is what stays on screen.
    set_block_u32(kHeldPhase, phase_);
    set_block_float(kHeldTime, phase_time_);
    return;
  }
  phase_ = block_phase(kHeldPhase);
  next_phase_ = following(phase_);
  phase_time_ = block_time(kHeldTime);
  hold_time_ = 0.0f;
  set_block_u32(kHeldPhase, 0);
  set_block_float(kHeldTime, 0.0f);
  apply();
}

void Environment::set_light_direction(const base::Vec3& direction, float height_factor) {
  // normalize gives zero for a zero or NaN vector and NaN for an infinite
  // one; either keeps the direction the light had.
  const base::Vec3 unit = base::normalize(direction);
  if (usable_direction(unit)) light_.direction = unit;
  light_.type = render::LightType::Directional;
  height_factor_ = height_factor;
  rebuild_gradient();
  apply();
}

void Environment::update(float dt) {
  if (holding()) return;
  hold_time_ += dt;
  if (hold_time_ < static_cast<float>(hold_interval())) return;
  phase_time_ += dt;
  if (phase_time_ > blend_duration()) {
    start_phase(next_phase_);
  }
  apply();
}

void Environment::resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  rebuild_gradient();
}

void Environment::store_state() {
  const bool held = holding();
  set_block_u32(kCyclingPhase, held ? 0 : phase_);
  set_block_float(kCyclingTime, held ? 0.0f : phase_time_);
}

void Environment::unpack_colours() {
  for (std::uint32_t k = 0; k < kPhaseCount; ++k) {
    colours_[k].light = unpack(block_u32(kColourTable + 4 * k));
    colours_[k].top = unpack(block_u32(kColourTable + 4 * (kPhaseCount + 2 * k)));
    colours_[k].bottom = unpack(block_u32(kColourTable + 4 * (kPhaseCount + 2 * k + 1)));
  }
}

// A duration that is not positive (or not a number) means the blend
// completes at once.
float Environment::blend_duration() const {
  const float duration = state_.durations[2];
  return duration > 0.0f ? duration : 0.0f;
}

float Environment::blend_fraction() const {
  const float duration = blend_duration();
  if (duration > 0.0f) return std::clamp(phase_time_ / duration, 0.0f, 1.0f);
  return phase_time_ > 0.0f ? 1.0f : 0.0f;
}

void Environment::apply() {
  const float c = blend_fraction();
  const PhaseColours& from = colours_[phase_];
  const PhaseColours& to = colours_[next_phase_];
  light_colour_ = base::lerp(from.light, to.light, c);
  top_colour_ = base::lerp(from.top, to.top, c);
  bottom_colour_ = base::lerp(from.bottom, to.bottom, c);

  const base::Vec4 diffuse{light_colour_.x, light_colour_.y, light_colour_.z, 1.0f};
  const auto scaled = [&](std::size_t percent_offset) {
    const float f = static_cast<float>(block_u32(percent_offset)) / 100.0f;
    return base::Vec4{diffuse.x * f, diffuse.y * f, diffuse.z * f, 1.0f};
  };
  light_.diffuse = diffuse;
  light_.ambient = scaled(kAmbientPercent);
  light_.specular = scaled(kSpecularPercent);
  ++light_version_;

  const std::uint32_t top = pack(top_colour_);
  const std::uint32_t bottom = pack(bottom_colour_);
  gradient_[0].colour = top;
  gradient_[1].colour = top;
  gradient_[2].colour = bottom;
  gradient_[3].colour = bottom;
}

void Environment::rebuild_gradient() {
  const float right = static_cast<float>(width_) + 0.5f;
  const float bottom = static_cast<float>(height_) * height_factor_ + 0.5f;
  const float xs[4] = {-0.5f, right, right, -0.5f};
  const float ys[4] = {-0.5f, -0.5f, bottom, bottom};
  for (int i = 0; i < 4; ++i) {
    gradient_[i].x = xs[i];
    gradient_[i].y = ys[i];
    gradient_[i].z = kGradientZ;
    gradient_[i].rhw = kGradientRhw;
  }
}

}  // namespace scene
