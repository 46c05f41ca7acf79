#include "audio/sound.h"

#include <chrono>
#include <thread>
#include <vector>

namespace audio {

namespace {

platform::PcmFormat pcm_format_of(const WaveFormat& format) {
  platform::PcmFormat pcm;
  pcm.tag = format.sample_tag();
  pcm.channels = format.channels;
  pcm.rate = format.rate;
  pcm.bits = format.bits;
  pcm.block_align = format.block_align;
  return pcm;
}

}  // namespace

Sound::Sound(std::string path, WaveFile wave, std::unique_ptr<platform::SoundBuffer> buffer)
    : path_(std::move(path)), wave_(std::move(wave)), buffer_(std::move(buffer)) {}

std::unique_ptr<Sound> Sound::create(platform::SoundBackend& backend, const std::string& path) {
  WaveFile wave;
  if (!wave.open(path) || wave.data_size() == 0) return nullptr;
  std::unique_ptr<platform::SoundBuffer> buffer =
      backend.create_buffer(pcm_format_of(wave.format()), wave.data_size());
  if (!buffer) return nullptr;
  std::unique_ptr<Sound> sound(new Sound(path, std::move(wave), std::move(buffer)));
  if (!sound->fill()) return nullptr;
  return sound;
}

bool Sound::fill() {
  if (buffer_->lost()) {
    bool restored = false;
    for (int attempt = 0; attempt < kRestoreAttempts && !restored; ++attempt) {
      restored = buffer_->restore();
      if (!restored) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!restored) return false;
  }
  std::vector<uint8_t> data(wave_.data_size());
  wave_.reset();
  const std::size_t got = wave_.read(data);
  const uint8_t silence = wave_.format().bits == 8 ? 0x80 : 0x00;
  std::fill(data.begin() + static_cast<std::ptrdiff_t>(got), data.end(), silence);
  return buffer_->write(data);
}

bool Sound::play(bool loop) {
  stop(true);
  if (buffer_->lost() && !fill()) return false;
  loop_ = loop;
  return buffer_->play(loop);
}

void Sound::stop(bool /*rewind*/) {
  // A stopped buffer always starts again from its beginning.
  buffer_->stop();
}

bool Sound::set_volume(int32_t millibels) { return buffer_->set_volume(millibels); }

}  // namespace audio
