#include "forge/fishes/mesh_parts.h"

namespace forge::fishes {

void add_facing_triangle(model::GeometryBuilder& builder, const std::vector<PartVertex>& vertices,
                         std::uint32_t first, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  const PartVertex& va = vertices[a];
  const PartVertex& vb = vertices[b];
  const PartVertex& vc = vertices[c];
  const base::Vec3 face = base::cross(vb.position - va.position, vc.position - va.position);
  const base::Vec3 facing = va.normal + vb.normal + vc.normal;
  // Clockwise as seen from the front makes the face's cross product point
  // at the viewer in these left-handed coordinates.
  if (base::dot(face, facing) >= 0.0f) {
    builder.add_triangle(first + a, first + b, first + c);
  } else {
    builder.add_triangle(first + a, first + c, first + b);
  }
}

std::uint32_t add_grid(model::GeometryBuilder& builder, const VertexGrid& grid) {
  const std::uint32_t first = builder.vertex_count();
  for (const PartVertex& v : grid.vertices) builder.add_vertex(v.position, v.normal, v.uv);
  const auto index = [&](int row, int column) { return static_cast<std::uint32_t>(row * grid.columns + column); };
  for (int r = 0; r + 1 < grid.rows; ++r) {
    for (int c = 0; c + 1 < grid.columns; ++c) {
      add_facing_triangle(builder, grid.vertices, first, index(r, c), index(r + 1, c), index(r + 1, c + 1));
      add_facing_triangle(builder, grid.vertices, first, index(r, c), index(r + 1, c + 1), index(r, c + 1));
    }
  }
  return first;
}

namespace {

VertexGrid offset_grid(const VertexGrid& grid, const std::vector<float>& thickness_by_row, float side) {
  VertexGrid out = grid;
  for (int r = 0; r < grid.rows; ++r) {
    const float offset = thickness_by_row[static_cast<std::size_t>(r)] * side;
    for (int c = 0; c < grid.columns; ++c) {
      PartVertex& v = out.vertices[static_cast<std::size_t>(r * grid.columns + c)];
      v.position = v.position + v.normal * offset;
      v.normal = v.normal * side;
    }
  }
  return out;
}

}  // namespace

void add_sheet(model::GeometryBuilder& builder, const VertexGrid& grid, const std::vector<float>& thickness_by_row) {
  add_grid(builder, offset_grid(grid, thickness_by_row, 1.0f));
  add_grid(builder, offset_grid(grid, thickness_by_row, -1.0f));
}

std::vector<base::Vec3> sheet_positions(const VertexGrid& grid, const std::vector<float>& thickness_by_row) {
  std::vector<base::Vec3> positions;
  for (float side : {1.0f, -1.0f}) {
    for (const PartVertex& v : offset_grid(grid, thickness_by_row, side).vertices) positions.push_back(v.position);
  }
  return positions;
}

}  // namespace forge::fishes
