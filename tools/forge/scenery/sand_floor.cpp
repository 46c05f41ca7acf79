#include "forge/scenery/sand_floor.h"

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

constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;

// The area the floor covers: wide enough for the widest views, from in front
// of the bottom edge of the view to under the back wall, which bends back
// at the sides.
constexpr float kMinX = -160.0f;
constexpr float kMaxX = 160.0f;
constexpr float kMinZ = -70.0f;
constexpr float kMaxZ = 124.0f;
constexpr float kStep = 1.6f;

constexpr std::uint32_t kSandSeed = 0x5A4D;
constexpr std::uint32_t kTexture = 512;

// Ripples a few centimetres apart whose crests wander with the dunes.
float ripples(float x, float z) {
  const float bend = 1.6f * fractal_noise({x / 30.0f, z / 30.0f, 3.5f}, 2, kSandSeed + 7);
  const float angle = 0.35f + 0.5f * fractal_noise({x / 80.0f, z / 80.0f, 1.5f}, 2, kSandSeed + 8);
  const float along = x * std::sin(angle) + z * std::cos(angle);
  const float strength =
      smoothstep(-0.3f, 0.5f, fractal_noise({x / 25.0f, z / 25.0f, 7.5f}, 2, kSandSeed + 9));
  // Sharper crests than troughs, as the current builds them.
  const float wave = std::sin(kTurn * along / 6.5f + bend);
  return 0.22f * strength * (wave > 0.0f ? wave * wave * 0.6f + wave * 0.4f : wave * 0.7f);
}

base::Vec3 floor_normal(float x, float z) {
  const float d = 0.4f;
  const float dx = floor_height(x + d, z) - floor_height(x - d, z);
  const float dz = floor_height(x, z + d) - floor_height(x, z - d);
  return base::normalize(base::Vec3{-dx, 2.0f * d, -dz});
}

// One pebble: an ellipse with a soft contact shadow, lit from the upper left.
struct Pebble {
  float x, y;  // centre, pixels
  float rx, ry, angle;
  base::Vec4 colour;
};

void paint_pebble(Picture& picture, const Pebble& pebble) {
  const float reach = std::max(pebble.rx, pebble.ry) * 1.6f + 2.0f;
  const float c = std::cos(pebble.angle);
  const float s = std::sin(pebble.angle);
  const int x0 = static_cast<int>(std::floor(pebble.x - reach));
  const int x1 = static_cast<int>(std::ceil(pebble.x + reach));
  const int y0 = static_cast<int>(std::floor(pebble.y - reach));
  const int y1 = static_cast<int>(std::ceil(pebble.y + reach));
  const int w = static_cast<int>(picture.width);
  const int h = static_cast<int>(picture.height);
  for (int py = y0; py <= y1; ++py) {
    for (int px = x0; px <= x1; ++px) {
      const float dx = static_cast<float>(px) + 0.5f - pebble.x;
      const float dy = static_cast<float>(py) + 0.5f - pebble.y;
      const float lx = (dx * c + dy * s) / pebble.rx;
      const float ly = (-dx * s + dy * c) / pebble.ry;
      const float r = std::sqrt(lx * lx + ly * ly);
      base::Vec4& pixel = picture.at(static_cast<std::uint32_t>(((px % w) + w) % w),
                                     static_cast<std::uint32_t>(((py % h) + h) % h));
      if (r < 1.0f) {
        // A dome: its slope towards the light brightens it, the far side
        // darkens; the edge blends into the sand.
        const float nz = std::sqrt(std::max(0.0f, 1.0f - r * r));
        const float light = 0.55f + 0.45f * (nz * 0.8f - (lx * 0.35f + ly * 0.45f) * 0.6f);
        const float edge = smoothstep(1.0f, 0.8f, r);
        pixel = mix(pixel, shade(pebble.colour, light), edge);
      } else {
        const float shadow = smoothstep(1.5f, 1.0f, r) * 0.18f;
        pixel = shade(pixel, 1.0f - shadow);
      }
    }
  }
}

}  // namespace

float floor_height(float x, float z) {
  const float rise = 2.6f * smoothstep(-15.0f, 48.0f, z);
  const float dunes = 1.3f * fractal_noise({x / 42.0f, z / 34.0f, 0.5f}, 3, kSandSeed);
  return rise + dunes + ripples(x, z);
}

