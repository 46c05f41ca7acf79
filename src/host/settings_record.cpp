#include "host/settings_record.h"

#include <algorithm>
#include <iterator>

namespace host {
namespace {

using S = base::UserSettings;

constexpr int32_t kDefaultFishSlots[] = {10008, 10008, 10008, 10008, 10008,
                                         10008, 10008, 30001, 30001, 30005};

// COLORREF values (0x00BBGGRR) of the colour scheme.
constexpr uint32_t kDefaultColours[S::kColourCount] = {
    0xFFFFFF, 0xAAFFAA, 0x80FFFF, 0xBEBEBE, 0x9696FF, 0xFF8000, 0xFFFF80, 0x804000, 0x408000,
    0x80FF80, 0x80FFFF, 0x004080, 0x800000, 0xFFFF80, 0x000040, 0x8080FF, 0x000000, 0xFF8000,
};

// Largest slider position of the interval fields.
constexpr uint32_t kLastIntervalPosition = 231;

void copy_range(S& to, const S& from, std::size_t offset, std::size_t length) {
  std::copy_n(from.bytes().begin() + static_cast<std::ptrdiff_t>(offset), length,
              to.bytes().begin() + static_cast<std::ptrdiff_t>(offset));
}

void clamp_u32(S& s, std::size_t offset, uint32_t highest) {
  if (s.u32(offset) > highest) s.set_u32(offset, highest);
}

void terminate_name(S& s, std::size_t offset, std::size_t capacity) { s.bytes()[offset + capacity - 1] = 0; }

}  // namespace

void reset_to_defaults(S& s, int screen_width, int screen_height) {
  s.bytes().fill(0);
  s.set_u32(S::kFlags, S::kUse32BitModes | S::kUseStoredMode | S::kExitOnMouseMove | S::kAllKindsInPool |
                           S::kCycleInOrder | S::kRerollOnTankChange | S::kVsync);
  s.set_u32(S::kFeedingInterval, 42);
  s.set_i32(S::kWindowLeft, (screen_width - kDefaultWindowWidth) / 2);
  s.set_i32(S::kWindowTop, (screen_height - kDefaultWindowHeight) / 2);
  s.set_i32(S::kWindowWidth, kDefaultWindowWidth);
  s.set_i32(S::kWindowHeight, kDefaultWindowHeight);
  s.set_u32(S::kMusicVolume, 100);
  s.set_u32(S::kSoundVolume, 100);
  s.set_text(S::kSoundName, S::kSoundNameSize, "Water");
  s.set_text(S::kLayoutName, S::kLayoutNameSize, "Layout01");
  s.set_text(S::kTankName, S::kTankNameSize, "Tank01_Anemone01");
  for (std::size_t i = 0; i < std::size(kDefaultFishSlots); ++i)
    s.set_i32(S::kFishSlots + 4 * i, kDefaultFishSlots[i]);
  s.set_u32(S::kColourBlock + 0x14, 20);
  s.set_u32(S::kColourBlock + 0x18, 25);
  for (std::size_t i = 0; i < S::kColourCount; ++i) s.set_u32(S::kColourTable + 4 * i, kDefaultColours[i]);
  s.set_u32(S::kBubbleFlags, 1);
  s.set_u32(S::kBubbleEmitter, 50);
  s.set_u32(S::kSmallBubbleRate, 100);
  s.set_u32(S::kBubbleSpare, 25);
  s.set_u32(S::kBigBubbleRate, 20);
  s.set_u32(S::kSpeckCount, 20);
  s.set_u32(S::kSpeckSize, 100);
  s.set_i32(S::kZoomDirection, -1);
}

void restore_user_settings(S& s, const S& previous) {
  const uint32_t flags = (s.flags() & kTransferableFlags) | (previous.flags() & ~kTransferableFlags);
  s.set_u32(S::kFlags, flags);
  s.set_u32(S::kSecondFlags, previous.u32(S::kSecondFlags));
  copy_range(s, previous, S::kFullScreenMode, 16);
  copy_range(s, previous, S::kDisplayByte, 1);
  copy_range(s, previous, S::kMultisampleType, 1);
  copy_range(s, previous, S::kWindowLeft, 16);
  copy_range(s, previous, S::kViewAspect, 4);
  copy_range(s, previous, S::kZoomDirection, 4);
  copy_range(s, previous, S::kLayoutName, S::kLayoutNameSize);
}

void validate_window_rect(S& s, int screen_width, int screen_height) {
  const int32_t left = std::max(s.i32(S::kWindowLeft), 0);
  const int32_t top = std::max(s.i32(S::kWindowTop), 0);
  const int32_t width = s.i32(S::kWindowWidth);
  const int32_t height = s.i32(S::kWindowHeight);
  s.set_i32(S::kWindowLeft, left);
  s.set_i32(S::kWindowTop, top);
  const bool on_screen = left < screen_width && top < screen_height;
  const bool fits = width >= 320 && width <= screen_width && height >= 200 && height <= screen_height;
  if (on_screen && fits) return;
  s.set_i32(S::kWindowWidth, kDefaultWindowWidth);
  s.set_i32(S::kWindowHeight, kDefaultWindowHeight);
  // A corner off the screen (another monitor that is gone, a smaller
  // screen) would open the window where nobody can see it.
  if (!on_screen) {
    s.set_i32(S::kWindowLeft, std::max((screen_width - kDefaultWindowWidth) / 2, 0));
    s.set_i32(S::kWindowTop, std::max((screen_height - kDefaultWindowHeight) / 2, 0));
  }
}

void repair_settings_fields(S& s) {
  terminate_name(s, S::kSoundName, S::kSoundNameSize);
  terminate_name(s, S::kLayoutName, S::kLayoutNameSize);
  terminate_name(s, S::kTankName, S::kTankNameSize);

  for (std::size_t offset :
       {S::kFeedingInterval, S::kTankCycleInterval, S::kRerollInterval, S::kThirdFishInterval})
    clamp_u32(s, offset, kLastIntervalPosition);
  clamp_u32(s, S::kRandomPoolCount, S::kRandomPoolCapacity);
  for (std::size_t offset : {S::kMusicVolume, S::kSoundVolume, S::kBubbleEmitter, S::kSmallBubbleRate,
                             S::kBigBubbleRate, S::kSpeckCount, S::kSpeckSize})
    clamp_u32(s, offset, 100);

  if (s.i32(S::kMusicTrack) < 0) s.set_i32(S::kMusicTrack, 0);
  if (s.i64(S::kMusicPosition) < 0) s.set_i64(S::kMusicPosition, 0);
  if (s.i32(S::kViewAspect) < 0 || s.i32(S::kViewAspect) > 2) s.set_i32(S::kViewAspect, 0);
  if (s.i32(S::kZoomDirection) != 1) s.set_i32(S::kZoomDirection, -1);
}

}  // namespace host
