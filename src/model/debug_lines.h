#pragma once

#include <cstdint>
#include <span>

#include "base/matrix.h"
#include "base/vector.h"
#include "platform/vertex_format.h"

namespace model {

class MeshNode;

// A vertex of a debug line: position and colour (0xAARRGGBB), 16 bytes.
struct LineVertex {
  base::Vec3 position;
  std::uint32_t colour = 0;
};
static_assert(sizeof(LineVertex) == 16);
inline constexpr std::uint32_t kLineVertexFormat = gfx::fvf::kXyz | gfx::fvf::kDiffuse;

// Draws line lists with the current transforms: pairs of vertices, or pairs
// of indices into them when indices are given.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void draw_lines(std::span<const LineVertex> vertices, std::span<const std::uint16_t> indices) = 0;
};

inline constexpr std::uint32_t kAxisXColour = 0xFFFF0000;
inline constexpr std::uint32_t kAxisYColour = 0xFF00FF00;
inline constexpr std::uint32_t kAxisZColour = 0xFF0000FF;

// The node's box as twelve lines over its eight corners (node space).
void draw_box_lines(const MeshNode& node, LineSink& lines, std::uint32_t colour);
// Each subset box, its corners transformed by matrix.
void draw_subset_box_lines(const MeshNode& node, const base::Matrix& matrix, LineSink& lines, std::uint32_t colour);
// Lines from the box centre along x, y and z (red, green, blue) of the given
// length, or of 0.55 x the box's extent on that axis when length is 0.
void draw_axis_lines(const MeshNode& node, float length, LineSink& lines);
// One line per vertex from its position along its normal times length
// (0: 0.05 x the box diagonal). Nothing for a format without normals.
void draw_normal_lines(const MeshNode& node, float length, std::uint32_t colour, LineSink& lines);

}  // namespace model
