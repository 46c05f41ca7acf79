#include "forge/scenery/rocks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "forge/scenery/noise.h"
#include "forge/scenery/random.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace forge::scenery {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kRings = 30;
constexpr int kSegments = 50;
constexpr std::uint32_t kTextureWidth = 512;
constexpr std::uint32_t kTextureHeight = 256;

// A point of the rock's surface and what the texture needs to know about it.
struct SurfacePoint {
  base::Vec3 position;
  float cavity = 0.0f;  // how far the surface lies below its smooth shape, 0..1
  float layer = 0.0f;   // layer coordinate: whole numbers are the boundaries
};

base::Vec3 direction_of(float polar, float around) {
  return {std::sin(polar) * std::sin(around), std::cos(polar), std::sin(polar) * std::cos(around)};
}

SurfacePoint surface(const RockShape& shape, const base::Vec3& dir) {
  const float lumps = fractal_noise(dir * 1.3f, 4, shape.seed);
  const float detail = fractal_noise(dir * 5.0f + base::Vec3{7, 3, 1}, 3, shape.seed + 1);
  const float crack = std::pow(ridged_noise(dir * 2.2f + base::Vec3{2, 9, 4}, 2, shape.seed + 2), 6.0f);
  // Sharp crags where ridged noise peaks, on top of the rounded lumps.
  const float crags = ridged_noise(dir * 3.2f + base::Vec3{1, 4, 7}, 2, shape.seed + 4);
  const float radius =
      1.0f + shape.lumpiness * lumps + 0.06f * detail + 0.09f * (crags - 0.5f) - shape.crevices * crack;
  SurfacePoint point;
  point.position = {dir.x * radius * shape.radii.x, dir.y * radius * shape.radii.y,
                    dir.z * radius * shape.radii.z};
  // Layers: a saw-tooth displacement on steep faces, so each layer juts out
  // at its top and is undercut below.
  const float wobble = 0.35f * fractal_noise(dir * 3.0f + base::Vec3{5, 5, 5}, 2, shape.seed + 3);
  point.layer = (point.position.y + shape.strata_tilt * point.position.x) / shape.strata_spacing + wobble;
  const float within = point.layer - std::floor(point.layer);
  const float steep = 1.0f - dir.y * dir.y;
  const float ledge = shape.strata * steep * (within * within * within - 0.25f);
  const float flat = std::sqrt(dir.x * dir.x + dir.z * dir.z);
  if (flat > 1e-4f) {
    point.position.x += dir.x / flat * ledge;
    point.position.z += dir.z / flat * ledge;
  }
  // The base sits flat in the sand.
  const float base = -kRockBase * shape.radii.y;
  if (point.position.y < base) point.position.y = base + (point.position.y - base) * 0.12f;
  point.cavity = std::clamp(
      -(0.06f * detail + 0.09f * (crags - 0.5f) - shape.crevices * crack) / (shape.crevices + 0.1f) * 0.5f +
          (0.25f - within) * steep * 0.3f,
      0.0f, 1.0f);
  return point;
}

}  // namespace

