#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace base {

// The 1024-byte settings record, little-endian, kept byte for byte. Fields
// are read and written in place at their offsets; everything not named here
// is carried along unchanged.
class UserSettings {
 public:
  static constexpr size_t kSize = 1024;

  // Offsets of the fields the host uses.
  enum Offset : size_t {
    kFlags = 0x000,
    kSecondFlags = 0x004,
    kFullScreenMode = 0x008,  // width, height, format, refresh rate
    kDisplayByte = 0x018,
    kMultisampleType = 0x019,
    kFeedingInterval = 0x034,
    kTankCycleInterval = 0x038,
    kRerollInterval = 0x03C,
    kRandomPoolCount = 0x040,
    kThirdFishInterval = 0x044,
    kWindowLeft = 0x048,
    kWindowTop = 0x04C,
    kWindowWidth = 0x050,
    kWindowHeight = 0x054,
    kMusicFlags = 0x058,
    kMusicTrack = 0x05C,
    kMusicPosition = 0x060,
    kMusicVolume = 0x068,
    kSoundFlags = 0x070,
    kSoundVolume = 0x074,
    kSoundName = 0x078,
    kLayoutName = 0x098,
    kTankName = 0x0D8,
    kFishSlots = 0x118,
    kRandomPool = 0x218,
    kColourBlock = 0x318,
    kColourTable = 0x338,
    kBubbleFlags = 0x380,
    kBubbleEmitter = 0x384,
    kSmallBubbleRate = 0x388,
    kBubbleSpare = 0x38C,
    kBigBubbleRate = 0x390,
    kSpeckCount = 0x394,
    kSpeckSize = 0x398,
    kCameraPreset = 0x39C,
    kViewAspect = 0x3A0,
    kZoomDirection = 0x3A4,
  };

  // Capacities of the name fields, each with its terminating NUL, and the
  // lengths of the arrays.
  static constexpr size_t kSoundNameSize = 32;
  static constexpr size_t kLayoutNameSize = 64;
  static constexpr size_t kTankNameSize = 64;
  static constexpr size_t kFishSlotCount = 64;
  static constexpr size_t kRandomPoolCapacity = 64;
  static constexpr size_t kColourCount = 18;

  // Bits of the flag word at offset 0.
  enum Flag : uint32_t {
    kHideCursor = 1u << 0,
    kOwnCursor = 1u << 1,
    kUse32BitModes = 1u << 2,
    kUseStoredMode = 1u << 3,
    kExitOnActivation = 1u << 5,
    kExitOnMouseMove = 1u << 6,
    kUniqueRandomFish = 1u << 7,
    kRerollPeriodically = 1u << 8,
    kAllKindsInPool = 1u << 9,
    kPixelShaderEffect = 1u << 12,
    kMonitorPowerDown = 1u << 14,
    kAntialiasing = 1u << 15,
    kCycleInOrder = 1u << 22,
    kCycleRandom = 1u << 23,
    kRerollOnTankChange = 1u << 24,
    kWindowsKeyLock = 1u << 25,
    kAlwaysOnTop = 1u << 26,
    kWindowed = 1u << 27,
    kVsync = 1u << 28,
  };

  // Bits of the music flags and of the ambient sound flags.
  enum : uint32_t { kKeepPlaying = 1u << 0, kShuffle = 1u << 1, kMusicOff = 1u << 2, kRepeat = 1u << 3 };
  enum : uint32_t { kSoundOff = 1u << 1 };

  uint32_t u32(size_t offset) const { return static_cast<uint32_t>(read(offset, 4)); }
  int32_t i32(size_t offset) const { return static_cast<int32_t>(u32(offset)); }
  int64_t i64(size_t offset) const { return static_cast<int64_t>(read(offset, 8)); }
  void set_u32(size_t offset, uint32_t value) { write(offset, value, 4); }
  void set_i32(size_t offset, int32_t value) { write(offset, static_cast<uint32_t>(value), 4); }
  void set_i64(size_t offset, int64_t value) { write(offset, static_cast<uint64_t>(value), 8); }

  uint32_t flags() const { return u32(kFlags); }
  bool flag(uint32_t bit) const { return (flags() & bit) != 0; }
  // Changing the flag word writes the second word back unchanged.
  void set_flag(uint32_t bit, bool on) {
    uint32_t second = u32(kSecondFlags);
    set_u32(kFlags, on ? (flags() | bit) : (flags() & ~bit));
    set_u32(kSecondFlags, second);
  }

  // A NUL-terminated name of at most `capacity` - 1 characters.
  std::string text(size_t offset, size_t capacity) const;
  void set_text(size_t offset, size_t capacity, const std::string& value);

  std::array<uint8_t, kSize>& bytes() { return bytes_; }
  const std::array<uint8_t, kSize>& bytes() const { return bytes_; }

 private:
  uint64_t read(size_t offset, size_t width) const;
  void write(size_t offset, uint64_t value, size_t width);

  std::array<uint8_t, kSize> bytes_{};
};

// The process-wide record; all zero until loaded.
UserSettings& user_settings();

}  // namespace base
