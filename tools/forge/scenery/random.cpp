#include "forge/scenery/random.h"

namespace forge::scenery {

std::uint64_t Random::next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

float Random::unit() { return static_cast<float>(next() >> 40) / static_cast<float>(1u << 24); }

int Random::below(int count) {
  if (count < 1) return 0;
  return static_cast<int>(next() % static_cast<std::uint64_t>(count));
}

std::uint32_t hash_ints(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^
                    static_cast<std::uint32_t>(z) * 0xCB1AB31Fu ^ seed * 0x9E3779B9u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

}  // namespace forge::scenery
