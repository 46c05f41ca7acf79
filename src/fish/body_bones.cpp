#include "fish/body_bones.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/vertex_format.h"

namespace fish {

namespace {

constexpr double kSectionFractions[kChainNodeCount] = {0.35, 0.3, 0.175, 0.175, 0.0};

// The own-bone weight at a distance of `t` bone lengths from the shared
// end (0.5 there, 1 at the middle): a smooth step over the half bone.
float half_bone_weight(float t) {
  const float s = t + 0.5f;
  return (3.0f - 2.0f * s) * s * s;
}

}  // namespace

BoneLayout layout_bones(float min_z, float max_z, std::uint32_t spine_segments) {
  std::uint32_t segments = spine_segments == 0 ? kDefaultSpineSegments : spine_segments;
  segments = std::min(segments, kMaxSpineSegments);
  const double length = max_z > min_z ? static_cast<double>(max_z) - static_cast<double>(min_z) : 0.0;

  BoneLayout layout;
  double z = max_z;
  for (int section = 0; section < kChainNodeCount; ++section) {
    // The section's share in segment lengths, fraction x length / (length /
    // (segments + 1)), taken without the length so a flat model still gets
    // its bones; the small bias keeps exact multiples such as 0.35 x 20 from
    // rounding down.
    const double share = kSectionFractions[section] * static_cast<double>(segments + 1);
    const int count = std::max(1, static_cast<int>(std::floor(share + 1e-6)));
    const double bone_length = kSectionFractions[section] * length / count;
    layout.anchors[section] = layout.count;
    for (int i = 0; i < count && layout.count < kMaxBodyBones; ++i) {
      layout.bones[layout.count++] = {static_cast<float>(z), static_cast<float>(bone_length)};
      z -= bone_length;
    }
  }
  return layout;
}

VertexBlend vertex_blend(float z, std::span<const BoneRest> bones) {
  VertexBlend blend;
  const int count = static_cast<int>(bones.size());
  if (count == 0) return blend;

  // The own bone: the first of non-zero length whose range holds z, the
  // first bone above the head and the last real bone below the tail. A bone
  // of length 0 holds no range: dividing by its length would give no weight.
  int own = -1;
  int last_real = -1;
  for (int i = 0; i < count; ++i) {
    const BoneRest& bone = bones[i];
    if (!(bone.length > 0.0f)) continue;
    last_real = i;
    if (own < 0 && z <= bone.start_z + kBoneRangeTolerance &&
        z >= bone.start_z - bone.length - kBoneRangeTolerance) {
      own = i;
    }
  }
  if (last_real < 0) return blend;  // a flat spine: everything on bone 0
  if (own < 0) own = z > bones[0].start_z ? 0 : last_real;
  if (own < 0 || !(bones[own].length > 0.0f)) own = last_real;

  const BoneRest& bone = bones[own];
  const float e = std::clamp((bone.start_z - z) / bone.length, 0.0f, 1.0f);
  blend.bone = static_cast<std::uint8_t>(own);
  blend.neighbour = blend.bone;
  if (e < 0.5f && own > 0) {
    blend.neighbour = static_cast<std::uint8_t>(own - 1);
    blend.weight = half_bone_weight(e);
  } else if (e > 0.5f && own < count - 1) {
    blend.neighbour = static_cast<std::uint8_t>(own + 1);
    blend.weight = half_bone_weight(1.0f - e);
  }
  return blend;
}

bool write_vertex_blends(std::span<std::uint8_t> vertices, std::uint32_t vertex_count,
                         const gfx::VertexLayout& layout, std::span<const BoneRest> bones) {
  if (layout.blend_weights < 1 || !layout.blend_indices || layout.blend_offset < 0 || layout.indices_offset < 0 ||
      layout.stride == 0 || layout.position_floats < 3) {
    return false;
  }
  if (vertices.size() / layout.stride < vertex_count) return false;

  // Colour-ordered index bytes are read as B, G, R, A: index i sits in
  // byte 2, 1, 0, 3.
  static constexpr std::size_t kColourOrder[4] = {2, 1, 0, 3};
  const int index_count = std::min(layout.blend_weights + 1, 4);
  for (std::uint32_t v = 0; v < vertex_count; ++v) {
    std::uint8_t* vertex = vertices.data() + static_cast<std::size_t>(v) * layout.stride;
    float z = 0.0f;
    std::memcpy(&z, vertex + 8, sizeof z);
    const VertexBlend blend = vertex_blend(z, bones);
    // The first weight is the own bone's; any further weights are 0, so the
    // implied last weight, 1 - weight, goes to the neighbour named by every
    // index after the first.
    for (int w = 0; w < layout.blend_weights; ++w) {
      const float value = w == 0 ? blend.weight : 0.0f;
      std::memcpy(vertex + layout.blend_offset + 4 * w, &value, sizeof value);
    }
    std::uint8_t* indices = vertex + layout.indices_offset;
    for (int i = 0; i < index_count; ++i) {
      const std::size_t at = layout.indices_as_color ? kColourOrder[i] : static_cast<std::size_t>(i);
      indices[at] = i == 0 ? blend.bone : blend.neighbour;
    }
  }
  return true;
}

}  // namespace fish
