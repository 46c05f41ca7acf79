#pragma once
#include <string>
#include <vector>

#include "platform/gfx_device.h"

namespace gfx {

// A device that draws nothing and records every call as one line of text,
// so tests can check the order of rendering work. read_back returns the last
// clear colour over the whole back buffer.
class RecordingDevice final : public Device {
 public:
  explicit RecordingDevice(const PresentParams& params = PresentParams{800, 600, false, 0});

  bool reset(const PresentParams& params) override;
  PresentParams params() const override { return params_; }
  DeviceInfo info() const override { return DeviceInfo{"recording", "3.3", 8192, 4}; }
  void set_viewport(const Viewport& viewport) override;
  Viewport viewport() const override { return viewport_; }
  void clear(uint32_t flags, uint32_t color, float depth, uint32_t stencil) override;
  bool present() override;
  Image read_back() override;

  std::vector<std::string> calls;
  bool fail_reset = false;
  bool lose_on_present = false;
  int presents = 0;

 private:
  PresentParams params_;
  Viewport viewport_;
  uint32_t clear_color_ = 0;
};

}  // namespace gfx
