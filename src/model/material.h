#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/vector.h"

namespace model {

class MeshTexture;

// How a material's subsets are drawn, from its 92-byte record:
//   0 diffuse, 16 ambient, 32 specular, 48 emissive (r, g, b, a floats each),
//   64 f32 specular power, 68 u8 cull mode, 69 u8 alpha blending,
//   70 u8 source blend, 71 u8 destination blend, 72 u32 texture alpha,
//   76 16 reserved bytes.
struct Material {
  static constexpr std::size_t kRecordSize = 92;

  base::Vec4 diffuse;  // r, g, b, a in x, y, z, w
  base::Vec4 ambient;
  base::Vec4 specular;
  base::Vec4 emissive;
  float power = 0.0f;
  // 1 none, 2 clockwise, 3 counter-clockwise (the device's cull values);
  // 0 hides the subsets from drawing and picking.
  std::uint8_t cull = 3;
  std::uint8_t blend = 0;  // 1: alpha blending on
  std::uint8_t src_blend = 0;
  std::uint8_t dest_blend = 0;
  // Non-zero when the texture carries alpha; reading such a record turns
  // blending on with source alpha over inverse source alpha.
  std::uint32_t texture_alpha = 0;

  // The texture name as stored (empty: no texture) and the texture it named,
  // when it was found.
  std::string texture_name;
  std::shared_ptr<MeshTexture> texture;

  bool drawn() const { return cull != 0; }
  bool transparent() const { return cull != 0 && blend != 0; }
};

}  // namespace model
