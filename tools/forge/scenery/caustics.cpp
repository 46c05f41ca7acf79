#include "forge/scenery/caustics.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "base/byte_writer.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"

namespace forge::scenery {
namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

// One wave of the surface: (m, n) whole wave lengths across the tile,
// `cycles` whole periods over the loop (the sign sets the direction it
// travels), a phase, and how strongly it focuses the light: the amplitude
// follows from this, so short waves are lower and every wave takes part.
struct Wave {
  int m, n;
  int cycles;
  double phase;
  double focus;
};

// Shorter waves change faster, as on real water; the shortest ones only
// shimmer.
constexpr Wave kWaves[] = {
    {3, 1, 1, 0.3, 0.55}, {-1, 4, -1, 1.9, 0.55}, {4, -2, 2, 4.1, 0.5}, {-3, -3, -2, 2.6, 0.5},
    {2, 5, 2, 5.3, 0.45}, {5, 2, -2, 0.9, 0.45},  {-7, 4, 3, 3.3, 0.3}, {6, 7, -3, 1.2, 0.3},
};

constexpr int kRaysPerPixel = 4;  // on each axis
constexpr double kRefraction = 1.0 / 1.333;
constexpr double kDepth = 1.0;      // from the surface to the floor, tile widths
constexpr double kBlurSigma = 0.8;  // pixels
constexpr double kMeanLevel = 0.45;
constexpr double kTopLevel = 0.92;  // the brightest lines stay below white

std::vector<double> blur_periodic(const std::vector<double>& image, std::uint32_t size, double sigma) {
  const int reach = static_cast<int>(std::ceil(sigma * 3.0));
  std::vector<double> kernel;
  double sum = 0.0;
  for (int i = -reach; i <= reach; ++i) {
    kernel.push_back(std::exp(-0.5 * i * i / (sigma * sigma)));
    sum += kernel.back();
  }
  for (double& k : kernel) k /= sum;
  const int n = static_cast<int>(size);
  auto wrap = [n](int i) { return ((i % n) + n) % n; };
  std::vector<double> across(image.size());
  std::vector<double> out(image.size());
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      double v = 0.0;
      for (int k = -reach; k <= reach; ++k)
        v += kernel[static_cast<std::size_t>(k + reach)] *
             image[static_cast<std::size_t>(y * n + wrap(x + k))];
      across[static_cast<std::size_t>(y * n + x)] = v;
    }
  }
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      double v = 0.0;
      for (int k = -reach; k <= reach; ++k)
        v += kernel[static_cast<std::size_t>(k + reach)] *
             across[static_cast<std::size_t>(wrap(y + k) * n + x)];
      out[static_cast<std::size_t>(y * n + x)] = v;
    }
  }
  return out;
}

}  // namespace

