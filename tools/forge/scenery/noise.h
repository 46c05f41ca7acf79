#pragma once

#include <cstdint>

#include "base/vector.h"

namespace forge::scenery {

// Lattice periods of a noise field on each axis; 0 leaves that axis
// unbounded. A field with period n on x repeats after n lattice cells, so a
// texture that samples it over exactly n cells tiles.
struct NoisePeriod {
  int x = 0;
  int y = 0;
  int z = 0;
};

// Smooth gradient noise, about -1..1, one lattice cell per unit.
float gradient_noise(const base::Vec3& p, std::uint32_t seed, const NoisePeriod& period = {});

// Octaves of gradient noise, each of twice the frequency (and twice the
// period, so the sum keeps the first octave's period) and `gain` times the
// amplitude of the one before; normalised back to about -1..1.
float fractal_noise(const base::Vec3& p, int octaves, std::uint32_t seed, const NoisePeriod& period = {},
                    float gain = 0.5f);

// 1 - |noise| per octave, sharpened: thin bright ridges on dark ground, 0..1.
// Cracks and crevices are its ridges turned upside down.
float ridged_noise(const base::Vec3& p, int octaves, std::uint32_t seed, const NoisePeriod& period = {});

// Hermite step of x between edge0 and edge1, 0..1.
float smoothstep(float edge0, float edge1, float x);

}  // namespace forge::scenery
