#pragma once

#include <vector>

#include "platform/display_info.h"
#include "platform/gfx_device.h"
#include "render/device_caps.h"

namespace render {

// The machine as an OpenGL context describes it: one adapter per display
// (the primary first), each with a hardware device only, with pixel and
// vertex shaders 3.0, the context's texture size and sample limits, every
// presentation interval and blend factor, X8R8G8B8 modes (and R5G6B5 and
// X1R5G5B5 modes where a display reports 16 bits per pixel) and the depth
// formats D24S8, D24X8 and D16.
class GlCapsProvider final : public CapsProvider {
 public:
  // A device description with zero limits (before a context exists) stands
  // for the least every OpenGL 3.3 context offers.
  GlCapsProvider(std::vector<platform::DisplayInfo> displays, const gfx::DeviceInfo& device);

  std::vector<DisplayDeviceDesc> display_devices() override;
  MonitorId monitor_from_rect(const base::Rect& rect) override;
  int adapter_count() override;
  AdapterIdentifier adapter_identifier(int adapter) override;
  MonitorId adapter_monitor(int adapter) override;
  DisplayMode desktop_mode(int adapter) override;
  std::vector<DisplayMode> adapter_modes(int adapter, PixelFormat adapter_format) override;
  std::optional<DeviceCaps> device_caps(int adapter, int device_type) override;
  bool check_device_type(int adapter, int device_type, PixelFormat adapter_format,
                         PixelFormat back_buffer_format, bool windowed) override;
  bool check_depth_stencil_format(int adapter, int device_type, PixelFormat adapter_format,
                                  PixelFormat depth_stencil_format) override;
  bool check_depth_stencil_match(int adapter, int device_type, PixelFormat adapter_format,
                                 PixelFormat back_buffer_format, PixelFormat depth_stencil_format) override;
  std::optional<std::uint32_t> multisample_quality_levels(int adapter, int device_type, PixelFormat format,
                                                          bool windowed, int multisample_type) override;
  bool supports_post_pixel_shader_blending(int adapter, int device_type, PixelFormat adapter_format,
                                           PixelFormat texture_format) override;

 private:
  bool has_device(int adapter, int device_type) const;

  std::vector<platform::DisplayInfo> displays_;
  gfx::DeviceInfo device_;
};

}  // namespace render
