#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/vector.h"

namespace forge::fishes {

// The control types of the deformer list.
enum class ControlType : std::uint8_t { Static = 0, BoxWave = 1, Hinge = 2, Morph = 3, Eyes = 4 };

// One entry: the frame it moves, its control type, its part number (0:
// taken from the frame's name) and its parameter record.
struct DeformerEntry {
  std::string frame;
  ControlType type = ControlType::Static;
  std::uint8_t part = 0;
  std::vector<std::uint8_t> record;
};

// The list as the root frame's "DEFO" tag data: u32 count, then per entry
// u8 name length, the name, u8 type, u8 part, u32 record size and the
// record.
std::vector<std::uint8_t> encode_deformer_list(const std::vector<DeformerEntry>& entries);

// Parameter records (little-endian words).
struct BoxWaveRecord {  // 60 bytes
  float second_ratio = 0.0f;
  float falloff_ratio = 0.0f;
  float main_length = 1.0f;
  float wave_size = 0.0f;
  float speed = 1.0f;
  float frequency = 1.0f;
  std::uint32_t main_axis = 2;
  std::uint32_t falloff_axis = 2;
  std::uint32_t wave_axis = 0;
  base::Vec3 min;
  base::Vec3 max;
};
std::vector<std::uint8_t> encode(const BoxWaveRecord& record);

struct HingeRecord {  // 68 bytes
  std::uint32_t flags = 0x4;  // bit 0: box and hinge point given
  float frequency = 1.0f;
  std::uint32_t axis = 1;
  float wave_number = 0.04f;
  float up_rest = 10.0f;  // degrees
  float down_rest = 0.0f;
  float up_full = 90.0f;
  float down_full = 60.0f;
  base::Vec3 box_min;
  base::Vec3 box_max;
  base::Vec3 hinge;
};
std::vector<std::uint8_t> encode(const HingeRecord& record);

inline constexpr std::uint32_t kMorphEase = 0x2;
inline constexpr std::uint32_t kMorphLoop = 0x4;
struct MorphRecord {  // 24 bytes
  std::uint32_t flags = 0x10006;
  float duration = 1.0f;
  float speed_min = 1.0f;
  float speed_max = 1.0f;
  float hold_min = 1.0f;
  float hold_max = 1.0f;
};
std::vector<std::uint8_t> encode(const MorphRecord& record);

struct EyesRecord {  // 44 bytes
  std::uint32_t flags = 0x4;  // bit 0: centres given
  float max_turn = 0.25f;
  float max_tilt = 0.25f;
  float pause_min = 0.0f;
  float pause_max = 1.0f;
  base::Vec3 left_centre;
  base::Vec3 right_centre;
};
std::vector<std::uint8_t> encode(const EyesRecord& record);

}  // namespace forge::fishes
