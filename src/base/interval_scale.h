#pragma once
#include <cstddef>
#include <cstdint>

#include "base/runtime_state.h"
#include "base/user_settings.h"

namespace base {

// Duration sliders run over positions 0 to 231, which map to 0 s to 24 h:
// one second per step up to a minute, then ever coarser steps (10 s up to
// 5 min, 20 s up to 10 min, 30 s up to 30 min, 1 min up to 1 h, 5 min up to
// 3 h, 10 min up to 5 h, 30 min up to 12 h, 1 h up to 24 h).
inline constexpr int64_t kLastDurationPosition = 231;

// Seconds for position + offset; below 0 gives 0, above 231 gives 86400.
int64_t duration_from_position(int64_t position, int64_t offset);
// The slider position that shows p the other way round.
inline int64_t reverse_position(int64_t p) { return kLastDurationPosition - p; }

// The colour hold interval, a slider position inside the colour block.
inline constexpr std::size_t kColourHoldInterval = UserSettings::kColourBlock + 20;

// The interval fields of the settings record hold slider positions; the
// duration adds a base taken (as whole seconds) from the runtime durations:
// feeding 10 s, the tank cycle, the random-fish re-roll and the third fish
// interval 30 s each, the colour hold 5 s.
int64_t interval_base(const RuntimeState& state, std::size_t interval_offset);
// The interval at that offset of the record in seconds.
int64_t interval_seconds(const UserSettings& settings, std::size_t interval_offset,
                         const RuntimeState& state);

}  // namespace base
