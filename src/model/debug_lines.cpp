#include "model/debug_lines.h"

#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "model/mesh_node.h"

namespace model {

namespace {

// The twelve edges over corners numbered as MeshNode::box_corners does.
constexpr std::array<std::uint16_t, 24> kBoxEdges = {0, 1, 2, 3, 4, 5, 6, 7, 0, 2, 1, 3,
                                                     4, 6, 5, 7, 0, 4, 1, 5, 2, 6, 3, 7};

void draw_corners(const std::array<base::Vec3, 8>& corners, LineSink& lines, std::uint32_t colour) {
  std::array<LineVertex, 8> vertices;
  for (std::size_t i = 0; i < 8; ++i) vertices[i] = LineVertex{corners[i], colour};
  lines.draw_lines(vertices, kBoxEdges);
}

}  // namespace

void draw_box_lines(const MeshNode& node, LineSink& lines, std::uint32_t colour) {
  draw_corners(node.box_corners(base::identity()), lines, colour);
}

void draw_subset_box_lines(const MeshNode& node, const base::Matrix& matrix, LineSink& lines, std::uint32_t colour) {
  if (!node.subset_boxes) return;
  for (const Box& box : *node.subset_boxes) {
    std::array<base::Vec3, 8> corners;
    for (int i = 0; i < 8; ++i) {
      const base::Vec3 corner{(i & 4) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                              (i & 1) ? box.max.z : box.min.z};
      corners[static_cast<std::size_t>(i)] = base::transform_coord(corner, matrix);
    }
    draw_corners(corners, lines, colour);
  }
}

void draw_axis_lines(const MeshNode& node, float length, LineSink& lines) {
  const base::Vec3 centre = (node.box.min + node.box.max) * 0.5f;
  const base::Vec3 extent = node.box.max - node.box.min;
  const float x = length != 0.0f ? length : 0.55f * extent.x;
  const float y = length != 0.0f ? length : 0.55f * extent.y;
  const float z = length != 0.0f ? length : 0.55f * extent.z;
  const std::array<LineVertex, 6> vertices = {
      LineVertex{centre, kAxisXColour}, LineVertex{centre + base::Vec3{x, 0, 0}, kAxisXColour},
      LineVertex{centre, kAxisYColour}, LineVertex{centre + base::Vec3{0, y, 0}, kAxisYColour},
      LineVertex{centre, kAxisZColour}, LineVertex{centre + base::Vec3{0, 0, z}, kAxisZColour}};
  lines.draw_lines(vertices, {});
}

void draw_normal_lines(const MeshNode& node, float length, std::uint32_t colour, LineSink& lines) {
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(node.fvf);
  if (!layout || layout->normal_offset < 0 || !node.has_positions()) return;
  if (length == 0.0f) length = 0.05f * base::length(node.box.max - node.box.min);
  std::vector<LineVertex> vertices;
  vertices.reserve(std::size_t{node.vertex_count} * 2);
  for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
    base::Vec3 normal;
    std::memcpy(&normal, node.vertices.bytes().data() + std::size_t{v} * layout->stride + layout->normal_offset,
                sizeof normal);
    const base::Vec3 p = node.position(v);
    vertices.push_back(LineVertex{p, colour});
    vertices.push_back(LineVertex{p + normal * length, colour});
  }
  lines.draw_lines(vertices, {});
}

}  // namespace model
