#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/vector.h"

namespace forge::scenery {

// Where a tentacle grows: its root on the anemone's oral disc and the
// direction it reaches in (model space).
struct TentacleRoot {
  base::Vec3 position;
  base::Vec3 direction;
};

// The data of the anemone's "ACTI" tag: the 32 parameter words, the six node
// heights of a tentacle (tip to root, fractions of the tentacle's height),
// then the roots and their growth directions.
struct AnemoneData {
  std::uint32_t bones_per_vertex = 2;
  float bone_reach = 0.5f;    // a bone farther from a vertex than this gets no weight
  float root_height = 0.02f;  // vertices below it move with the root alone
  float buoyancy = 0.3f;      // push along the growth direction (the jitter length)
  float particle_mass = 1.0f;
  float slack = 0.1f;
  float unused_word6 = 0.1f;
  float stiffness = 2.0f;
  float damping = 0.0003f;
  float time_step = 0.04f;
  float current = 1.0f;
  float side_spread = 0.0f;
  std::array<float, 2> height_scale{1.0f, 0.6f};  // maximum, minimum
  std::array<float, 2> width_scale{1.0f, 0.75f};
  std::array<float, 2> shade_scale{1.0f, 0.55f};
  std::uint32_t base_colour = 0x00E8F0FF;  // 0x00BBGGRR
  std::uint32_t glow_colour = 0x00CC99D9;
  std::array<float, 6> node_heights{0.93f, 0.81f, 0.63f, 0.41f, 0.24f, 0.001f};
  std::vector<TentacleRoot> roots;
};

inline constexpr std::size_t kAnemoneParamBytes = 128;

// The tag data, little-endian: 128 bytes of parameters (words 12 to 23
// zero), 24 bytes of node heights, the root count, the positions, then the
// directions.
std::vector<std::uint8_t> encode_anemone_data(const AnemoneData& data);

}  // namespace forge::scenery
