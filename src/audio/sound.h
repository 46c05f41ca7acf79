#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/wave_file.h"
#include "platform/sound_backend.h"

namespace audio {

// A WAV file held whole in one sound buffer.
class Sound {
 public:
  // How often a lost buffer is tried to restore, 10 ms apart, before the
  // sound gives up on this play.
  static constexpr int kRestoreAttempts = 50;

  // The sound of the file at `path`, or null when the file is no readable
  // WAV file, holds no data, or its format cannot be played.
  static std::unique_ptr<Sound> create(platform::SoundBackend& backend, const std::string& path);

  const std::string& path() const { return path_; }
  const WaveFormat& format() const { return wave_.format(); }

  // Plays from the start, restoring and refilling a lost buffer first.
  bool play(bool loop);
  // Stops; the next play starts from the beginning either way.
  void stop(bool rewind);
  bool set_volume(int32_t millibels);
  bool playing() const { return buffer_->playing(); }

 private:
  Sound(std::string path, WaveFile wave, std::unique_ptr<platform::SoundBuffer> buffer);
  // Restores the buffer when lost, then writes the whole data into it, with
  // silence after whatever the file could not give.
  bool fill();

  std::string path_;
  WaveFile wave_;
  std::unique_ptr<platform::SoundBuffer> buffer_;
  bool loop_ = false;
};

}  // namespace audio
