#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound.h"

namespace base {
class UserSettings;
}

namespace audio {

// The ambient sound: one WAV file from the program's "Sound/" folder, looped
// under the music with its own on/off flag, volume and file name in the
// sound block of the settings record.
class AmbientSound {
 public:
  explicit AmbientSound(platform::SoundBackend& backend) : backend_(backend) {}

  // False, leaving everything silent, when there is no sound device.
  bool init(std::string folder, base::UserSettings& settings);

  // Forgets the current sound and loads the one the settings name; a file
  // that is missing or unreadable empties the stored name. Then apply.
  void load_and_start();
  // Volume from the settings, then plays (looping) or stops as they say.
  void apply();
  // Starts (looping, at the stored volume) or stops the current sound.
  void set_enabled(bool enabled);
  // 0..100 along the ambient volume curve; stored only while there is a
  // current sound.
  void set_volume(int volume);
  // At the final clean-up: stops and forgets every sound.
  void release();

  // A loaded sound with that path, else one loaded now; null when it cannot be.
  Sound* create_sound(const std::string& path);

  // Activation of the program: unless the sound keeps playing in the
  // background, it stops while inactive and stays off while switched off.
  void on_activate_app(bool active);
  // After the sound-off flag changed (the sound command, the sound page):
  // starts or stops the sound to match it.
  void apply_sound_switch();

  Sound* current() const { return current_; }
  const std::string& folder() const { return folder_; }

 private:
  bool sound_off() const;

  platform::SoundBackend& backend_;
  base::UserSettings* settings_ = nullptr;
  std::string folder_;
  bool device_ = false;
  std::vector<std::unique_ptr<Sound>> sounds_;
  Sound* current_ = nullptr;
};

}  // namespace audio
