#include "forge/scenery/noise.h"

#include <algorithm>
#include <cmath>

#include "forge/scenery/random.h"

namespace forge::scenery {
namespace {

int wrap(int i, int period) {
  if (period <= 0) return i;
  const int r = i % period;
  return r < 0 ? r + period : r;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

// The dot product with one of the twelve cube-edge gradients the hash picks.
float gradient_dot(std::uint32_t hash, float x, float y, float z) {
  switch (hash % 12) {
    case 0:
      return x + y;
    case 1:
      return -x + y;
    case 2:
      return x - y;
    case 3:
      return -x - y;
    case 4:
      return x + z;
    case 5:
      return -x + z;
    case 6:
      return x - z;
    case 7:
      return -x - z;
    case 8:
      return y + z;
    case 9:
      return -y + z;
    case 10:
      return y - z;
    default:
      return -y - z;
  }
}

float mix(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

float gradient_noise(const base::Vec3& p, std::uint32_t seed, const NoisePeriod& period) {
  const float fx = std::floor(p.x);
  const float fy = std::floor(p.y);
  const float fz = std::floor(p.z);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const int iz = static_cast<int>(fz);
  const float x = p.x - fx;
  const float y = p.y - fy;
  const float z = p.z - fz;
  auto corner = [&](int dx, int dy, int dz) {
    const std::uint32_t h =
        hash_ints(wrap(ix + dx, period.x), wrap(iy + dy, period.y), wrap(iz + dz, period.z), seed);
    return gradient_dot(h, x - static_cast<float>(dx), y - static_cast<float>(dy),
                        z - static_cast<float>(dz));
  };
  const float u = fade(x);
  const float v = fade(y);
  const float w = fade(z);
  const float x00 = mix(corner(0, 0, 0), corner(1, 0, 0), u);
  const float x10 = mix(corner(0, 1, 0), corner(1, 1, 0), u);
  const float x01 = mix(corner(0, 0, 1), corner(1, 0, 1), u);
  const float x11 = mix(corner(0, 1, 1), corner(1, 1, 1), u);
  return std::clamp(mix(mix(x00, x10, v), mix(x01, x11, v), w), -1.0f, 1.0f);
}

float fractal_noise(const base::Vec3& p, int octaves, std::uint32_t seed, const NoisePeriod& period,
                    float gain) {
  float sum = 0.0f;
  float amplitude = 1.0f;
  float total = 0.0f;
  float frequency = 1.0f;
  NoisePeriod scaled = period;
  for (int octave = 0; octave < octaves; ++octave) {
    sum +=
        amplitude * gradient_noise(p * frequency, seed + static_cast<std::uint32_t>(octave) * 101u, scaled);
    total += amplitude;
    amplitude *= gain;
    frequency *= 2.0f;
    scaled = NoisePeriod{scaled.x * 2, scaled.y * 2, scaled.z * 2};
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float ridged_noise(const base::Vec3& p, int octaves, std::uint32_t seed, const NoisePeriod& period) {
  float sum = 0.0f;
  float amplitude = 1.0f;
  float total = 0.0f;
  float frequency = 1.0f;
  NoisePeriod scaled = period;
  for (int octave = 0; octave < octaves; ++octave) {
    const float n = 1.0f - std::abs(gradient_noise(p * frequency,
                                                   seed + static_cast<std::uint32_t>(octave) * 131u, scaled));
    sum += amplitude * n * n;
    total += amplitude;
    amplitude *= 0.5f;
    frequency *= 2.0f;
    scaled = NoisePeriod{scaled.x * 2, scaled.y * 2, scaled.z * 2};
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float smoothstep(float edge0, float edge1, float x) {
  if (edge0 == edge1) return x < edge0 ? 0.0f : 1.0f;
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

}  // namespace forge::scenery
