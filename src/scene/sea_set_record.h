#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/vector.h"

namespace scene {

// The parameters a sea set gives the camera, the light and the water light
// pattern: 28 little-endian words ("SeaSet.BW"). Words nobody reads are
// carried along.
class SeaSetRecord {
 public:
  static constexpr std::size_t kBytes = 112;
  static constexpr std::size_t kWords = kBytes / 4;

  // Copies the first min(size, 112) bytes over the record; the rest keep
  // their values (those of the previous tank).
  void assign(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> encode() const;

  float word(std::size_t index) const { return index < kWords ? words_[index] : 0.0f; }
  void set_word(std::size_t index, float value) {
    if (index < kWords) words_[index] = value;
  }
  const std::array<float, kWords>& words() const { return words_; }

  float field_of_view() const { return words_[0]; }
  float near_plane() const { return words_[1]; }
  float far_plane() const { return words_[2]; }
  base::Vec3 home_position() const { return {words_[3], words_[4], words_[5]}; }
  // Pitch, yaw, roll.
  base::Vec3 home_angles() const { return {words_[6], words_[7], words_[8]}; }
  base::Vec3 light_direction() const { return {words_[16], words_[17], words_[18]}; }
  base::Vec2 pattern_scale() const { return {words_[23], words_[24]}; }
  float pattern_rate() const { return words_[25]; }
  base::Vec2 pattern_scroll() const { return {words_[26], words_[27]}; }

  void set_camera(float fov, float near_plane, float far_plane, const base::Vec3& position,
                  const base::Vec3& angles);
  void set_light_direction(const base::Vec3& direction);
  void set_pattern(const base::Vec2& scale, float rate, const base::Vec2& scroll);

 private:
  std::array<float, kWords> words_{};
};

}  // namespace scene
