#pragma once
#include <cstdint>

namespace base {

// Process-wide lock word. Bit 31: language tables are read from loose files
// first. Bit 20: the music is disabled (the preview).
struct FeatureLocks {
  static constexpr uint32_t kPreferLooseTables = 1u << 31;
  static constexpr uint32_t kMusicLocked = 1u << 20;
  uint32_t word = 0;
  bool music_locked() const { return (word & kMusicLocked) != 0; }
};

FeatureLocks& feature_locks();

}  // namespace base
