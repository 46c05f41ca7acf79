#pragma once

// Shared by the SDL_mixer backends; not for use outside src/platform/.
namespace platform {

// Keeps SDL's audio and the mixer open while any lease lives: the first
// lease opens the device (the driver SDL_AUDIODRIVER names, so "dummy" and
// "disk" work without a sound card), the last one closes it. All leases are
// taken and dropped on the main thread.
class MixerLease {
 public:
  MixerLease();
  ~MixerLease();
  MixerLease(const MixerLease&) = delete;
  MixerLease& operator=(const MixerLease&) = delete;

  // False when the device could not be opened.
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

}  // namespace platform
