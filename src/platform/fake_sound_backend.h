#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound_backend.h"

namespace platform {

// What one fake buffer was asked to do; it outlives the buffer, so a test can
// look at it after the sound is released.
struct FakeSoundRecord {
  PcmFormat format;
  uint32_t size = 0;
  std::vector<uint8_t> data;  // the last write
  int writes = 0;
  int plays = 0;
  int stops = 0;
  int restores = 0;
  bool playing = false;
  bool looping = false;
  int32_t volume = 0;  // millibels
  // The buffer reports itself lost until restored, and restore fails this
  // many more times first.
  bool lost = false;
  int restore_failures = 0;
  bool released = false;
};

// A sound backend without sound for tests: every buffer's requests land in
// its record.
class FakeSoundBackend final : public SoundBackend {
 public:
  bool available() const override { return device_present; }
  std::unique_ptr<SoundBuffer> create_buffer(const PcmFormat& format, uint32_t size) override;

  bool device_present = true;
  bool refuse_buffers = false;
  std::vector<std::shared_ptr<FakeSoundRecord>> buffers;  // in order of creation
};

}  // namespace platform
