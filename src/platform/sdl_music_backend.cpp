#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>

#include "platform/message_queue.h"
#include "platform/music_backend.h"
#include "platform/sdl_mixer.h"

namespace platform {

namespace {

constexpr double kUnitsPerSecond = 10'000'000.0;

// SDL_mixer has one music stream and a finished hook without user data, so
// what the hook needs is process-wide. The hook runs on the audio thread
// (or inside a halt on ours): it only counts and posts.
struct EndOfTrack {
  std::atomic<MessageQueue*> queue{nullptr};
  std::atomic<uint32_t> message{0};
  // Set while we halt or replace the music ourselves: that is no end.
  std::atomic<bool> halting{false};
  std::atomic<int> pending{0};
};

EndOfTrack& end_of_track() {
  static EndOfTrack state;
  return state;
}

void SDLCALL on_music_finished() {
  EndOfTrack& state = end_of_track();
  if (state.halting.load()) return;
  state.pending.fetch_add(1);
  if (MessageQueue* queue = state.queue.load()) queue->post(Message{state.message.load(), 0, 0, 0});
}

// Runs a mixer call that may halt the music, without it counting as an end.
template <typename Call>
void quietly(Call call) {
  end_of_track().halting.store(true);
  call();
  end_of_track().halting.store(false);
}

MediaResult load_failure() {
  const char* error = Mix_GetError();
  if (error != nullptr && std::strstr(error, "Out of memory") != nullptr) return MediaResult::OutOfMemory;
  return MediaResult::Unsupported;
}

bool readable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

class SdlMusicBackend final : public MusicBackend {
 public:
  SdlMusicBackend() {
    if (lease_.ok()) Mix_HookMusicFinished(&on_music_finished);
  }

  ~SdlMusicBackend() override {
    close();
    if (lease_.ok()) Mix_HookMusicFinished(nullptr);
    end_of_track().queue.store(nullptr);
  }

  void set_notification(MessageQueue* queue, uint32_t message) override {
    end_of_track().message.store(message);
    end_of_track().queue.store(queue);
  }

  MediaResult open(const std::string& path) override {
    close();
    if (!readable(path)) return MediaResult::CannotOpen;
    if (!lease_.ok()) return MediaResult::Failed;
    music_ = Mix_LoadMUS(path.c_str());
    if (music_ == nullptr) return load_failure();
    const double seconds = Mix_MusicDuration(music_);
    duration_ = seconds > 0.0 ? std::llround(seconds * kUnitsPerSecond) : 0;
    return MediaResult::Ok;
  }

  void close() override {
    if (music_ == nullptr) return;
    quietly([this] {
      if (started_) Mix_HaltMusic();
      Mix_FreeMusic(music_);
    });
    music_ = nullptr;
    started_ = false;
    start_at_ = 0.0;
    duration_ = 0;
    state_ = State::Stopped;
    end_of_track().pending.store(0);
  }

  bool is_open() const override { return music_ != nullptr; }

  bool run() override {
    if (music_ == nullptr) return false;
    if (in_mixer()) {
      Mix_ResumeMusic();
    } else if (!start()) {
      return false;
    }
    state_ = State::Running;
    return true;
  }

  bool pause() override { return halt_in_place(State::Paused); }
  bool stop() override { return halt_in_place(State::Stopped); }

  int64_t duration() const override { return music_ != nullptr ? duration_ : 0; }

  bool position(int64_t& out) const override {
    if (music_ == nullptr) return false;
    if (in_mixer()) {
      const double seconds = Mix_GetMusicPosition(music_);
      if (seconds < 0.0) return false;
      out = std::llround(seconds * kUnitsPerSecond);
    } else if (started_) {
      out = duration_;  // ended: it stays at its end
    } else {
      out = std::llround(start_at_ * kUnitsPerSecond);
    }
    return true;
  }

  bool seek(int64_t position) override {
    if (music_ == nullptr) return false;
    const double seconds = position > 0 ? static_cast<double>(position) / kUnitsPerSecond : 0.0;
    if (in_mixer()) return Mix_SetMusicPosition(seconds) == 0;
    start_at_ = seconds;
    // A track that ended while running plays again from there, as a media
    // graph does; otherwise the position waits for the next run.
    if (started_ && state_ == State::Running) return start();
    started_ = false;
    return true;
  }

  bool set_volume(int32_t millibels) override {
    if (!lease_.ok()) return false;
    const long volume = std::lround(gain_of_millibels(millibels) * MIX_MAX_VOLUME);
    Mix_VolumeMusic(static_cast<int>(volume));
    return true;
  }

  bool take_end_of_track() override {
    std::atomic<int>& pending = end_of_track().pending;
    int count = pending.load();
    while (count > 0 && !pending.compare_exchange_weak(count, count - 1)) {
    }
    return count > 0;
  }

  MediaResult measure(const std::string& path, int64_t& duration) override {
    if (!readable(path)) return MediaResult::CannotOpen;
    if (!lease_.ok()) return MediaResult::Failed;
    // A music object of its own that is never played: freeing it leaves the
    // playing one alone.
    Mix_Music* probe = Mix_LoadMUS(path.c_str());
    if (probe == nullptr) return load_failure();
    const double seconds = Mix_MusicDuration(probe);
    Mix_FreeMusic(probe);
    if (seconds < 0.0) return MediaResult::Failed;
    duration = std::llround(seconds * kUnitsPerSecond);
    return MediaResult::Ok;
  }

 private:
  enum class State { Stopped, Paused, Running };

  // Whether our track is in the mixer, playing or paused (not ended).
  bool in_mixer() const { return started_ && Mix_PlayingMusic() != 0; }

  bool start() {
    int result = 0;
    quietly([&] {
      result = Mix_FadeInMusicPos(music_, 0, 0, start_at_);
      if (result != 0 && start_at_ > 0.0) result = Mix_FadeInMusicPos(music_, 0, 0, 0.0);
    });
    if (result != 0) return false;
    Mix_ResumeMusic();
    started_ = true;
    start_at_ = 0.0;
    return true;
  }

  bool halt_in_place(State state) {
    if (music_ == nullptr) return false;
    if (in_mixer()) Mix_PauseMusic();
    state_ = state;
    return true;
  }

  MixerLease lease_;
  Mix_Music* music_ = nullptr;
  bool started_ = false;   // handed to the mixer since it was opened or seeked
  double start_at_ = 0.0;  // seconds: where the next start begins
  int64_t duration_ = 0;
  State state_ = State::Stopped;
};

}  // namespace

std::unique_ptr<MusicBackend> create_sdl_music_backend() { return std::make_unique<SdlMusicBackend>(); }

}  // namespace platform
