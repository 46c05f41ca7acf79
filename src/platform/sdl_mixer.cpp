#include "platform/sdl_mixer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <mutex>

#include "platform/audio_output.h"

namespace platform {

namespace {

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kChunkFrames = 1024;
constexpr int kMixingChannels = 8;

struct MixerState {
  std::mutex mutex;
  int leases = 0;
  bool open = false;
  AudioOutputFormat format;
};

MixerState& mixer() {
  static MixerState state;
  return state;
}

bool open_device(MixerState& state) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // Decoders that are missing simply leave their formats unplayable.
  Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC | MIX_INIT_OPUS | MIX_INIT_MOD | MIX_INIT_MID);
  if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, kChunkFrames, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  Mix_QuerySpec(&frequency, &format, &channels);
  state.format = AudioOutputFormat{frequency, channels, 16};
  Mix_AllocateChannels(kMixingChannels);
  // Buffers carry their own volume (Mix_VolumeChunk); channels stay at full.
  Mix_Volume(-1, MIX_MAX_VOLUME);
  return true;
}

void close_device() {
  Mix_HookMusicFinished(nullptr);
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

MixerLease::MixerLease() {
  MixerState& state = mixer();
  std::lock_guard lock(state.mutex);
  if (state.leases == 0) state.open = open_device(state);
  ++state.leases;
  ok_ = state.open;
}

MixerLease::~MixerLease() {
  MixerState& state = mixer();
  std::lock_guard lock(state.mutex);
  if (--state.leases > 0) return;
  if (state.open) close_device();
  state.open = false;
}

std::optional<AudioOutputFormat> audio_output_format() {
  MixerState& state = mixer();
  std::lock_guard lock(state.mutex);
  if (!state.open) return std::nullopt;
  return state.format;
}

}  // namespace platform
