#include "audio/music_player.h"

#include "audio/volume_curves.h"
#include "platform/message_queue.h"

namespace audio {

MusicPlayer::~MusicPlayer() {
  release_media();
  backend_.set_notification(nullptr, 0);
}

void MusicPlayer::init(platform::MessageQueue* queue, uint32_t event_message, uint32_t end_message) {
  queue_ = queue;
  end_message_ = end_message;
  backend_.set_notification(queue, event_message);
}

bool MusicPlayer::open_and_run(const std::string& path) {
  last_error_ = open(path);
  return last_error_ == platform::MediaResult::Ok;
}

platform::MediaResult MusicPlayer::open(const std::string& path) {
  if (state_ != kNoMedia) release_media();
  const platform::MediaResult result = backend_.open(path);
  if (result != platform::MediaResult::Ok) return result;
  state_ = kStopped;
  duration_ = backend_.duration();
  if (!backend_.run()) return platform::MediaResult::Failed;
  state_ = kRunning;
  return platform::MediaResult::Ok;
}

void MusicPlayer::release_media() {
  if (backend_.is_open()) backend_.stop();
  backend_.close();
  duration_ = 0;
  last_error_ = platform::MediaResult::Ok;
  state_ = kNoMedia;
}

void MusicPlayer::toggle_pause() {
  if (!backend_.is_open()) return;
  if (state_ == kRunning || state_ == kNoMedia) {
    if (backend_.pause()) state_ = kPaused;
  } else if (backend_.run()) {
    state_ = kRunning;
  }
}

void MusicPlayer::stop_and_rewind() {
  if (state_ != kPaused && state_ != kRunning) return;
  backend_.stop();
  backend_.seek(0);
  if (backend_.pause()) state_ = kPaused;
}

bool MusicPlayer::set_volume(double x, int32_t floor) {
  if (!backend_.is_open()) return false;
  return backend_.set_volume(music_volume_level(x, floor));
}

int64_t MusicPlayer::position() const {
  int64_t position = 0;
  if (!backend_.is_open() || !backend_.position(position)) return 0;
  return position;
}

void MusicPlayer::seek(int64_t position) {
  if (backend_.is_open()) backend_.seek(position);
}

void MusicPlayer::handle_events() {
  while (backend_.take_end_of_track()) {
    if (loop_) {
      if (!backend_.seek(0)) {
        backend_.stop();
        backend_.run();
      }
    } else if (end_message_ != 0 && queue_ != nullptr) {
      queue_->post(platform::Message{end_message_, 0, 0, 0});
    } else {
      stop_and_rewind();
    }
  }
}

platform::MediaResult MusicPlayer::measure(const std::string& path, int64_t& duration) {
  return backend_.measure(path, duration);
}

}  // namespace audio
