#include "forge/fishes/fins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/fishes/mesh_parts.h"
#include "forge/fishes/profile.h"

namespace forge::fishes {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

std::vector<float> thickness(const VertexGrid& grid, float at_base, float at_edge) {
  std::vector<float> rows;
  for (int r = 0; r < grid.rows; ++r) {
    const float s = static_cast<float>(r) / static_cast<float>(std::max(grid.rows - 1, 1));
    rows.push_back(at_base + (at_edge - at_base) * s);
  }
  return rows;
}

VertexGrid tail_grid(const BodyShape& shape) {
  const FishKind& kind = shape.kind();
  const float length = shape.length();
  constexpr int kRows = 10;
  constexpr int kColumns = 17;
  const float base_z = shape.tail_end_z() + 0.045f * length;
  const float tail_length = base_z - shape.tail_tip_z();
  const float base_span = shape.half_height(0.05f) * 0.8f;
  const float span = kind.tail_span * length;
  const float centre = shape.centre(0.0f);
  VertexGrid grid{kRows, kColumns, {}};
  for (int row = 0; row < kRows; ++row) {
    const float s = static_cast<float>(row) / (kRows - 1);
    for (int column = 0; column < kColumns; ++column) {
      const float u = static_cast<float>(column) / (kColumns - 1);
      const float r = 2.0f * u - 1.0f;
      float reach = 1.0f;
      if (kind.tail == TailShape::Forked) {
        reach = 1.0f - kind.fork * std::pow(1.0f - std::fabs(r), 1.3f);
      } else {
        reach = 0.8f + 0.2f * std::sqrt(std::max(0.0f, 1.0f - r * r));
      }
      // The span opens quickly behind the peduncle; forked lobes sweep back.
      const float open = std::pow(s, 0.65f);
      const float height = base_span + (span - base_span) * open;
      const float z = base_z - s * tail_length * reach;
      grid.vertices.push_back({{0.0f, centre + r * height, z}, {1, 0, 0}, {u, s}});
    }
  }
  return grid;
}

VertexGrid median_grid(const BodyShape& shape, const MedianFin& fin, bool upward, float fold) {
  constexpr int kRows = 7;
  constexpr int kColumns = 16;
  const float length = shape.length();
  const float direction = upward ? 1.0f : -1.0f;
  VertexGrid grid{kRows, kColumns, {}};
  for (int row = 0; row < kRows; ++row) {
    const float s = static_cast<float>(row) / (kRows - 1);
    for (int column = 0; column < kColumns; ++column) {
      const float u = static_cast<float>(column) / (kColumns - 1);
      const float t = fin.from + (fin.to - fin.from) * u;
      // The base sits a little inside the body so no gap shows.
      const float base_y = shape.centre(t) + direction * shape.half_height(t) * 0.9f;
      const float height = std::max(sample(fin.height, u), 0.0f) * length * (1.0f - 0.55f * fold);
      const float rake = fin.rake + 1.6f * fold;
      const float y = base_y + direction * s * height;
      const float z = shape.z_at(t) - rake * s * height;
      grid.vertices.push_back({{0.0f, y, z}, {1, 0, 0}, {u, s}});
    }
  }
  return grid;
}

base::Vec3 paired_base(const BodyShape& shape, const PairedFin& fin, float side) {
  const float angle = 2.0f * kPi * fin.around;
  base::Vec3 p = shape.surface(fin.at, angle);
  p.x = std::fabs(p.x) * side * 0.92f;
  return p;
}

VertexGrid paired_grid(const BodyShape& shape, const PairedFin& fin, float side) {
  constexpr int kRows = 7;
  constexpr int kColumns = 9;
  const float length = shape.length();
  const base::Vec3 base = paired_base(shape, fin, side);
  const base::Vec3 direction = base::normalize(base::Vec3{fin.direction.x * side, fin.direction.y, fin.direction.z});
  // The base runs along the body's surface, about vertically, tilted back a
  // little so the fin sits at an angle.
  const base::Vec3 along_base = base::normalize(base::Vec3{0.0f, 1.0f, -0.35f});
  const base::Vec3 normal = base::normalize(base::cross(along_base, direction)) * side;
  VertexGrid grid{kRows, kColumns, {}};
  for (int row = 0; row < kRows; ++row) {
    const float s = static_cast<float>(row) / (kRows - 1);
    for (int column = 0; column < kColumns; ++column) {
      const float u = static_cast<float>(column) / (kColumns - 1);
      const float rounded = 0.55f + 0.45f * std::sin(kPi * u);
      const float pointed = 0.3f + 0.7f * std::pow(u, 1.5f);
      const float reach = fin.length * length * (pointed + (rounded - pointed) * fin.roundness);
      // The rays fan out a little towards the edge.
      const float fan = 1.0f + 0.5f * s;
      base::Vec3 p = base + along_base * ((u - 0.5f) * fin.base * length * fan) + direction * (s * reach);
      p = p + normal * (0.08f * reach * s * s);  // a gentle cup
      grid.vertices.push_back({p, normal, {u, s}});
    }
  }
  return grid;
}

std::unique_ptr<model::MeshNode> build_sheet(const VertexGrid& grid, const std::vector<float>& rows,
                                             const model::Material& material, const char* name) {
  model::GeometryBuilder builder(kFishFvf);
  builder.begin_subset(material);
  add_sheet(builder, grid, rows);
  return builder.build(name);
}

}  // namespace

std::unique_ptr<model::MeshNode> make_tail(const BodyShape& shape, const model::Material& material) {
  const VertexGrid grid = tail_grid(shape);
  return build_sheet(grid, thickness(grid, 0.012f * shape.length(), 0.002f * shape.length()), material, "tail");
}

std::unique_ptr<model::MeshNode> make_median_fin(const BodyShape& shape, const MedianFin& fin, bool upward,
                                                 float fold, const model::Material& material, const char* name) {
  const VertexGrid grid = median_grid(shape, fin, upward, fold);
  return build_sheet(grid, thickness(grid, 0.008f * shape.length(), 0.0015f * shape.length()), material, name);
}

std::vector<base::Vec3> median_fin_positions(const BodyShape& shape, const MedianFin& fin, bool upward, float fold) {
  const VertexGrid grid = median_grid(shape, fin, upward, fold);
  return sheet_positions(grid, thickness(grid, 0.008f * shape.length(), 0.0015f * shape.length()));
}

std::unique_ptr<model::MeshNode> make_pectoral(const BodyShape& shape, float side, const model::Material& material,
                                               const char* name) {
  const VertexGrid grid = paired_grid(shape, shape.kind().pectoral, side);
  return build_sheet(grid, thickness(grid, 0.006f * shape.length(), 0.0015f * shape.length()), material, name);
}

base::Vec3 pectoral_hinge(const BodyShape& shape, float side) { return paired_base(shape, shape.kind().pectoral, side); }

std::unique_ptr<model::MeshNode> make_ventral(const BodyShape& shape, const model::Material& material) {
  model::GeometryBuilder builder(kFishFvf);
  builder.begin_subset(material);
  for (float side : {1.0f, -1.0f}) {
    const VertexGrid grid = paired_grid(shape, shape.kind().ventral, side);
    add_sheet(builder, grid, thickness(grid, 0.005f * shape.length(), 0.0015f * shape.length()));
  }
  return builder.build("ventral");
}

}  // namespace forge::fishes
