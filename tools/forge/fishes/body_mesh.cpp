#include "forge/fishes/body_mesh.h"

#include <cmath>
#include <numbers>

#include "forge/fishes/mesh_parts.h"

namespace forge::fishes {
namespace {

constexpr int kRings = 44;
constexpr int kAround = 32;

// Rings crowd towards the nose and the tail end, where the shape turns.
float ring_position(int ring) {
  const float s = static_cast<float>(ring) / kRings;
  return 0.5f - 0.5f * std::cos(std::numbers::pi_v<float> * s);
}

}  // namespace

std::unique_ptr<model::MeshNode> make_body(const BodyShape& shape, const model::Material& skin) {
  model::GeometryBuilder builder(kFishFvf);
  builder.begin_subset(skin);
  constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

  VertexGrid grid;
  grid.rows = kRings + 1;
  grid.columns = kAround + 1;  // the last column repeats the first with u = 1
  for (int ring = 0; ring <= kRings; ++ring) {
    const float t = ring_position(ring);
    for (int j = 0; j <= kAround; ++j) {
      const float u = static_cast<float>(j) / kAround;
      const float angle = kTau * u;
      grid.vertices.push_back({shape.surface(t, angle), shape.normal(t, angle), {u, 1.0f - t}});
    }
  }
  const std::uint32_t first = add_grid(builder, grid);

  // The caps: a rounded nose tip and a small disc closing the tail end,
  // which the tail fin covers.
  const float nose_round = 0.6f * std::max(shape.half_height(1.0f), shape.half_width(1.0f));
  std::vector<PartVertex> caps = grid.vertices;
  caps.push_back({{0, shape.centre(1.0f), shape.nose_z() + nose_round}, {0, 0, 1}, {0.5f, 0.0f}});
  caps.push_back({{0, shape.centre(0.0f), shape.tail_end_z()}, {0, 0, -1}, {0.5f, 1.0f}});
  const auto tip = static_cast<std::uint32_t>(caps.size() - 2);
  const auto tail = static_cast<std::uint32_t>(caps.size() - 1);
  builder.add_vertex(caps[tip].position, caps[tip].normal, caps[tip].uv);
  builder.add_vertex(caps[tail].position, caps[tail].normal, caps[tail].uv);
  const auto index = [&](int ring, int j) { return static_cast<std::uint32_t>(ring * grid.columns + j); };
  for (int j = 0; j < kAround; ++j) {
    add_facing_triangle(builder, caps, first, index(kRings, j), index(kRings, j + 1), tip);
    add_facing_triangle(builder, caps, first, index(0, j), tail, index(0, j + 1));
  }
  return builder.build("body");
}

}  // namespace forge::fishes
