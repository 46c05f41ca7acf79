#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace gfx {
struct VertexLayout;
}

namespace fish {

// The skinning shaders hold 20 bone matrices; a spine never has more bones.
inline constexpr int kMaxBodyBones = 20;
// The body is a chain of five points, head first; each starts a section
// of the spine.
inline constexpr int kChainNodeCount = 5;
inline constexpr std::uint32_t kDefaultSpineSegments = 8;
// The most segments whose bones still fit the palette: 22 segments would
// need 23 bones.
inline constexpr std::uint32_t kMaxSpineSegments = 21;
// Vertices this close to a bone's range count as inside it.
inline constexpr float kBoneRangeTolerance = 0.0001f;

// A bone at rest along the model's length axis (+z, head at the larger z):
// it starts at start_z and runs `length` towards the tail.
struct BoneRest {
  float start_z = 0.0f;
  float length = 0.0f;
  friend bool operator==(const BoneRest&, const BoneRest&) = default;
};

// The bones of a spine from head to tail. The sections take 0.35, 0.3,
// 0.175, 0.175 and 0 of the length; the last section is one bone of length 0
// at the tail end. anchors[k] is the first bone of section k, where chain
// node k sits.
struct BoneLayout {
  std::array<BoneRest, kMaxBodyBones> bones{};
  int count = 0;
  std::array<int, kChainNodeCount> anchors{};

  std::span<const BoneRest> view() const { return {bones.data(), static_cast<std::size_t>(count)}; }
};

// Lays out the bones of a model spanning min_z..max_z on its length axis.
// spine_segments 0 means the default of 8; more than 21 is taken as 21. An
// empty or inverted range gives bones of length 0 at max_z.
BoneLayout layout_bones(float min_z, float max_z, std::uint32_t spine_segments);

// How one vertex is skinned: `weight` on its own bone, 1 - weight on the
// neighbour (the neighbour equals the bone when the weight is 1).
struct VertexBlend {
  std::uint8_t bone = 0;
  std::uint8_t neighbour = 0;
  float weight = 1.0f;
  friend bool operator==(const VertexBlend&, const VertexBlend&) = default;
};

// The blend of a vertex at z. The vertex belongs to the bone whose range
// holds z (beyond the ends: the first or the last bone of non-zero length);
// e is its distance from the bone's start in bone lengths. In the bone's
// head half it shares with the previous bone, in its tail half with the
// next, with a smooth step that gives 1 at the bone's middle and 0.5 at
// its ends, so both bones agree on every boundary vertex.
VertexBlend vertex_blend(float z, std::span<const BoneRest> bones);

// Writes the blend of every vertex (from its position's z) into its blend
// fields: the own weight as the first blend weight, any further weights 0,
// the own bone as the first index and the neighbour as every later one, so
// the implied last weight 1 - weight goes to the neighbour. The format needs
// a weight and the index bytes; otherwise, or when the buffer holds fewer
// than vertex_count vertices, nothing is written and the result is false.
bool write_vertex_blends(std::span<std::uint8_t> vertices, std::uint32_t vertex_count,
                         const gfx::VertexLayout& layout, std::span<const BoneRest> bones);

}  // namespace fish
