#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// The sample layout of a buffer, as a WAV file's format chunk gives it.
struct PcmFormat {
  static constexpr uint16_t kPcm = 1;
  static constexpr uint16_t kFloat = 3;
  static constexpr uint16_t kExtensible = 0xFFFE;

  uint16_t tag = kPcm;  // for kExtensible, the tag of the sub-format
  uint16_t channels = 2;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  uint16_t block_align = 4;  // bytes per frame
};

// One sound in memory that plays once or loops, at its own volume
// (millibels, -10000 silent .. 0 full).
class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;

  // Replaces the buffer's samples; `data` is in the buffer's format.
  virtual bool write(std::span<const uint8_t> data) = 0;
  // Starts from the beginning.
  virtual bool play(bool loop) = 0;
  // Stops; the next play starts from the beginning.
  virtual void stop() = 0;
  virtual bool playing() const = 0;
  virtual bool set_volume(int32_t millibels) = 0;

  // A buffer whose samples were lost with the device must be restored and
  // written again before it plays. restore returns false while the device
  // does not yet allow it.
  virtual bool lost() const = 0;
  virtual bool restore() = 0;
};

class SoundBackend {
 public:
  virtual ~SoundBackend() = default;

  // False when there is no sound device: nothing can be created.
  virtual bool available() const = 0;
  // A buffer for `size` bytes in `format`, which plays once written; null
  // when the format cannot be played.
  virtual std::unique_ptr<SoundBuffer> create_buffer(const PcmFormat& format, uint32_t size) = 0;
};

// Sound buffers on SDL_mixer channels, converted to the device's format.
std::unique_ptr<SoundBackend> create_sdl_sound_backend();

}  // namespace platform
