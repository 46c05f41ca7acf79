#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class MessageQueue;

// Why opening or measuring a media file failed.
enum class MediaResult {
  Ok,
  CannotOpen,   // the file cannot be read
  Unsupported,  // no decoder takes it
  OutOfMemory,
  Failed,  // anything else
};

// Plays one music file at a time. Times are in 100-ns units and volumes in
// millibels (hundredths of a decibel) from -10000 (silent) to 0 (full).
//
// Opened media starts stopped at position 0. run, pause and stop change the
// state as a media graph does: a track that reaches its end while running
// stays "running" at its end until it is seeked, stopped or closed; seeking it
// while running plays it again from there. Each natural end of the open
// track is counted once for take_end_of_track and announced by posting the
// notification message; halting a track (close, or opening the next) never
// counts as an end.
class MusicBackend {
 public:
  virtual ~MusicBackend() = default;

  // Where the end of a track is announced: `message` is posted to `queue`,
  // from whichever thread noticed it. A null queue announces nothing.
  virtual void set_notification(MessageQueue* queue, uint32_t message) = 0;

  // Closes any open media, then opens `path`. Media that holds video plays
  // its sound only, or fails to open.
  virtual MediaResult open(const std::string& path) = 0;
  virtual void close() = 0;
  virtual bool is_open() const = 0;

  virtual bool run() = 0;
  virtual bool pause() = 0;
  virtual bool stop() = 0;

  // The length of the open media; 0 when unknown or nothing is open.
  virtual int64_t duration() const = 0;
  // False when nothing is open or the decoder cannot tell.
  virtual bool position(int64_t& out) const = 0;
  virtual bool seek(int64_t position) = 0;
  virtual bool set_volume(int32_t millibels) = 0;

  // True, once, for each end of the open track not yet taken.
  virtual bool take_end_of_track() = 0;

  // The length of the file at `path`, read with a decoder of its own: the
  // open media and its playback are left alone.
  virtual MediaResult measure(const std::string& path, int64_t& duration) = 0;
};

// Gain factor of a level in millibels: 10^(mB / 2000); 0 at -10000 and below.
double gain_of_millibels(int32_t millibels);

// Music through SDL_mixer. The mixer is shared with the sound backend and
// opened on first use; without a sound device every open fails. SDL_mixer has
// one music stream per process, so only one of these plays at a time.
std::unique_ptr<MusicBackend> create_sdl_music_backend();

}  // namespace platform
