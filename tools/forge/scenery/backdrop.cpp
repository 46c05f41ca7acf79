#include "forge/scenery/backdrop.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "forge/scenery/noise.h"
#include "forge/scenery/random.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace forge::scenery {
namespace {

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 512;
constexpr std::uint32_t kSeed = 0xBAC4;

constexpr float kWallWidth = 2.0f * kBackWallHalfWidth;
constexpr float kWallHeight = kBackWallTop - kBackWallBottom;

float world_x(float u) { return -kBackWallHalfWidth + u * kWallWidth; }
float world_y(float v) { return kBackWallTop - v * kWallHeight; }

// A boulder of the middle distance: a rounded hump on the far sand.
struct Hump {
  float x, half_width, height;
  float base = 0.0f;
};

// Heights of the silhouettes at world x.
float far_ridge(float x) {
  return 15.0f + 9.0f * fractal_noise({x / 70.0f, 0.5f, 1.0f}, 3, kSeed) +
         4.0f * ridged_noise({x / 28.0f, 2.5f, 1.0f}, 2, kSeed + 1);
}

float far_sand(float x) { return 5.2f + 1.2f * fractal_noise({x / 40.0f, 4.5f, 2.0f}, 2, kSeed + 2); }

float humps(const std::vector<Hump>& list, float x) {
  float top = -100.0f;
  for (const Hump& hump : list) {
    const float t = (x - hump.x) / hump.half_width;
    if (std::abs(t) >= 1.0f) continue;
    const float rough = 0.8f * fractal_noise({x / 3.0f, hump.x, 3.0f}, 2, kSeed + 3);
    top = std::max(top, hump.base + hump.height * std::pow(1.0f - t * t, 0.6f) + rough);
  }
  return top;
}

// A weed frond far away: a thin curve swaying up from the sand.
struct Frond {
  float x, height, lean, width;
  float base = 0.0f;
};

float frond_coverage(const Frond& frond, float x, float y) {
  if (y < frond.base || y > frond.base + frond.height) return 0.0f;
  const float t = (y - frond.base) / frond.height;
  const float centre = frond.x + frond.lean * t * t * frond.height + 0.6f * std::sin(t * 5.0f + frond.x);
  const float half = frond.width * (1.0f - 0.7f * t);
  return smoothstep(half + 0.35f, half - 0.05f, std::abs(x - centre));
}

// Coverage of a silhouette whose top is `top` at a pixel of height y, with a
// soft edge.
float below(float top, float y, float softness) { return smoothstep(top + softness, top - softness, y); }

}  // namespace

float back_wall_z(float x) { return kBackWallZ + kBackWallBend * x * x; }

