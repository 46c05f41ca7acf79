#pragma once

#include <cstdint>
#include <optional>

namespace gfx {

// Flexible vertex format words: which fields a vertex has, in this order in
// memory: position (with blend weights), normal, point size, diffuse colour,
// specular colour, then up to eight texture coordinate sets of one to four
// floats. The numbers are those stored in mesh files.
namespace fvf {
inline constexpr std::uint32_t kPositionMask = 0x400E;
inline constexpr std::uint32_t kXyz = 0x0002;
inline constexpr std::uint32_t kXyzRhw = 0x0004;
inline constexpr std::uint32_t kXyzB1 = 0x0006;  // one blend value after the position
inline constexpr std::uint32_t kXyzB2 = 0x0008;
inline constexpr std::uint32_t kXyzB3 = 0x000A;
inline constexpr std::uint32_t kXyzB4 = 0x000C;
inline constexpr std::uint32_t kXyzB5 = 0x000E;
inline constexpr std::uint32_t kXyzW = 0x4002;
inline constexpr std::uint32_t kNormal = 0x0010;
inline constexpr std::uint32_t kPointSize = 0x0020;
inline constexpr std::uint32_t kDiffuse = 0x0040;
inline constexpr std::uint32_t kSpecular = 0x0080;
inline constexpr std::uint32_t kTexCountMask = 0x0F00;
inline constexpr std::uint32_t kTexCountShift = 8;
// The last blend value holds four byte-sized bone indices instead of a weight
// (as UBYTE4, or as a colour value with the bytes in B, G, R, A order).
inline constexpr std::uint32_t kLastBetaUByte4 = 0x1000;
inline constexpr std::uint32_t kLastBetaColor = 0x8000;

constexpr std::uint32_t tex_count(std::uint32_t n) { return n << kTexCountShift; }
// The size code of texture set `set`: 0 two floats, 1 three, 2 four, 3 one.
constexpr std::uint32_t tex_size2(int set) { return 0u << (16 + set * 2); }
constexpr std::uint32_t tex_size3(int set) { return 1u << (16 + set * 2); }
constexpr std::uint32_t tex_size4(int set) { return 2u << (16 + set * 2); }
constexpr std::uint32_t tex_size1(int set) { return 3u << (16 + set * 2); }
}  // namespace fvf

inline constexpr int kMaxTextureSets = 8;

// Where each field of a vertex format lies; an offset of -1 means the format
// has no such field.
struct VertexLayout {
  std::uint32_t fvf = 0;
  std::uint32_t stride = 0;
  int position_floats = 0;  // 3, or 4 for a transformed or w position
  int blend_values = 0;     // floats after the position, indices included
  int blend_weights = 0;    // of those, the weights
  bool blend_indices = false;
  bool indices_as_color = false;  // indices stored in B, G, R, A byte order
  int blend_offset = -1;
  int indices_offset = -1;
  int normal_offset = -1;
  int point_size_offset = -1;
  int diffuse_offset = -1;
  int specular_offset = -1;
  int texture_sets = 0;
  int texture_floats[kMaxTextureSets] = {};
  int texture_offset[kMaxTextureSets] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

// The layout of a format word, or nullopt for a word with unknown bits, a
// position code that does not exist, or more than eight texture sets. A
// format without a position is valid (its position_floats is 0).
std::optional<VertexLayout> decode_vertex_format(std::uint32_t fvf);

// The size of one vertex of the format, 0 for an invalid word.
std::uint32_t vertex_size(std::uint32_t fvf);

}  // namespace gfx
