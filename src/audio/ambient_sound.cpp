#include "audio/ambient_sound.h"

#include <algorithm>

#include "audio/volume_curves.h"
#include "base/user_settings.h"

namespace audio {

namespace {

using Settings = base::UserSettings;
constexpr std::size_t kNameCapacity = 32;

}  // namespace

bool AmbientSound::init(std::string folder, Settings& settings) {
  settings_ = &settings;
  folder_ = std::move(folder);
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  device_ = backend_.available();
  return device_;
}

bool AmbientSound::sound_off() const {
  return settings_ != nullptr && (settings_->u32(Settings::kSoundFlags) & Settings::kSoundOff) != 0;
}

void AmbientSound::load_and_start() {
  if (current_ != nullptr) current_->stop(true);
  current_ = nullptr;
  if (!device_ || settings_ == nullptr) return;
  current_ = create_sound(folder_ + settings_->text(Settings::kSoundName, kNameCapacity) + ".wav");
  // The settings page then shows that no sound is chosen.
  if (current_ == nullptr) settings_->set_text(Settings::kSoundName, kNameCapacity, "");
  apply();
}

void AmbientSound::apply() {
  if (settings_ == nullptr) return;
  set_volume(static_cast<int>(std::min<uint32_t>(settings_->u32(Settings::kSoundVolume), 100)));
  if (current_ == nullptr) return;
  set_enabled(!sound_off());
}

void AmbientSound::set_enabled(bool enabled) {
  if (current_ == nullptr) return;
  if (!enabled) {
    current_->stop(true);
    return;
  }
  current_->play(true);
  set_volume(static_cast<int>(std::min<uint32_t>(settings_->u32(Settings::kSoundVolume), 100)));
}

void AmbientSound::set_volume(int volume) {
  if (current_ == nullptr || settings_ == nullptr) return;
  volume = std::clamp(volume, 0, 100);
  settings_->set_u32(Settings::kSoundVolume, static_cast<uint32_t>(volume));
  current_->set_volume(ambient_volume_level(volume * 0.01));
}

void AmbientSound::release() {
  for (const auto& sound : sounds_) sound->stop(true);
  sounds_.clear();
  current_ = nullptr;
}

Sound* AmbientSound::create_sound(const std::string& path) {
  for (const auto& sound : sounds_) {
    if (sound->path() == path) return sound.get();
  }
  if (!device_) return nullptr;
  std::unique_ptr<Sound> sound = Sound::create(backend_, path);
  if (!sound) return nullptr;
  sounds_.push_back(std::move(sound));
  return sounds_.back().get();
}

void AmbientSound::on_activate_app(bool active) {
  if (settings_ == nullptr || (settings_->u32(Settings::kSoundFlags) & Settings::kKeepPlaying) != 0) return;
  set_enabled(active && !sound_off());
}

void AmbientSound::apply_sound_switch() { set_enabled(!sound_off()); }

}  // namespace audio
