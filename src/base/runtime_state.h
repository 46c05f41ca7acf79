#pragma once
#include <array>
#include <cstdint>

namespace base {

// Process-wide state that is never saved: a flag word and the durations the
// GUI and the scene read.
struct RuntimeState {
  enum Bit : uint32_t {
    kInfoBox = 1u << 0,
    kWireframe = 1u << 1,
    kHelpBox = 1u << 2,
    kToggleF8 = 1u << 3,
    kToggleF9 = 1u << 4,
    kNtFamily = 1u << 25,
    kDialogOpen = 1u << 26,
    kWindowsKeyLocked = 1u << 27,
  };

  uint32_t flags = 0;
  uint32_t second_word = 0;  // written back unchanged whenever flags change
  // Seconds: cursor hide delay, two GUI delays, the tank fade, three scene
  // intervals and one more delay.
  std::array<float, 8> durations{5.0f, 5.0f, 5.0f, 3.0f, 30.0f, 30.0f, 30.0f, 10.0f};

  bool has(uint32_t bit) const { return (flags & bit) != 0; }
  void set(uint32_t bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); }
  void toggle(uint32_t bit) { flags ^= bit; }

  float cursor_hide_delay() const { return durations[0]; }
  float tank_fade_duration() const { return durations[3]; }
};

RuntimeState& runtime_state();

}  // namespace base