std::unique_ptr<model::MeshNode> make_rock(const RockShape& shape) {
  std::vector<base::Vec3> positions;
  std::vector<base::Vec2> uvs;
  for (int ring = 0; ring <= kRings; ++ring) {
    const float v = static_cast<float>(ring) / kRings;
    for (int segment = 0; segment <= kSegments; ++segment) {
      const float u = static_cast<float>(segment) / kSegments;
      positions.push_back(surface(shape, direction_of(kPi * v, 2.0f * kPi * u)).position);
      uvs.push_back({u, v});
    }
  }
  const auto at = [](int ring, int segment) {
    return static_cast<std::uint32_t>(ring * (kSegments + 1) + segment);
  };
  std::vector<std::uint32_t> triangles;
  for (int ring = 0; ring < kRings; ++ring) {
    for (int segment = 0; segment < kSegments; ++segment) {
      // Seen from outside, "around" grows to the left: clockwise corners are
      // upper-right, upper-left, lower-left, lower-right.
      const std::uint32_t top_left = at(ring, segment + 1);
      const std::uint32_t top_right = at(ring, segment);
      const std::uint32_t bottom_right = at(ring + 1, segment);
      const std::uint32_t bottom_left = at(ring + 1, segment + 1);
      if (ring > 0) triangles.insert(triangles.end(), {top_left, top_right, bottom_right});
      if (ring + 1 < kRings) triangles.insert(triangles.end(), {top_left, bottom_right, bottom_left});
    }
  }
  // Smooth normals: area-weighted face normals, shared across the seam and
  // at the poles, where one point has several vertices.
  std::vector<base::Vec3> normals(positions.size());
  for (std::size_t t = 0; t < triangles.size(); t += 3) {
    const base::Vec3& a = positions[triangles[t]];
    const base::Vec3 face = base::cross(positions[triangles[t + 1]] - a, positions[triangles[t + 2]] - a);
    for (int k = 0; k < 3; ++k) normals[triangles[t + static_cast<std::size_t>(k)]] += face;
  }
  for (int ring = 0; ring <= kRings; ++ring) {
    const base::Vec3 sum = normals[at(ring, 0)] + normals[at(ring, kSegments)];
    normals[at(ring, 0)] = normals[at(ring, kSegments)] = sum;
  }
  for (int pole : {0, kRings}) {
    base::Vec3 sum;
    for (int segment = 0; segment <= kSegments; ++segment) sum += normals[at(pole, segment)];
    for (int segment = 0; segment <= kSegments; ++segment) normals[at(pole, segment)] = sum;
  }

  model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(textured_material(shape.name + ".png", rock_texture(shape)));
  for (std::size_t i = 0; i < positions.size(); ++i)
    builder.add_vertex(positions[i], base::normalize(normals[i]), uvs[i]);
  for (std::size_t t = 0; t < triangles.size(); t += 3)
    builder.add_triangle(triangles[t], triangles[t + 1], triangles[t + 2]);
  return builder.build(shape.name);
}

