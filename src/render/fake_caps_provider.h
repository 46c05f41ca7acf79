#pragma once

#include <utility>
#include <vector>

#include "render/device_caps.h"

namespace render {

// A device type of a fake adapter.
struct FakeDevice {
  DeviceCaps caps;
  bool windowed = true;  // whether it renders into windows
};

// A fake adapter: what it reports, and which checks it passes.
struct FakeAdapter {
  AdapterIdentifier identifier;
  MonitorId monitor = 0;
  DisplayMode desktop_mode;
  std::vector<DisplayMode> modes;  // in every adapter format, each with its format
  std::vector<FakeDevice> devices;
  std::vector<PixelFormat> depth_stencil_formats{PixelFormat::D24S8, PixelFormat::D24X8, PixelFormat::D16};
  // (back-buffer format, depth/stencil format) pairs that do not go together.
  std::vector<std::pair<PixelFormat, PixelFormat>> depth_mismatches;
  // The multisample types offered for every format, with their quality levels.
  std::vector<std::pair<int, std::uint32_t>> multisample_types{{0, 1}};
  // (format, multisample type) pairs refused all the same.
  std::vector<std::pair<PixelFormat, int>> multisample_refused;
  std::vector<PixelFormat> unblendable_formats;  // no post-pixel-shader blending
};

// A machine described by tables. Back buffers show on adapter formats with
// the same colour channels; windows only in the desktop's format, full
// screen in formats the adapter has modes of.
class FakeCapsProvider final : public CapsProvider {
 public:
  std::vector<DisplayDeviceDesc> displays;
  std::vector<std::pair<MonitorId, base::Rect>> monitors;
  std::vector<FakeAdapter> adapters;
  bool out_of_memory = false;  // device capabilities throw std::bad_alloc

  std::vector<DisplayDeviceDesc> display_devices() override { return displays; }
  MonitorId monitor_from_rect(const base::Rect& rect) override;
  int adapter_count() override { return static_cast<int>(adapters.size()); }
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
  const FakeAdapter* find_adapter(int adapter) const;
  const FakeDevice* find_device(int adapter, int device_type) const;
};

}  // namespace render
