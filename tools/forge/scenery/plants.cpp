#include "forge/scenery/plants.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "forge/scenery/random.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace forge::scenery {
namespace {

constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
constexpr std::uint32_t kFormat = gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1);

// A thin sheet is lit the same from both sides: its normal is turned to the
// upper side and leans towards the light from above.
base::Vec3 sheet_normal(base::Vec3 normal) {
  if (normal.y < 0.0f) normal = -normal;
  return base::normalize(normal * 0.6f + base::Vec3{0, 0.8f, 0});
}

// Horizontal unit vector at an angle around y (0 = +z).
base::Vec3 heading(float angle) { return {std::sin(angle), 0.0f, std::cos(angle)}; }

// A direction leaning `lean` radians from upright towards `angle`.
base::Vec3 leaning(float lean, float angle) {
  const base::Vec3 h = heading(angle);
  return {h.x * std::sin(lean), std::cos(lean), h.z * std::sin(lean)};
}

// Adds a grid of `stations` x `columns` vertices (row-major) as triangles.
void add_sheet(model::GeometryBuilder& builder, std::uint32_t first, int stations, int columns) {
  const auto at = [&](int s, int c) { return first + static_cast<std::uint32_t>(s * columns + c); };
  for (int s = 0; s + 1 < stations; ++s) {
    for (int c = 0; c + 1 < columns; ++c) {
      builder.add_triangle(at(s + 1, c), at(s + 1, c + 1), at(s, c + 1));
      builder.add_triangle(at(s + 1, c), at(s, c + 1), at(s, c));
    }
  }
}

}  // namespace

std::unique_ptr<model::MeshNode> make_seagrass(const SeagrassClump& clump) {
  constexpr int kStations = 10;
  Random random(clump.seed);
  model::GeometryBuilder builder(kFormat);
  builder.begin_subset(leaf_material("Seagrass.png", seagrass_texture()));
  for (int blade = 0; blade < clump.blades; ++blade) {
    const float spot_angle = random.range(0.0f, kTurn);
    const float spot_radius = clump.radius * std::sqrt(random.unit());
    const base::Vec3 root{std::sin(spot_angle) * spot_radius, -0.4f, std::cos(spot_angle) * spot_radius};
    // Blades lean away from the middle of the clump, the outer ones more.
    const float away = spot_angle + random.range(-0.6f, 0.6f);
    const float lean =
        clump.lean * (0.25f + 0.75f * spot_radius / std::max(clump.radius, 0.01f)) * random.range(0.5f, 1.0f);
    const float bend = random.range(0.15f, 0.9f);
    const float height = random.range(clump.min_height, clump.max_height);
    const float width = clump.width * random.range(0.8f, 1.15f);
    const float twist = random.range(-0.7f, 0.7f);
    const float facing = random.range(0.0f, kTurn);
    const float variant = static_cast<float>(random.below(4));
    const std::uint32_t first = builder.vertex_count();
    base::Vec3 point = root;
    const float step = height / (kStations - 1);
    for (int s = 0; s < kStations; ++s) {
      const float t = static_cast<float>(s) / (kStations - 1);
      const base::Vec3 tangent = leaning(std::min(lean + bend * t * t, 1.4f), away);
      // The blade's flat side turns slowly along its length.
      const base::Vec3 side0 = heading(facing + twist * t + 1.5707964f);
      const base::Vec3 side = base::normalize(side0 - tangent * base::dot(side0, tangent));
      const base::Vec3 normal = sheet_normal(base::cross(side, tangent));
      const float half = width * 0.5f;
      builder.add_vertex(point - side * half, normal, {(variant + 0.0f) / 4.0f, 1.0f - t});
      builder.add_vertex(point + side * half, normal, {(variant + 1.0f) / 4.0f, 1.0f - t});
      point += tangent * step;
    }
    add_sheet(builder, first, kStations, 2);
  }
  return builder.build(clump.name);
}

std::unique_ptr<model::MeshNode> make_broad_leaf_plant(const BroadLeafPlant& plant) {
  constexpr int kStations = 12;
  constexpr int kColumns = 5;
  Random random(plant.seed);
  model::GeometryBuilder builder(kFormat);
  builder.begin_subset(
      leaf_material(plant.red ? "RedLeaf.png" : "SwordLeaf.png", broad_leaf_texture(plant.red)));
  const float golden = 2.3999632f;
  for (int leaf = 0; leaf < plant.leaves; ++leaf) {
    // Inner (later) leaves stand upright and are shorter; outer ones spread.
    const float age = 1.0f - static_cast<float>(leaf) / static_cast<float>(std::max(plant.leaves - 1, 1));
    const float angle = static_cast<float>(leaf) * golden + random.range(-0.2f, 0.2f);
    const float lean = plant.spread * (0.2f + 0.8f * age) * random.range(0.85f, 1.1f);
    const float arch = random.range(0.3f, 0.8f) * (0.4f + 0.6f * age);
    const float length = plant.min_length + (plant.max_length - plant.min_length) * (0.4f + 0.6f * age) *
                                                random.range(0.85f, 1.0f);
    const float width = plant.width * (0.7f + 0.3f * age) * random.range(0.85f, 1.1f);
    const float fold = width * 0.12f;
    const base::Vec3 side = heading(angle + 1.5707964f);
    const std::uint32_t first = builder.vertex_count();
    base::Vec3 spine{0, -0.3f, 0};
    const float step = length / (kStations - 1);
    for (int s = 0; s < kStations; ++s) {
      const float t = static_cast<float>(s) / (kStations - 1);
      const base::Vec3 tangent = leaning(std::min(lean + arch * t * t * 1.6f, 2.0f), angle);
      const base::Vec3 up = base::normalize(base::cross(tangent, side));
      const base::Vec3 normal = sheet_normal(up);
      for (int c = 0; c < kColumns; ++c) {
        const float across = static_cast<float>(c) / (kColumns - 1) - 0.5f;  // -0.5 .. 0.5
        // Folded along the midrib: the halves rise towards the rim.
        const base::Vec3 position = spine + side * (across * width) + up * (std::abs(across) * 2.0f * fold);
        const base::Vec3 tilted = base::normalize(normal - side * (across * 0.5f));
        builder.add_vertex(position, tilted, {static_cast<float>(c) / (kColumns - 1), 1.0f - t});
      }
      spine += tangent * step;
    }
    add_sheet(builder, first, kStations, kColumns);
  }
  return builder.build(plant.name);
}

}  // namespace forge::scenery