std::unique_ptr<model::MeshNode> make_sand_floor() {
  const int columns = static_cast<int>(std::lround((kMaxX - kMinX) / kStep));
  const int rows = static_cast<int>(std::lround((kMaxZ - kMinZ) / kStep));
  model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(textured_material("SandFloor.png", sand_texture()));
  for (int row = 0; row <= rows; ++row) {
    const float z = kMinZ + static_cast<float>(row) * kStep;
    for (int column = 0; column <= columns; ++column) {
      const float x = kMinX + static_cast<float>(column) * kStep;
      builder.add_vertex({x, floor_height(x, z), z}, floor_normal(x, z), {x / kSandTile, -z / kSandTile});
    }
  }
  const auto at = [&](int row, int column) {
    return static_cast<std::uint32_t>(row * (columns + 1) + column);
  };
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      // Seen from above (+y) with +z away from the viewer, clockwise runs
      // from the far left corner to the far right one.
      const std::uint32_t near_left = at(row, column);
      const std::uint32_t near_right = at(row, column + 1);
      const std::uint32_t far_left = at(row + 1, column);
      const std::uint32_t far_right = at(row + 1, column + 1);
      builder.add_triangle(far_left, far_right, near_right);
      builder.add_triangle(far_left, near_right, near_left);
    }
  }
  return builder.build("SandFloor");
}

Picture sand_texture() {
  Picture picture(kTexture, kTexture);
  const base::Vec4 sand = rgb(0.72f, 0.64f, 0.50f);
  const base::Vec4 dusky = rgb(0.55f, 0.50f, 0.41f);
  const base::Vec4 pale = rgb(0.80f, 0.74f, 0.61f);
  const float size = static_cast<float>(kTexture);
  for (std::uint32_t y = 0; y < kTexture; ++y) {
    for (std::uint32_t x = 0; x < kTexture; ++x) {
      const float u = static_cast<float>(x) / size;
      const float v = static_cast<float>(y) / size;
      const float mottle = fractal_noise({u * 6.0f, v * 6.0f, 0.0f}, 4, kSandSeed + 20, {6, 6, 0});
      const float patches = fractal_noise({u * 3.0f, v * 3.0f, 2.0f}, 3, kSandSeed + 21, {3, 3, 0});
      const float bleach = fractal_noise({u * 5.0f, v * 5.0f, 4.0f}, 2, kSandSeed + 22, {5, 5, 0});
      base::Vec4 colour = mix(sand, dusky, smoothstep(0.05f, 0.45f, patches) * 0.45f);
      colour = mix(colour, pale, smoothstep(0.1f, 0.5f, bleach) * 0.5f);
      colour = shade(colour, 1.0f + 0.07f * mottle);
      // Grain: every texel is a few sand grains of slightly different tone,
      // with a dark or a shell-white one here and there.
      const std::uint32_t h =
          hash_ints(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 0, kSandSeed);
      const float grain = static_cast<float>(h & 0xFFFF) / 65535.0f;
      colour = shade(colour, 0.93f + 0.14f * grain);
      const std::uint32_t pick = (h >> 16) & 0xFF;
      if (pick < 8)
        colour = shade(colour, 0.72f);
      else if (pick < 12)
        colour = mix(colour, rgb(0.96f, 0.94f, 0.88f), 0.6f);
      else if (pick < 14)
        colour = mix(colour, rgb(0.45f, 0.33f, 0.25f), 0.5f);
      picture.at(x, y) = colour;
    }
  }
  Random random(kSandSeed);
  // Pebbles in the tones of the sand, a few darker or whiter ones.
  const base::Vec4 stones[] = {rgb(0.62f, 0.58f, 0.52f), rgb(0.66f, 0.56f, 0.45f), rgb(0.52f, 0.48f, 0.43f),
                               rgb(0.84f, 0.81f, 0.74f), rgb(0.64f, 0.48f, 0.40f), rgb(0.44f, 0.43f, 0.41f)};
  for (int i = 0; i < 80; ++i) {
    Pebble pebble;
    pebble.x = random.range(0.0f, size);
    pebble.y = random.range(0.0f, size);
    const float radius = random.unit() < 0.85f ? random.range(1.4f, 3.0f) : random.range(3.0f, 5.5f);
    pebble.rx = radius * random.range(1.0f, 1.5f);
    pebble.ry = radius;
    pebble.angle = random.range(0.0f, kTurn);
    pebble.colour = shade(stones[random.below(6)], random.range(0.85f, 1.1f));
    paint_pebble(picture, pebble);
  }
  return picture;
}

}  // namespace forge::scenery
