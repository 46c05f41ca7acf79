#include "forge/look/test_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/dds_file.h"
#include "render/image.h"
#include "render/packed_dib.h"
#include "render/tga_file.h"

namespace forge {
namespace {

constexpr std::uint32_t kSize = 64;
constexpr float kTurn = 6.2831853f;

// Position across the texture, 0..1.
float across(std::uint32_t x) { return static_cast<float>(x) / static_cast<float>(kSize); }

// A repeatable hash of a pixel position, 0..1.
float grain(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

std::uint32_t argb(float a, float r, float g, float b) {
  auto byte = [](float v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Warm pale sand with grain and soft ripples that tile.
std::vector<std::uint32_t> sand_pixels() {
  std::vector<std::uint32_t> pixels(kSize * kSize);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float ripple =
          0.5f + 0.5f * std::sin(kTurn * (across(y) * 3.0f + 0.3f * std::sin(kTurn * across(x))));
      const float shade = 0.82f + 0.1f * ripple + 0.12f * (grain(x, y, 1) - 0.5f);
      pixels[y * kSize + x] = argb(1.0f, 0.93f * shade, 0.85f * shade, 0.66f * shade);
    }
  }
  return pixels;
}

// The ripples' slopes as a normal map: x and y of the normal in red and
// green, z in blue, each mapped from -1..1 to 0..255.
std::vector<std::uint32_t> sand_normals() {
  std::vector<std::uint32_t> pixels(kSize * kSize);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float phase = kTurn * (across(y) * 3.0f + 0.3f * std::sin(kTurn * across(x)));
      const float dy = 0.35f * std::cos(phase) + 0.15f * (grain(x, y, 2) - 0.5f);
      const float dx = 0.1f * std::cos(phase) * std::cos(kTurn * across(x)) + 0.15f * (grain(x, y, 3) - 0.5f);
      const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
      pixels[y * kSize + x] =
          argb(1.0f, 0.5f + 0.5f * dx / length, 0.5f + 0.5f * dy / length, 0.5f + 0.5f / length);
    }
  }
  return pixels;
}

// A weed leaf: opaque green in the middle, a translucent edge, clear
// outside.
std::vector<std::uint32_t> weed_pixels() {
  std::vector<std::uint32_t> pixels(kSize * kSize);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float v = static_cast<float>(y) / (kSize - 1);
      const float half_width = 0.45f * std::sin(3.14159265f * v);
      const float u = std::abs(static_cast<float>(x) / (kSize - 1) - 0.5f);
      const float alpha = u < half_width * 0.8f ? 1.0f : (u < half_width ? 0.5f : 0.0f);
      const float vein = u < 0.03f ? 0.8f : 1.0f;
      pixels[y * kSize + x] = argb(alpha, 0.2f * vein, (0.45f + 0.3f * v) * vein, 0.25f * vein);
    }
  }
  return pixels;
}

std::vector<std::uint8_t> dds_file(const std::vector<std::uint32_t>& pixels) {
  std::optional<render::Image> image =
      render::image_from_argb(render::PixelFormat::A8R8G8B8, kSize, kSize, pixels);
  if (!image || !render::build_mip_chain(*image, 0)) return {};
  return render::encode_dds(*image);
}

// Pebbles: dark grey stones on sand, 24 bits.
std::vector<std::uint8_t> pebbles_bmp() {
  render::PackedDib dib;
  if (!dib.create(kSize, static_cast<std::int32_t>(kSize), 24)) return {};
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float cell = grain(x / 8, y / 8, 4);
      const float dx = static_cast<float>(x % 8) - 3.5f, dy = static_cast<float>(y % 8) - 3.5f;
      const bool stone = cell > 0.4f && dx * dx + dy * dy < 9.0f;
      const float shade = stone ? 0.35f + 0.2f * cell : 0.8f + 0.1f * grain(x, y, 5);
      dib.set_pixel(x, y, argb(0.0f, shade, shade * (stone ? 1.0f : 0.93f), shade * (stone ? 1.05f : 0.75f)));
    }
  }
  return dib.encode_bmp();
}

}  // namespace

std::vector<TextureFile> test_texture_files() {
  std::vector<TextureFile> files;
  files.push_back({"Test/Sand-d.dds", dds_file(sand_pixels())});
  files.push_back({"Test/Sand-b.dds", dds_file(sand_normals())});
  files.push_back({"Test/Weed.tga", render::encode_tga(kSize, kSize, weed_pixels(), 32, false, false)});
  files.push_back({"Test/Pebbles.bmp", pebbles_bmp()});
  return files;
}

}  // namespace forge
