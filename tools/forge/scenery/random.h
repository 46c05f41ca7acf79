#pragma once

#include <cstdint>

namespace forge::scenery {

// A small repeatable generator (SplitMix64): the same seed gives the same
// numbers on every run and every machine. The scenery never touches the
// simulation's generator.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next();
  // [0, 1).
  float unit();
  // [low, high).
  float range(float low, float high) { return low + (high - low) * unit(); }
  // [-1, 1).
  float symmetric() { return range(-1.0f, 1.0f); }
  // 0 .. count - 1; 0 for a count below 1.
  int below(int count);

 private:
  std::uint64_t state_;
};

// A repeatable hash of a few integers, spread over 32 bits.
std::uint32_t hash_ints(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed);

}  // namespace forge::scenery
