// Loads the input as a settings file over a record and checks what every
// later reader relies on: names end within their fields, counts, volumes,
// rates and choices are in range, the window is on the screen, bytes that
// nothing repairs are exactly the file's (or, past its end, the old ones),
// and loading is idempotent.
//   input: u16 screen width, u16 screen height, one byte choosing the record
//   loaded over (zero or the defaults), then the file's bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "host/settings_file.h"

namespace {

using base::UserSettings;

void check(bool condition) {
  if (!condition) std::abort();
}

// Bytes that loading may change whatever the file says.
std::array<bool, UserSettings::kSize> repairable_bytes() {
  std::array<bool, UserSettings::kSize> mask{};
  auto mark = [&mask](std::size_t offset, std::size_t length) {
    for (std::size_t i = offset; i < offset + length; ++i) mask[i] = true;
  };
  mark(UserSettings::kWindowLeft, 16);
  mark(UserSettings::kSoundName + UserSettings::kSoundNameSize - 1, 1);
  mark(UserSettings::kLayoutName + UserSettings::kLayoutNameSize - 1, 1);
  mark(UserSettings::kTankName + UserSettings::kTankNameSize - 1, 1);
  for (std::size_t offset :
       {UserSettings::kFeedingInterval, UserSettings::kTankCycleInterval, UserSettings::kRerollInterval,
        UserSettings::kThirdFishInterval, UserSettings::kRandomPoolCount, UserSettings::kMusicVolume,
        UserSettings::kSoundVolume, UserSettings::kBubbleEmitter, UserSettings::kSmallBubbleRate,
        UserSettings::kBigBubbleRate, UserSettings::kSpeckCount, UserSettings::kSpeckSize,
        UserSettings::kMusicTrack, UserSettings::kViewAspect, UserSettings::kZoomDirection})
    mark(offset, 4);
  mark(UserSettings::kMusicPosition, 8);
  return mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const int width = 1 + ((data[0] | data[1] << 8) % 4096);
  const int height = 1 + ((data[2] | data[3] << 8) % 4096);
  UserSettings settings;
  if (data[4] & 1) host::reset_to_defaults(settings, width, height);
  const UserSettings before = settings;
  const std::span<const std::uint8_t> file(data + 5, size - 5);

  host::apply_settings_bytes(settings, file, width, height);

  static const std::array<bool, UserSettings::kSize> repairable = repairable_bytes();
  for (std::size_t i = 0; i < UserSettings::kSize; ++i) {
    if (repairable[i]) continue;
    check(settings.bytes()[i] == (i < file.size() ? file[i] : before.bytes()[i]));
  }

  check(settings.bytes()[UserSettings::kSoundName + UserSettings::kSoundNameSize - 1] == 0);
  check(settings.bytes()[UserSettings::kLayoutName + UserSettings::kLayoutNameSize - 1] == 0);
  check(settings.bytes()[UserSettings::kTankName + UserSettings::kTankNameSize - 1] == 0);
  for (std::size_t offset : {UserSettings::kFeedingInterval, UserSettings::kTankCycleInterval,
                             UserSettings::kRerollInterval, UserSettings::kThirdFishInterval})
    check(settings.u32(offset) <= 231);
  check(settings.u32(UserSettings::kRandomPoolCount) <= UserSettings::kRandomPoolCapacity);
  for (std::size_t offset :
       {UserSettings::kMusicVolume, UserSettings::kSoundVolume, UserSettings::kBubbleEmitter,
        UserSettings::kSmallBubbleRate, UserSettings::kBigBubbleRate, UserSettings::kSpeckCount,
        UserSettings::kSpeckSize})
    check(settings.u32(offset) <= 100);
  check(settings.i32(UserSettings::kMusicTrack) >= 0);
  check(settings.i64(UserSettings::kMusicPosition) >= 0);
  check(settings.i32(UserSettings::kViewAspect) >= 0 && settings.i32(UserSettings::kViewAspect) <= 2);
  check(settings.i32(UserSettings::kZoomDirection) == 1 || settings.i32(UserSettings::kZoomDirection) == -1);

  const int32_t left = settings.i32(UserSettings::kWindowLeft);
  const int32_t top = settings.i32(UserSettings::kWindowTop);
  const int32_t w = settings.i32(UserSettings::kWindowWidth);
  const int32_t h = settings.i32(UserSettings::kWindowHeight);
  check(left >= 0 && top >= 0 && left < width && top < height);
  check((w >= 320 && w <= width && h >= 200 && h <= height) || (w == 800 && h == 450));

  // A record that loading produced loads again unchanged.
  UserSettings again = settings;
  host::apply_settings_bytes(again, settings.bytes(), width, height);
  check(again.bytes() == settings.bytes());
  return 0;
}
