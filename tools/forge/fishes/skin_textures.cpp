#include "forge/fishes/skin_textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/scenery/noise.h"
#include "render/dds_file.h"
#include "render/image.h"

namespace forge::fishes {
namespace {

using scenery::smoothstep;

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;
constexpr int kScalesAround = 40;
constexpr int kScalesAlong = 34;

base::Vec3 mix3(const base::Vec3& a, const base::Vec3& b, float t) { return base::lerp(a, b, t); }
base::Vec4 opaque(const base::Vec3& c) { return {c.x, c.y, c.z, 1.0f}; }

float fract(float x) { return x - std::floor(x); }

float gaussian(float d, float width) { return std::exp(-(d / width) * (d / width)); }

// How high on the body a point of the skin lies: 0 the belly, 1 the back.
float elevation(float u) { return 0.5f - 0.5f * std::cos(kTau * u); }

base::Vec3 countershaded(const SkinLook& look, float up) {
  base::Vec3 c = mix3(look.belly, look.flank, smoothstep(0.08f, 0.45f, up));
  return mix3(c, look.back, smoothstep(0.55f, 0.9f, up));
}

base::Vec3 with_pattern(const SkinLook& look, base::Vec3 c, float u, float v, float edge) {
  const float up = elevation(u);
  const float t = 1.0f - v;  // 0 tail end, 1 nose
  switch (look.kind) {
    case SkinPattern::LateralStripe: {
      const float along = smoothstep(0.06f, 0.2f, t) * (1.0f - smoothstep(0.8f, 0.9f, t));
      const float centre = 0.6f + 0.03f * std::sin(t * 3.0f);
      const float glow = gaussian(up - centre, 0.04f) * along;
      const float halo = gaussian(up - centre, 0.09f) * along;
      c = mix3(c, look.pattern_edge, gaussian(up - (centre - 0.09f), 0.035f) * along * 0.45f);
      c = mix3(c, look.pattern * 0.8f + base::Vec3{0.2f, 0.2f, 0.2f}, halo * 0.35f);
      c = mix3(c, look.pattern, glow * 0.95f);
      break;
    }
    case SkinPattern::EdgedBands:
      for (float band : look.bands) {
        // Bands bow towards the tail on the flank and meet the back and
        // belly a little further forward.
        const float bow = 0.035f * std::sin(std::numbers::pi_v<float> * up);
        const float d = std::fabs(v - (1.0f - band) - bow);
        const float width = band > 0.7f ? look.band_width * 1.15f : look.band_width;
        const float inner = 1.0f - smoothstep(width - 0.006f, width + 0.002f, d);
        const float rim = 1.0f - smoothstep(width + 0.016f, width + 0.024f, d);
        c = mix3(c, look.pattern_edge, rim * (1.0f - inner));
        c = mix3(c, look.pattern, inner);
      }
      break;
    case SkinPattern::DarkScales:
      c = mix3(c, look.pattern, edge * edge * (0.25f + 0.3f * up));
      break;
  }
  return c;
}

// One fin picture: rays from the base (v = 0) to the edge (v = 1), the
// membrane between them clearer, the edge in its own colour.
scenery::Picture paint_fin(const SkinLook& look, const base::Vec3& colour, int rays, std::uint32_t seed) {
  constexpr std::uint32_t kSize = 64;
  scenery::Picture picture(kSize, kSize);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kSize;
      const float v = (static_cast<float>(y) + 0.5f) / kSize;
      const float wobble = 0.04f * scenery::gradient_noise({u * 6.0f, v * 3.0f, 0.5f}, seed);
      const float ray = 1.0f - smoothstep(0.03f, 0.14f, std::fabs(fract(u * static_cast<float>(rays) + wobble) - 0.5f));
      base::Vec3 c = mix3(colour, colour * 0.72f, ray * 0.6f);
      c = c * (1.0f + 0.08f * scenery::fractal_noise({u * 9.0f, v * 9.0f, 1.5f}, 2, seed + 1));
      const float edge = smoothstep(0.74f, 0.9f, v);
      c = mix3(c, look.fin_edge, edge * 0.9f);
      float alpha = (0.5f + 0.4f * ray) * (1.0f - 0.35f * smoothstep(0.35f, 0.9f, v));
      alpha = std::max(alpha, 0.88f * (1.0f - smoothstep(0.0f, 0.15f, v)));
      alpha += (0.8f - alpha) * edge * 0.5f;
      alpha *= 1.0f - 0.55f * smoothstep(0.94f, 1.0f, v);
      picture.at(x, y) = {c.x, c.y, c.z, alpha};
    }
  }
  return picture;
}

scenery::Picture paint_eye(const SkinLook& look) {
  constexpr std::uint32_t kSize = 64;
  scenery::Picture picture(kSize, kSize);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kSize - 0.5f;
      const float v = (static_cast<float>(y) + 0.5f) / kSize - 0.5f;
      const float d = 2.0f * std::sqrt(u * u + v * v);
      const float angle = std::atan2(v, u);
      const base::Vec3 pupil{0.015f, 0.018f, 0.03f};
      const base::Vec3 iris = look.iris * (0.78f + 0.22f * std::sin(angle * 17.0f)) * (1.15f - 0.4f * d);
      const base::Vec3 rim = look.iris * 0.18f;
      base::Vec3 c = mix3(pupil, iris, smoothstep(0.42f, 0.47f, d));
      c = mix3(c, rim, smoothstep(0.78f, 0.86f, d));
      // A highlight up and forward (u > 0.5 is the front on both eyes).
      const float hx = u - 0.12f;
      const float hy = v + 0.15f;
      const float highlight = 1.0f - smoothstep(0.03f, 0.08f, std::sqrt(hx * hx + hy * hy));
      c = mix3(c, base::Vec3{1, 1, 1}, highlight * 0.9f);
      picture.at(x, y) = opaque(c);
    }
  }
  return picture;
}

}  // namespace

