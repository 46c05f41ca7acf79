#include "platform/vertex_format.h"

namespace gfx {

std::optional<VertexLayout> decode_vertex_format(std::uint32_t fvf) {
  constexpr std::uint32_t kKnownBits = fvf::kPositionMask | fvf::kNormal | fvf::kPointSize | fvf::kDiffuse |
                                       fvf::kSpecular | fvf::kTexCountMask | fvf::kLastBetaUByte4 |
                                       fvf::kLastBetaColor | 0xFFFF0000u;
  if ((fvf & ~kKnownBits) != 0) return std::nullopt;

  VertexLayout layout;
  layout.fvf = fvf;
  std::uint32_t offset = 0;
  const std::uint32_t position = fvf & fvf::kPositionMask;
  switch (position) {
    case 0:
      break;
    case fvf::kXyz:
      layout.position_floats = 3;
      break;
    case fvf::kXyzRhw:
    case fvf::kXyzW:
      layout.position_floats = 4;
      break;
    case fvf::kXyzB1:
    case fvf::kXyzB2:
    case fvf::kXyzB3:
    case fvf::kXyzB4:
    case fvf::kXyzB5:
      layout.position_floats = 3;
      layout.blend_values = static_cast<int>((position - fvf::kXyzRhw) / 2);  // B1 = 0x6 ... B5 = 0xE
      break;
    default:
      return std::nullopt;
  }
  offset += 4u * static_cast<std::uint32_t>(layout.position_floats);
  if (layout.blend_values > 0) {
    layout.blend_offset = static_cast<int>(offset);
    layout.blend_weights = layout.blend_values;
    if (fvf & (fvf::kLastBetaUByte4 | fvf::kLastBetaColor)) {
      layout.blend_indices = true;
      layout.indices_as_color = (fvf & fvf::kLastBetaColor) != 0;
      layout.blend_weights -= 1;
      layout.indices_offset = static_cast<int>(offset) + 4 * layout.blend_weights;
    }
    offset += 4u * static_cast<std::uint32_t>(layout.blend_values);
  }
  if (fvf & fvf::kNormal) {
    layout.normal_offset = static_cast<int>(offset);
    offset += 12;
  }
  if (fvf & fvf::kPointSize) {
    layout.point_size_offset = static_cast<int>(offset);
    offset += 4;
  }
  if (fvf & fvf::kDiffuse) {
    layout.diffuse_offset = static_cast<int>(offset);
    offset += 4;
  }
  if (fvf & fvf::kSpecular) {
    layout.specular_offset = static_cast<int>(offset);
    offset += 4;
  }
  const std::uint32_t sets = (fvf & fvf::kTexCountMask) >> fvf::kTexCountShift;
  if (sets > kMaxTextureSets) return std::nullopt;
  layout.texture_sets = static_cast<int>(sets);
  for (int set = 0; set < layout.texture_sets; ++set) {
    static constexpr int kFloats[4] = {2, 3, 4, 1};
    layout.texture_floats[set] = kFloats[(fvf >> (16 + set * 2)) & 3u];
    layout.texture_offset[set] = static_cast<int>(offset);
    offset += 4u * static_cast<std::uint32_t>(layout.texture_floats[set]);
  }
  layout.stride = offset;
  return layout;
}

std::uint32_t vertex_size(std::uint32_t fvf) {
  std::optional<VertexLayout> layout = decode_vertex_format(fvf);
  return layout ? layout->stride : 0;
}

}  // namespace gfx
