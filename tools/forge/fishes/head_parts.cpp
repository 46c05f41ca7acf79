#include "forge/fishes/head_parts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/fishes/mesh_parts.h"

namespace forge::fishes {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kLipSegments = 20;

// The eye's middle on the +x side; the left eye mirrors it.
base::Vec3 eye_centre(const BodyShape& shape) {
  const float t = shape.kind().eye_at;
  const float radius = shape.kind().eye_radius * shape.length();
  const float up = 0.62f;  // around the section: a little above the middle
  const base::Vec3 surface = shape.surface(t, up * kPi);
  // Half sunk in: the flattened sphere stands a third of its radius proud.
  return {surface.x - 0.34f * radius, surface.y, surface.z};
}

struct LipRing {
  float scale_x;  // of the lips' half width
  float scale_y;  // of the opening's half height
  float back;     // behind the front, in half widths
  float forward;  // how far the open mouth pushes forward
};

// Front rim, outer lip, the lip's inner side and the throat's rim.
constexpr LipRing kRings[] = {
    {1.45f, 1.25f, 1.6f, 0.0f}, {1.2f, 1.1f, 0.55f, 0.45f}, {1.0f, 1.0f, 0.0f, 1.0f}, {0.7f, 0.7f, 0.3f, 0.9f}};
constexpr int kRingCount = 4;

base::Vec3 lips_centre(const BodyShape& shape) {
  const float half_height = shape.half_height(0.97f);
  return {0.0f, shape.centre(1.0f) - 0.3f * half_height, shape.nose_z() + 0.25f * half_height};
}

std::vector<PartVertex> lip_vertices(const BodyShape& shape, float open) {
  const float width = shape.kind().mouth_size * shape.length();
  const float opening = width * (0.18f + 0.72f * open);
  const base::Vec3 centre = lips_centre(shape);
  std::vector<PartVertex> vertices;
  for (int ring = 0; ring < kRingCount; ++ring) {
    const LipRing& lip = kRings[ring];
    for (int j = 0; j <= kLipSegments; ++j) {
      const float u = static_cast<float>(j) / kLipSegments;
      const float angle = 2.0f * kPi * u;
      // The back ring keeps its size: it is fixed in the head.
      const float half_y = ring == 0 ? width * 0.9f : opening * lip.scale_y;
      const float x = std::sin(angle) * width * lip.scale_x * (ring == 0 ? 1.0f : 1.0f + 0.15f * open);
      const float y = -std::cos(angle) * half_y;
      const float z = -lip.back * width + lip.forward * open * 0.5f * width;
      const base::Vec3 radial = base::normalize(base::Vec3{std::sin(angle), -std::cos(angle), 0.0f});
      const base::Vec3 normal =
          ring < 2 ? base::normalize(radial + base::Vec3{0, 0, 0.6f}) : base::normalize(base::Vec3{0, 0, 1} - radial);
      // The lips sample the skin at the nose, all around.
      vertices.push_back({centre + base::Vec3{x, y, z}, normal, {u, 0.01f}});
    }
  }
  // The throat: a dark disc behind the lips, drawn with the pupil's black.
  const base::Vec3 throat{0.0f, 0.0f, -0.8f * width};
  vertices.push_back({centre + throat, {0, 0, 1}, {0.5f, 0.5f}});
  for (int j = 0; j <= kLipSegments; ++j) {
    const float angle = 2.0f * kPi * static_cast<float>(j) / kLipSegments;
    const float x = std::sin(angle) * width * 0.8f;
    const float y = -std::cos(angle) * std::max(opening * 0.8f, width * 0.2f);
    vertices.push_back({centre + throat + base::Vec3{x, y, 0.1f * width}, {0, 0, 1}, {0.5f, 0.5f}});
  }
  return vertices;
}

}  // namespace

std::unique_ptr<model::MeshNode> make_eyes(const BodyShape& shape, const model::Material& material) {
  constexpr int kRingsPerEye = 10;
  constexpr int kSegments = 16;
  const float radius = shape.kind().eye_radius * shape.length();
  const base::Vec3 centre = eye_centre(shape);
  model::GeometryBuilder builder(kFishFvf);
  builder.begin_subset(material);
  for (float side : {-1.0f, 1.0f}) {
    VertexGrid grid{kRingsPerEye + 1, kSegments + 1, {}};
    // Rings around the outward axis (x on the eye's side), from the front
    // pole of the disc to the back.
    for (int ring = 0; ring <= kRingsPerEye; ++ring) {
      const float polar = kPi * static_cast<float>(ring) / kRingsPerEye;
      for (int j = 0; j <= kSegments; ++j) {
        const float around = 2.0f * kPi * static_cast<float>(j) / kSegments;
        // Unit direction: out along x, the ring in y and z.
        const base::Vec3 q{std::cos(polar), std::sin(polar) * std::sin(around), std::sin(polar) * std::cos(around)};
        const base::Vec3 local{q.x * 0.55f * radius * side, q.y * radius, q.z * radius};
        const base::Vec3 normal = base::normalize(base::Vec3{q.x * side / 0.55f, q.y, q.z});
        // The disc faces out: front (+z) to the right of the texture on both
        // eyes, up to its top.
        const base::Vec2 uv{0.5f + 0.5f * q.z, 0.5f - 0.5f * q.y};
        grid.vertices.push_back({{centre.x * side + local.x, centre.y + local.y, centre.z + local.z}, normal, uv});
      }
    }
    add_grid(builder, grid);
  }
  return builder.build("eyes");
}

std::vector<base::Vec3> lip_positions(const BodyShape& shape, float open) {
  std::vector<base::Vec3> positions;
  for (const PartVertex& v : lip_vertices(shape, open)) positions.push_back(v.position);
  return positions;
}

std::unique_ptr<model::MeshNode> make_lips(const BodyShape& shape, float open, const model::Material& skin,
                                           const model::Material& throat) {
  const std::vector<PartVertex> vertices = lip_vertices(shape, open);
  model::GeometryBuilder builder(kFishFvf);
  for (const PartVertex& v : vertices) builder.add_vertex(v.position, v.normal, v.uv);
  constexpr int kColumns = kLipSegments + 1;
  builder.begin_subset(skin);
  for (int ring = 0; ring + 1 < kRingCount; ++ring) {
    for (int j = 0; j < kLipSegments; ++j) {
      const auto a = static_cast<std::uint32_t>(ring * kColumns + j);
      const auto b = a + kColumns;
      add_facing_triangle(builder, vertices, 0, a, b, b + 1);
      add_facing_triangle(builder, vertices, 0, a, b + 1, a + 1);
    }
  }
  builder.begin_subset(throat);
  const auto hub = static_cast<std::uint32_t>(kRingCount * kColumns);
  for (std::uint32_t j = 0; j < kLipSegments; ++j) add_facing_triangle(builder, vertices, 0, hub, hub + 1 + j, hub + 2 + j);
  return builder.build("lips");
}

base::Vec3 mouth_point(const BodyShape& shape) {
  const float width = shape.kind().mouth_size * shape.length();
  return lips_centre(shape) + base::Vec3{0.0f, 0.0f, 0.25f * width};
}

}  // namespace forge::fishes
