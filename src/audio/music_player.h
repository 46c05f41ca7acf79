#pragma once

#include <cstdint>
#include <string>

#include "platform/music_backend.h"

namespace platform {
class MessageQueue;
}

namespace audio {

// Plays one music file at a time for the playlist. It has no thread of its
// own: the backend posts the event message when a track ends, and the main
// thread then calls handle_events, which loops the track or posts the end
// message.
class MusicPlayer {
 public:
  enum State : int { kStopped = 0, kPaused = 1, kRunning = 2, kNoMedia = 3 };
  static constexpr int32_t kVolumeFloor = -10000;

  explicit MusicPlayer(platform::MusicBackend& backend) : backend_(backend) {}
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // The queue that receives both messages: event_message from the backend at
  // the end of a track, end_message from handle_events (0: rewind and stop
  // at the end instead).
  void init(platform::MessageQueue* queue, uint32_t event_message, uint32_t end_message);

  // open; remembers the result as the last error; true when it started.
  bool open_and_run(const std::string& path);
  // Releases any media, opens the file and runs it.
  platform::MediaResult open(const std::string& path);
  void release_media();

  // Running (or opened) pauses, paused or stopped runs; nothing without media.
  void toggle_pause();
  // Paused at the start; only while paused or running.
  void stop_and_rewind();
  // x from 0 to 1 along the music's volume curve. False without media.
  bool set_volume(double x, int32_t floor = kVolumeFloor);

  // In 100-ns units; 0 without media or when the decoder cannot tell.
  int64_t position() const;
  void seek(int64_t position);

  // Drains the ends of tracks the backend reported (on the event message).
  void handle_events();

  // The length of a file in 100-ns units, read apart from the playing track.
  platform::MediaResult measure(const std::string& path, int64_t& duration);

  State state() const { return state_; }
  bool has_media() const { return backend_.is_open(); }
  bool loop() const { return loop_; }
  // On the end of a track, play it again instead of announcing the end.
  void set_loop(bool loop) { loop_ = loop; }
  platform::MediaResult last_error() const { return last_error_; }
  int64_t duration() const { return duration_; }

 private:
  platform::MusicBackend& backend_;
  platform::MessageQueue* queue_ = nullptr;
  uint32_t end_message_ = 0;
  bool loop_ = false;
  State state_ = kNoMedia;
  platform::MediaResult last_error_ = platform::MediaResult::Ok;
  int64_t duration_ = 0;
};

}  // namespace audio
