#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/music_backend.h"

namespace platform {

// A music backend without sound for tests. Tracks are scripted by path; time
// stands still until the test moves it (set_position, finish_track).
class FakeMusicBackend final : public MusicBackend {
 public:
  enum class State { Stopped, Paused, Running };

  void set_notification(MessageQueue* queue, uint32_t message) override;
  MediaResult open(const std::string& path) override;
  void close() override;
  bool is_open() const override { return !open_path.empty(); }
  bool run() override;
  bool pause() override;
  bool stop() override;
  int64_t duration() const override;
  bool position(int64_t& out) const override;
  bool seek(int64_t position) override;
  bool set_volume(int32_t millibels) override;
  bool take_end_of_track() override;
  MediaResult measure(const std::string& path, int64_t& duration) override;

  // The open track reaches its end while running: counted and announced as
  // the audio thread would.
  void finish_track();
  // Moves the play position of the open track.
  void set_position(int64_t position) { position_ = position; }

  // Files that open and measure, with their durations. Any other path
  // fails with failures[path], or Unsupported.
  std::map<std::string, int64_t> tracks;
  std::map<std::string, MediaResult> failures;
  bool fail_seek = false;

  std::string open_path;              // empty when nothing is open
  std::vector<std::string> opened;    // every path opened successfully
  std::vector<std::string> measured;  // every path measured
  State state = State::Stopped;
  int32_t volume = 0;  // millibels, last set
  int volume_changes = 0;
  MessageQueue* queue = nullptr;
  uint32_t message = 0;

 private:
  MediaResult lookup(const std::string& path, int64_t& duration) const;

  int64_t position_ = 0;
  bool ended_ = false;
  int pending_ = 0;
};

}  // namespace platform