Picture rock_texture(const RockShape& shape) {
  // The shape's fields vary slowly: sample them at half the resolution and
  // interpolate; only the grain is computed per texel.
  struct Field {
    base::Vec3 position;
    float cavity, layer, top, film, patch;
  };
  constexpr std::uint32_t kFieldWidth = kTextureWidth / 2;
  constexpr std::uint32_t kFieldHeight = kTextureHeight / 2;
  std::vector<Field> fields(static_cast<std::size_t>(kFieldWidth) * kFieldHeight);
  for (std::uint32_t y = 0; y < kFieldHeight; ++y) {
    const float v = (static_cast<float>(y) + 0.5f) / kFieldHeight;
    for (std::uint32_t x = 0; x < kFieldWidth; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kFieldWidth;
      const base::Vec3 dir = direction_of(kPi * v, 2.0f * kPi * u);
      const SurfacePoint point = surface(shape, dir);
      const base::Vec3& p = point.position;
      Field& field = fields[static_cast<std::size_t>(y) * kFieldWidth + x];
      field.position = p;
      field.cavity = point.cavity;
      field.layer = point.layer;
      field.top = smoothstep(0.35f, 0.85f, dir.y);
      field.film =
          smoothstep(-0.2f, 0.4f, fractal_noise(p * 0.35f + base::Vec3{3, 1, 2}, 3, shape.seed + 11));
      field.patch =
          smoothstep(0.35f, 0.55f, fractal_noise(p * 0.25f + base::Vec3{9, 2, 5}, 3, shape.seed + 12));
    }
  }
  const auto field_at = [&](float fx, float fy) {
    // Repeats around (x), stops at the poles (y).
    const float x = fx - 0.5f;
    const float y = std::clamp(fy - 0.5f, 0.0f, static_cast<float>(kFieldHeight - 1));
    const float x0f = std::floor(x);
    const float y0f = std::floor(y);
    const float tx = x - x0f;
    const float ty = y - y0f;
    const auto column = [&](float c) {
      const auto n = static_cast<std::int64_t>(kFieldWidth);
      const std::int64_t i = ((static_cast<std::int64_t>(c) % n) + n) % n;
      return static_cast<std::size_t>(i);
    };
    const std::size_t x0 = column(x0f);
    const std::size_t x1 = column(x0f + 1.0f);
    const std::size_t y0 = static_cast<std::size_t>(y0f);
    const std::size_t y1 = std::min<std::size_t>(y0 + 1, kFieldHeight - 1);
    const Field& a = fields[y0 * kFieldWidth + x0];
    const Field& b = fields[y0 * kFieldWidth + x1];
    const Field& c = fields[y1 * kFieldWidth + x0];
    const Field& d = fields[y1 * kFieldWidth + x1];
    const auto blend = [&](float Field::*member) {
      return (a.*member * (1 - tx) + b.*member * tx) * (1 - ty) +
             (c.*member * (1 - tx) + d.*member * tx) * ty;
    };
    Field out;
    out.position =
        base::lerp(base::lerp(a.position, b.position, tx), base::lerp(c.position, d.position, tx), ty);
    out.cavity = blend(&Field::cavity);
    out.layer = blend(&Field::layer);
    out.top = blend(&Field::top);
    out.film = blend(&Field::film);
    out.patch = blend(&Field::patch);
    return out;
  };

  Picture picture(kTextureWidth, kTextureHeight);
  const base::Vec4 algae = rgb(0.36f, 0.42f, 0.24f);
  const base::Vec4 crust = rgb(0.62f, 0.44f, 0.50f);  // a little coralline crust
  const base::Vec4 dark = shade(shape.tone, 0.4f);
  for (std::uint32_t y = 0; y < kTextureHeight; ++y) {
    for (std::uint32_t x = 0; x < kTextureWidth; ++x) {
      const Field field =
          field_at((static_cast<float>(x) + 0.5f) * 0.5f, (static_cast<float>(y) + 0.5f) * 0.5f);
      // Layers alternate between the base tone and a lighter band, with
      // thin dark seams at their boundaries.
      const float layer_index = std::floor(field.layer);
      const float band_mix =
          static_cast<float>(hash_ints(static_cast<std::int32_t>(layer_index), 0, 0, shape.seed) & 0xFF) /
          255.0f;
      base::Vec4 colour = mix(shape.tone, shape.band, band_mix);
      const float within = field.layer - layer_index;
      const float seam = smoothstep(0.06f, 0.0f, within) + smoothstep(0.95f, 1.0f, within);
      const float broken = smoothstep(-0.3f, 0.2f, fractal_noise(field.position * 0.4f, 2, shape.seed + 13));
      colour = mix(colour, dark, std::min(seam, 1.0f) * 0.4f * broken);
      // Grain and speckles of the stone.
      const float grain = fractal_noise(field.position * 1.1f, 3, shape.seed + 10);
      colour = shade(colour, 1.0f + 0.2f * grain);
      const std::uint32_t h =
          hash_ints(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 1, shape.seed);
      colour = shade(colour, 0.92f + 0.16f * static_cast<float>(h & 0xFF) / 255.0f);
      if (((h >> 8) & 0xFF) < 3) colour = mix(colour, rgb(0.75f, 0.72f, 0.66f), 0.4f);
      // Crevices hold shadow; the top, where the light falls, grows a thin
      // film of algae and here and there a pink crust.
      colour = mix(colour, dark, field.cavity * 0.9f);
      colour = mix(colour, algae, field.top * field.film * 0.5f);
      colour = mix(colour, crust, field.patch * (1.0f - field.cavity) * 0.4f);
      picture.at(x, y) = colour;
    }
  }
  return picture;
}

}  // namespace forge::scenery
