#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/music_backend.h"
#include "platform/sdl_mixer.h"
#include "platform/sound_backend.h"

namespace platform {

namespace {

// The SDL sample format of a buffer format; 0 when SDL has none for it.
SDL_AudioFormat sdl_format_of(const PcmFormat& format) {
  if (format.tag == PcmFormat::kPcm) {
    switch (format.bits) {
      case 8:
        return AUDIO_U8;
      case 16:
        return AUDIO_S16LSB;
      case 32:
        return AUDIO_S32LSB;
      default:
        return 0;
    }
  }
  if (format.tag == PcmFormat::kFloat && format.bits == 32) return AUDIO_F32LSB;
  return 0;
}

// A converter from the buffer's format to the device's; false when SDL
// cannot convert it.
bool build_converter(const PcmFormat& format, SDL_AudioCVT& cvt) {
  const SDL_AudioFormat source = sdl_format_of(format);
  if (source == 0 || format.channels == 0 || format.rate == 0) return false;
  if (format.block_align != format.channels * (format.bits / 8)) return false;
  int frequency = 0;
  Uint16 device_format = 0;
  int channels = 0;
  if (Mix_QuerySpec(&frequency, &device_format, &channels) == 0) return false;
  return SDL_BuildAudioCVT(&cvt, source, static_cast<Uint8>(format.channels), static_cast<int>(format.rate),
                           device_format, static_cast<Uint8>(channels), frequency) >= 0;
}

class SdlSoundBuffer final : public SoundBuffer {
 public:
  explicit SdlSoundBuffer(const PcmFormat& format) : format_(format) {}
  ~SdlSoundBuffer() override { release_chunk(); }

  bool write(std::span<const uint8_t> data) override {
    SDL_AudioCVT cvt;
    if (!build_converter(format_, cvt)) return false;
    release_chunk();
    const size_t frames = data.size() / format_.block_align;
    const size_t length = frames * format_.block_align;
    if (length == 0 || length > static_cast<size_t>(INT32_MAX / std::max(cvt.len_mult, 1))) return false;
    samples_.assign(length * static_cast<size_t>(std::max(cvt.len_mult, 1)), 0);
    std::memcpy(samples_.data(), data.data(), length);
    cvt.buf = samples_.data();
    cvt.len = static_cast<int>(length);
    if (cvt.needed != 0 && SDL_ConvertAudio(&cvt) != 0) return false;
    const size_t converted = cvt.needed != 0 ? static_cast<size_t>(cvt.len_cvt) : length;
    samples_.resize(converted);
    chunk_ = Mix_QuickLoad_RAW(samples_.data(), static_cast<Uint32>(samples_.size()));
    if (chunk_ != nullptr) Mix_VolumeChunk(chunk_, volume_);
    return chunk_ != nullptr;
  }

  bool play(bool loop) override {
    if (chunk_ == nullptr) return false;
    stop();
    Mix_VolumeChunk(chunk_, volume_);
    channel_ = Mix_PlayChannel(-1, chunk_, loop ? -1 : 0);
    return channel_ >= 0;
  }

  void stop() override {
    if (playing()) Mix_HaltChannel(channel_);
    channel_ = -1;
  }

  bool playing() const override {
    return chunk_ != nullptr && channel_ >= 0 && Mix_Playing(channel_) != 0 &&
           Mix_GetChunk(channel_) == chunk_;
  }

  bool set_volume(int32_t millibels) override {
    volume_ = static_cast<int>(std::lround(gain_of_millibels(millibels) * MIX_MAX_VOLUME));
    if (chunk_ != nullptr) Mix_VolumeChunk(chunk_, volume_);
    return true;
  }

  // Samples in our own memory are never lost.
  bool lost() const override { return false; }
  bool restore() override { return true; }

 private:
  void release_chunk() {
    if (chunk_ == nullptr) return;
    stop();
    Mix_FreeChunk(chunk_);  // also halts any channel still playing it
    chunk_ = nullptr;
  }

  MixerLease lease_;  // the device outlives every buffer
  PcmFormat format_;
  std::vector<uint8_t> samples_;  // in the device's format; the chunk points here
  Mix_Chunk* chunk_ = nullptr;
  int channel_ = -1;
  int volume_ = MIX_MAX_VOLUME;
};

class SdlSoundBackend final : public SoundBackend {
 public:
  bool available() const override { return lease_.ok(); }

  std::unique_ptr<SoundBuffer> create_buffer(const PcmFormat& format, uint32_t size) override {
    SDL_AudioCVT cvt;
    if (!lease_.ok() || size == 0 || !build_converter(format, cvt)) return nullptr;
    return std::make_unique<SdlSoundBuffer>(format);
  }

 private:
  MixerLease lease_;
};

}  // namespace

std::unique_ptr<SoundBackend> create_sdl_sound_backend() { return std::make_unique<SdlSoundBackend>(); }

}  // namespace platform
