#include "base/interval_scale.h"

namespace base {
namespace {

// Each step of the scale: up to position `last`, every position adds
// `seconds` to the value at the previous step's last position.
struct ScaleStep {
  int64_t last;
  int64_t seconds;
};

constexpr ScaleStep kSteps[] = {
    {60, 1}, {84, 10}, {99, 20}, {139, 30}, {169, 60}, {193, 300}, {205, 600}, {219, 1800}, {231, 3600},
};

}  // namespace

int64_t duration_from_position(int64_t position, int64_t offset) {
  const int64_t p = position + offset;
  if (p <= 0) return 0;
  int64_t first = 0;
  int64_t value = 0;
  for (const ScaleStep& step : kSteps) {
    if (p <= step.last) return value + (p - first) * step.seconds;
    value += (step.last - first) * step.seconds;
    first = step.last;
  }
  return value;
}

int64_t interval_base(const RuntimeState& state, std::size_t interval_offset) {
  float base = 0.0f;
  switch (interval_offset) {
    case UserSettings::kFeedingInterval:
      base = state.durations[7];
      break;
    case UserSettings::kTankCycleInterval:
      base = state.durations[4];
      break;
    case UserSettings::kRerollInterval:
      base = state.durations[5];
      break;
    case UserSettings::kThirdFishInterval:
      base = state.durations[6];
      break;
    case kColourHoldInterval:
      base = state.durations[1];
      break;
    default:
      break;
  }
  // A base that is no sensible number of seconds counts as none.
  return base >= 0.0f && base < 1e9f ? static_cast<int64_t>(base) : 0;
}

int64_t interval_seconds(const UserSettings& settings, std::size_t interval_offset,
                         const RuntimeState& state) {
  return duration_from_position(settings.u32(interval_offset), interval_base(state, interval_offset));
}

}  // namespace base
