#pragma once

#include <cstdint>

namespace base {

// The classic 15-bit linear congruential generator of the C library:
// x = x * 214013 + 2531011 (mod 2^32), result (x >> 16) & 0x7FFF. The
// simulation's random draws come from one shared instance, crt_rand(), so a
// test that seeds it gets the same sequence every run; anything that is not
// the simulation keeps an instance of its own.
class CrtRandom {
 public:
  static constexpr int kMax = 32767;

  explicit CrtRandom(std::uint32_t seed_value = 1) : state_(seed_value) {}

  void seed(std::uint32_t seed_value) { state_ = seed_value; }

  // 0 .. kMax.
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

  // next() / kMax: a value in [0, 1], both ends included.
  float unit() { return static_cast<float>(next()) / static_cast<float>(kMax); }

  // One draw that succeeds with probability p: next() <= p * kMax.
  bool chance(float p) { return static_cast<float>(next()) <= p * static_cast<float>(kMax); }

 private:
  std::uint32_t state_;
};

// The process-wide generator of the simulation.
CrtRandom& crt_rand();

}  // namespace base