CausticFrames compute_caustics(std::uint32_t size, int frame_count) {
  CausticFrames result;
  result.size = size;
  if (size == 0 || frame_count <= 0) return result;
  const int rays = static_cast<int>(size) * kRaysPerPixel;
  // sin and cos of 2 pi k / rays: every wave's spatial phase at a ray of the
  // grid is one of these, since its wave numbers are whole.
  std::vector<double> sine(static_cast<std::size_t>(rays));
  std::vector<double> cosine(static_cast<std::size_t>(rays));
  for (int k = 0; k < rays; ++k) {
    sine[static_cast<std::size_t>(k)] = std::sin(kTurn * k / rays);
    cosine[static_cast<std::size_t>(k)] = std::cos(kTurn * k / rays);
  }
  constexpr std::size_t kWaveCount = sizeof(kWaves) / sizeof(kWaves[0]);
  const double bend = kDepth * (1.0 - kRefraction);
  double amplitude[kWaveCount];
  for (std::size_t w = 0; w < kWaveCount; ++w) {
    const double k2 = kTurn * kTurn * (kWaves[w].m * kWaves[w].m + kWaves[w].n * kWaves[w].n);
    amplitude[w] = kWaves[w].focus / (bend * k2);
  }
  const double pixels_per_ray = 1.0 / kRaysPerPixel;
  const double mean = static_cast<double>(kRaysPerPixel * kRaysPerPixel);
  const double gain = -std::log(1.0 - kMeanLevel / kTopLevel);
  for (int frame = 0; frame < frame_count; ++frame) {
    const double time = static_cast<double>(frame) / frame_count;
    double cos_t[kWaveCount];
    double sin_t[kWaveCount];
    for (std::size_t w = 0; w < kWaveCount; ++w) {
      const double theta = kWaves[w].phase - kTurn * kWaves[w].cycles * time;
      cos_t[w] = std::cos(theta);
      sin_t[w] = std::sin(theta);
    }
    std::vector<double> density(static_cast<std::size_t>(size) * size, 0.0);
    for (int j = 0; j < rays; ++j) {
      for (int i = 0; i < rays; ++i) {
        // The surface slope: the gradient of the sum of the waves.
        double gx = 0.0;
        double gy = 0.0;
        for (std::size_t w = 0; w < kWaveCount; ++w) {
          const int index = (((kWaves[w].m * i + kWaves[w].n * j) % rays) + rays) % rays;
          const double c = cosine[static_cast<std::size_t>(index)] * cos_t[w] -
                           sine[static_cast<std::size_t>(index)] * sin_t[w];
          const double s = amplitude[w] * kTurn * c;
          gx += s * kWaves[w].m;
          gy += s * kWaves[w].n;
        }
        // Refract a ray falling straight down through the surface normal.
        const double length = std::sqrt(gx * gx + gy * gy + 1.0);
        const double nx = -gx / length;
        const double ny = -gy / length;
        const double nz = 1.0 / length;
        const double k = 1.0 - kRefraction * kRefraction * (1.0 - nz * nz);
        const double f = kRefraction * nz - std::sqrt(std::max(k, 0.0));
        const double tx = f * nx;
        const double ty = f * ny;
        const double tz = -kRefraction + f * nz;
        // Arrival on the floor, in pixels, splatted over four pixels.
        const double ax = (i + 0.5) * pixels_per_ray + kDepth * tx / -tz * size - 0.5;
        const double ay = (j + 0.5) * pixels_per_ray + kDepth * ty / -tz * size - 0.5;
        const double fx = std::floor(ax);
        const double fy = std::floor(ay);
        const double wx = ax - fx;
        const double wy = ay - fy;
        const int n = static_cast<int>(size);
        const int x0 = ((static_cast<int>(fx) % n) + n) % n;
        const int y0 = ((static_cast<int>(fy) % n) + n) % n;
        const int x1 = (x0 + 1) % n;
        const int y1 = (y0 + 1) % n;
        density[static_cast<std::size_t>(y0 * n + x0)] += (1 - wx) * (1 - wy);
        density[static_cast<std::size_t>(y0 * n + x1)] += wx * (1 - wy);
        density[static_cast<std::size_t>(y1 * n + x0)] += (1 - wx) * wy;
        density[static_cast<std::size_t>(y1 * n + x1)] += wx * wy;
      }
    }
    const std::vector<double> soft = blur_periodic(density, size, kBlurSigma);
    std::vector<std::uint8_t> grey(soft.size());
    for (std::size_t p = 0; p < soft.size(); ++p) {
      const double level = kTopLevel * (1.0 - std::exp(-gain * soft[p] / mean));
      grey[p] = static_cast<std::uint8_t>(std::lround(std::clamp(level, 0.0, 1.0) * 255.0));
    }
    result.frames.push_back(std::move(grey));
  }
  return result;
}

CausticFrames half_size(const CausticFrames& frames) {
  CausticFrames half;
  half.size = frames.size / 2;
  for (const std::vector<std::uint8_t>& frame : frames.frames) {
    std::vector<std::uint8_t> small(static_cast<std::size_t>(half.size) * half.size);
    for (std::uint32_t y = 0; y < half.size; ++y) {
      for (std::uint32_t x = 0; x < half.size; ++x) {
        const auto at = [&](std::uint32_t px, std::uint32_t py) {
          return frame[static_cast<std::size_t>(py) * frames.size + px];
        };
        const unsigned sum =
            at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
        small[static_cast<std::size_t>(y) * half.size + x] = static_cast<std::uint8_t>((sum + 2) / 4);
      }
    }
    half.frames.push_back(std::move(small));
  }
  return half;
}

std::vector<std::uint8_t> encode_grey_tga(std::uint32_t width, std::uint32_t height,
                                          const std::vector<std::uint8_t>& grey) {
  base::ByteWriter out;
  out.u8(0);  // no id
  out.u8(0);  // no colour map
  out.u8(3);  // grey
  out.zeros(5);
  out.u16(0);  // origin
  out.u16(0);
  out.u16(static_cast<std::uint16_t>(width));
  out.u16(static_cast<std::uint16_t>(height));
  out.u8(8);
  out.u8(0x20);  // top row first
  out.bytes(grey);
  return out.take();
}

std::optional<std::vector<std::uint8_t>> encode_caustic_package(const CausticFrames& frames,
                                                                std::string_view package_name) {
  render::PackageBuilder builder;
  builder.set_fixed_time(model::kFixedEntryTime);
  for (std::size_t i = 0; i < frames.frames.size(); ++i) {
    const std::string number = std::to_string(i);
    const std::string name =
        "WS" + std::string(number.size() < 2 ? 2 - number.size() : 0, '0') + number + ".tga";
    if (builder.add(encode_grey_tga(frames.size, frames.size, frames.frames[i]), name, true) < 0)
      return std::nullopt;
  }
  return builder.encode(package_name);
}

}  // namespace forge::scenery