Picture back_wall_texture() {
  Random random(kSeed);
  std::vector<Hump> near_humps;
  for (float x = -kBackWallHalfWidth; x < kBackWallHalfWidth;) {
    const float half = random.range(6.0f, 16.0f);
    near_humps.push_back({x + half, half, random.range(4.0f, 12.0f), far_sand(x + half) - 1.0f});
    x += half * 2.0f + random.range(4.0f, 30.0f);
  }
  std::vector<Frond> fronds;
  for (int i = 0; i < 70; ++i) {
    Frond frond{random.range(-kBackWallHalfWidth, kBackWallHalfWidth), random.range(6.0f, 18.0f),
                random.range(-0.08f, 0.08f), random.range(0.3f, 0.6f)};
    frond.base = far_sand(frond.x) - 0.5f;
    fronds.push_back(frond);
  }

  const base::Vec4 haze_high = rgb(0.40f, 0.67f, 0.74f);
  const base::Vec4 haze_low = rgb(0.34f, 0.60f, 0.66f);
  const base::Vec4 ridge = rgb(0.26f, 0.48f, 0.55f);
  const base::Vec4 sand = rgb(0.55f, 0.64f, 0.58f);
  const base::Vec4 rock = rgb(0.18f, 0.34f, 0.40f);
  const base::Vec4 weed = rgb(0.17f, 0.40f, 0.36f);

  // The silhouettes' heights depend on x alone.
  struct Column {
    float x, ridge, plain, top;
    std::vector<const Frond*> fronds;  // those that may reach it
  };
  std::vector<Column> columns(kWidth);
  for (std::uint32_t px = 0; px < kWidth; ++px) {
    Column& column = columns[px];
    column.x = world_x((static_cast<float>(px) + 0.5f) / kWidth);
    column.ridge = far_ridge(column.x);
    column.plain = far_sand(column.x);
    column.top = humps(near_humps, column.x);
    for (const Frond& f : fronds) {
      if (std::abs(column.x - f.x) < f.width + std::abs(f.lean) * f.height + 1.5f)
        column.fronds.push_back(&f);
    }
  }
  Picture picture(kWidth, kHeight);
  for (std::uint32_t py = 0; py < kHeight; ++py) {
    const float y = world_y((static_cast<float>(py) + 0.5f) / kHeight);
    for (std::uint32_t px = 0; px < kWidth; ++px) {
      const Column& column = columns[px];
      const float x = column.x;
      const float cloud = fractal_noise({x / 20.0f, y / 12.0f, 5.0f}, 3, kSeed + 4);
      base::Vec4 colour = mix(haze_low, haze_high, smoothstep(0.0f, 60.0f, y));
      colour = shade(colour, 1.0f + 0.05f * cloud);
      // Far ridges, barely darker than the water in front of them.
      const float far = below(column.ridge, y, 0.9f);
      colour = mix(colour, shade(ridge, 1.0f + 0.06f * cloud), far * 0.7f);
      // The far sand plain that the middle distance stands on.
      const float plain = below(column.plain, y, 0.6f);
      colour = mix(colour, mix(sand, haze_low, smoothstep(-4.0f, 6.0f, y) * 0.5f), plain);
      // Boulders and weed of the middle distance, a little lighter at their
      // top where the light from above falls.
      const float top = column.top;
      const float boulder = below(top, y, 0.5f);
      const float rim = smoothstep(top - 3.0f, top, y);
      const float texture = fractal_noise({x / 2.5f, y / 2.5f, 6.0f}, 3, kSeed + 5);
      colour = mix(colour, shade(rock, 1.0f + 0.5f * rim + 0.12f * texture), boulder);
      float frond = 0.0f;
      for (const Frond* f : column.fronds) frond = std::max(frond, frond_coverage(*f, x, y));
      colour = mix(colour, weed, frond * 0.85f);
      // Opaque where there is something, fading out into open water above.
      const float solid = std::max({far * 0.9f, plain, boulder, frond});
      const float water = 1.0f - smoothstep(20.0f, 100.0f, y);
      colour.w = std::max(solid, water);
      picture.at(px, py) = colour;
    }
  }
  return picture;
}

std::unique_ptr<model::MeshNode> make_back_wall() {
  model::Material material = textured_material("BackWall.png", back_wall_texture());
  material.blend = 1;
  material.src_blend = 5;
  material.dest_blend = 6;
  material.texture_alpha = 1;
  model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(material);
  constexpr int kColumns = 40;
  constexpr int kRows = 6;
  for (int row = 0; row <= kRows; ++row) {
    const float v = static_cast<float>(row) / kRows;
    for (int column = 0; column <= kColumns; ++column) {
      const float u = static_cast<float>(column) / kColumns;
      const float x = world_x(u);
      const base::Vec3 normal = base::normalize(base::Vec3{2.0f * kBackWallBend * x, 0.0f, -1.0f});
      builder.add_vertex({x, world_y(v), back_wall_z(x)}, normal, {u, v});
    }
  }
  const auto at = [](int row, int column) {
    return static_cast<std::uint32_t>(row * (kColumns + 1) + column);
  };
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      // Seen from the front (-z), row 0 is the top and x grows to the right.
      builder.add_triangle(at(row, column), at(row, column + 1), at(row + 1, column + 1));
      builder.add_triangle(at(row, column), at(row + 1, column + 1), at(row + 1, column));
    }
  }
  return builder.build("BackWall");
}

}  // namespace forge::scenery
