#pragma once

#include <cstdint>
#include <vector>

#include "base/vector.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace forge::fishes {

// Every frame of a fish has one vertex format: position, the blend weight
// and two bone indices of the body's skinning, normal, one texture set.
inline constexpr std::uint32_t kFishFvf =
    gfx::fvf::kXyzB2 | gfx::fvf::kLastBetaUByte4 | gfx::fvf::kNormal | gfx::fvf::tex_count(1);

struct PartVertex {
  base::Vec3 position;
  base::Vec3 normal;
  base::Vec2 uv;
};

// A grid of rows x columns vertices, row after row.
struct VertexGrid {
  int rows = 0;
  int columns = 0;
  std::vector<PartVertex> vertices;
  const PartVertex& at(int row, int column) const {
    return vertices[static_cast<std::size_t>(row * columns + column)];
  }
};

// Adds a triangle that faces the side its vertices' normals point to
// (front faces are clockwise as seen from there).
void add_facing_triangle(model::GeometryBuilder& builder, const std::vector<PartVertex>& vertices,
                         std::uint32_t first, std::uint32_t a, std::uint32_t b, std::uint32_t c);

// Adds the grid's vertices and its quads as facing triangles; returns the
// index of its first vertex.
std::uint32_t add_grid(model::GeometryBuilder& builder, const VertexGrid& grid);

// A thin double-sided sheet: the grid as its front (normals as given,
// moved out by `thickness` x the row's share of it) and a mirror copy as
// its back (normals reversed), so both sides light correctly with back
// faces culled. thickness_by_row has one value per row.
void add_sheet(model::GeometryBuilder& builder, const VertexGrid& grid, const std::vector<float>& thickness_by_row);

// The positions of a sheet's vertices in the order add_sheet adds them.
std::vector<base::Vec3> sheet_positions(const VertexGrid& grid, const std::vector<float>& thickness_by_row);

}  // namespace forge::fishes