ScaleSample scale_at(float u, float v, int around, int along) {
  const float a = u * static_cast<float>(around);
  const float b = v * static_cast<float>(along);
  const int row = static_cast<int>(std::floor(b));
  constexpr float kRadius = 0.78f;
  // Among the scales covering the point, the one nearest the head lies on
  // top: its free edge points to the tail.
  for (int r = row - 1; r <= row + 1; ++r) {
    const float shift = (r & 1) != 0 ? 0.5f : 0.0f;
    const float centre_b = static_cast<float>(r) + 0.3f;
    float best = 1e9f;
    for (int dc = -1; dc <= 1; ++dc) {
      const float centre_a = std::floor(a - shift) + static_cast<float>(dc) + 0.5f + shift;
      const float da = a - centre_a;
      const float db = (b - centre_b) * 0.9f;
      best = std::min(best, std::sqrt(da * da + db * db));
    }
    if (best < kRadius) {
      const float s = best / kRadius;
      return {1.0f - s * s, smoothstep(0.45f, 1.0f, s)};
    }
  }
  return {};
}

FishPictures paint_fish(const FishKind& kind) {
  const SkinLook& look = kind.look;
  FishPictures pictures;
  constexpr std::uint32_t kSkinWidth = 256;
  constexpr std::uint32_t kSkinHeight = 128;
  pictures.skin = scenery::Picture(kSkinWidth, kSkinHeight);
  pictures.scales = scenery::Picture(kSkinWidth, kSkinHeight);
  const scenery::NoisePeriod around_period{8, 0, 0};
  std::vector<float> heights(static_cast<std::size_t>(kSkinWidth) * kSkinHeight);
  for (std::uint32_t y = 0; y < kSkinHeight; ++y) {
    for (std::uint32_t x = 0; x < kSkinWidth; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kSkinWidth;
      const float v = (static_cast<float>(y) + 0.5f) / kSkinHeight;
      const float up = elevation(u);
      const ScaleSample scale = scale_at(u, v, kScalesAround, kScalesAlong);
      heights[static_cast<std::size_t>(y) * kSkinWidth + x] = scale.height;
      base::Vec3 c = countershaded(look, up);
      const float mottle = scenery::fractal_noise({u * 8.0f, v * 5.0f, 0.25f}, 3, kind.seed, around_period);
      c = c * (1.0f + 0.07f * mottle);
      const float sheen = gaussian(up - 0.45f, 0.2f) * (0.5f + 0.5f * std::sin(kTau * (v * 2.5f + up * 1.5f)));
      c = mix3(c, look.iridescence, 0.16f * sheen);
      c = c * (1.0f - 0.1f * scale.edge);
      c = with_pattern(look, c, u, v, scale.edge);
      // The head is a little darker above the eye and around the mouth.
      c = c * (1.0f - 0.12f * smoothstep(0.9f, 1.0f, 1.0f - v) * smoothstep(0.5f, 0.9f, up));
      pictures.skin.at(x, y) = opaque(c);
    }
  }
  // The normal map: slopes of the scale heights, wrapping around u.
  const auto height = [&](int x, int y) {
    x = (x + static_cast<int>(kSkinWidth)) % static_cast<int>(kSkinWidth);
    y = std::clamp(y, 0, static_cast<int>(kSkinHeight) - 1);
    return heights[static_cast<std::size_t>(y) * kSkinWidth + static_cast<std::size_t>(x)];
  };
  constexpr float kSlope = 1.6f;
  for (int y = 0; y < static_cast<int>(kSkinHeight); ++y) {
    for (int x = 0; x < static_cast<int>(kSkinWidth); ++x) {
      const base::Vec3 n = base::normalize(base::Vec3{-(height(x + 1, y) - height(x - 1, y)) * kSlope,
                                                      -(height(x, y + 1) - height(x, y - 1)) * kSlope, 1.0f});
      pictures.scales.at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) =
          opaque(n * 0.5f + base::Vec3{0.5f, 0.5f, 0.5f});
    }
  }
  pictures.fins = paint_fin(look, look.fin, 9, kind.seed + 10);
  pictures.tail = paint_fin(look, look.tail, 14, kind.seed + 20);
  pictures.eye = paint_eye(look);
  return pictures;
}

std::string skin_texture_name(const FishKind& kind) { return std::to_string(kind.number) + "-d.png"; }
std::string scales_texture_name(const FishKind& kind) { return std::to_string(kind.number) + "-b.dds"; }
std::string fin_texture_name(const FishKind& kind) { return std::to_string(kind.number) + "-f.png"; }
std::string tail_texture_name(const FishKind& kind) { return std::to_string(kind.number) + "-t.png"; }
std::string eye_texture_name(const FishKind& kind) { return std::to_string(kind.number) + "-e.png"; }

std::vector<std::uint8_t> encode_normal_map(const scenery::Picture& picture) {
  const std::vector<std::uint8_t> rgba = scenery::to_rgba8(picture);
  std::vector<std::uint32_t> argb(picture.pixels.size());
  for (std::size_t i = 0; i < argb.size(); ++i) {
    argb[i] = 0xFF000000u | std::uint32_t{rgba[i * 4]} << 16 | std::uint32_t{rgba[i * 4 + 1]} << 8 | rgba[i * 4 + 2];
  }
  const std::optional<render::Image> image =
      render::image_from_argb(render::PixelFormat::X8R8G8B8, picture.width, picture.height, argb);
  if (!image) return {};
  return render::encode_dds(*image);
}

}  // namespace forge::fishes
