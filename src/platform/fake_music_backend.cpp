#include "platform/fake_music_backend.h"

#include "platform/message_queue.h"

namespace platform {

void FakeMusicBackend::set_notification(MessageQueue* notification_queue, uint32_t notification_message) {
  queue = notification_queue;
  message = notification_message;
}

MediaResult FakeMusicBackend::lookup(const std::string& path, int64_t& duration) const {
  if (auto track = tracks.find(path); track != tracks.end()) {
    duration = track->second;
    return MediaResult::Ok;
  }
  auto failure = failures.find(path);
  return failure != failures.end() ? failure->second : MediaResult::Unsupported;
}

MediaResult FakeMusicBackend::open(const std::string& path) {
  close();
  int64_t ignored = 0;
  MediaResult result = lookup(path, ignored);
  if (result != MediaResult::Ok) return result;
  open_path = path;
  opened.push_back(path);
  return MediaResult::Ok;
}

void FakeMusicBackend::close() {
  open_path.clear();
  state = State::Stopped;
  position_ = 0;
  ended_ = false;
  pending_ = 0;
}

bool FakeMusicBackend::run() {
  if (!is_open()) return false;
  if (ended_) {
    ended_ = false;
    position_ = 0;
  }
  state = State::Running;
  return true;
}

bool FakeMusicBackend::pause() {
  if (!is_open()) return false;
  state = State::Paused;
  return true;
}

bool FakeMusicBackend::stop() {
  if (!is_open()) return false;
  state = State::Stopped;
  return true;
}

int64_t FakeMusicBackend::duration() const {
  int64_t length = 0;
  if (is_open()) lookup(open_path, length);
  return length;
}

bool FakeMusicBackend::position(int64_t& out) const {
  if (!is_open()) return false;
  out = position_;
  return true;
}

bool FakeMusicBackend::seek(int64_t position) {
  if (!is_open() || fail_seek) return false;
  position_ = position;
  ended_ = false;
  return true;
}

bool FakeMusicBackend::set_volume(int32_t millibels) {
  volume = millibels;
  ++volume_changes;
  return true;
}

bool FakeMusicBackend::take_end_of_track() {
  if (pending_ == 0) return false;
  --pending_;
  return true;
}

MediaResult FakeMusicBackend::measure(const std::string& path, int64_t& duration) {
  measured.push_back(path);
  return lookup(path, duration);
}

void FakeMusicBackend::finish_track() {
  if (!is_open() || state != State::Running) return;
  position_ = duration();
  ended_ = true;
  ++pending_;
  if (queue != nullptr) queue->post(Message{message, 0, 0, 0});
}

}  // namespace platform
