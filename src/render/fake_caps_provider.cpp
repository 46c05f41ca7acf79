#include "render/fake_caps_provider.h"

#include <algorithm>
#include <new>

namespace render {
namespace {

template <class List, class Value>
bool contains(const List& list, const Value& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

const FakeAdapter* FakeCapsProvider::find_adapter(int adapter) const {
  if (adapter < 0 || adapter >= static_cast<int>(adapters.size())) return nullptr;
  return &adapters[static_cast<std::size_t>(adapter)];
}

const FakeDevice* FakeCapsProvider::find_device(int adapter, int device_type) const {
  const FakeAdapter* found = find_adapter(adapter);
  if (found == nullptr) return nullptr;
  for (const FakeDevice& device : found->devices) {
    if (device.caps.device_type == device_type) return &device;
  }
  return nullptr;
}

MonitorId FakeCapsProvider::monitor_from_rect(const base::Rect& rect) {
  return monitor_with_largest_overlap(monitors, rect);
}

AdapterIdentifier FakeCapsProvider::adapter_identifier(int adapter) {
  const FakeAdapter* found = find_adapter(adapter);
  return found != nullptr ? found->identifier : AdapterIdentifier{};
}

MonitorId FakeCapsProvider::adapter_monitor(int adapter) {
  const FakeAdapter* found = find_adapter(adapter);
  return found != nullptr ? found->monitor : 0;
}

DisplayMode FakeCapsProvider::desktop_mode(int adapter) {
  const FakeAdapter* found = find_adapter(adapter);
  return found != nullptr ? found->desktop_mode : DisplayMode{};
}

std::vector<DisplayMode> FakeCapsProvider::adapter_modes(int adapter, PixelFormat adapter_format) {
  std::vector<DisplayMode> list;
  if (const FakeAdapter* found = find_adapter(adapter)) {
    for (const DisplayMode& mode : found->modes) {
      if (mode.format == adapter_format) list.push_back(mode);
    }
  }
  return list;
}

std::optional<DeviceCaps> FakeCapsProvider::device_caps(int adapter, int device_type) {
  if (out_of_memory) throw std::bad_alloc();
  const FakeDevice* device = find_device(adapter, device_type);
  if (device == nullptr) return std::nullopt;
  DeviceCaps caps = device->caps;
  caps.device_type = device_type;
  caps.adapter_ordinal = adapter;
  return caps;
}

bool FakeCapsProvider::check_device_type(int adapter, int device_type, PixelFormat adapter_format,
                                         PixelFormat back_buffer_format, bool windowed) {
  const FakeDevice* device = find_device(adapter, device_type);
  if (device == nullptr || !same_colour_channels(adapter_format, back_buffer_format)) return false;
  if (windowed) return device->windowed && adapter_format == desktop_mode(adapter).format;
  return !adapter_modes(adapter, adapter_format).empty();
}

bool FakeCapsProvider::check_depth_stencil_format(int adapter, int device_type, PixelFormat,
                                                  PixelFormat depth_stencil_format) {
  return find_device(adapter, device_type) != nullptr &&
         contains(find_adapter(adapter)->depth_stencil_formats, depth_stencil_format);
}

bool FakeCapsProvider::check_depth_stencil_match(int adapter, int device_type, PixelFormat,
                                                 PixelFormat back_buffer_format,
                                                 PixelFormat depth_stencil_format) {
  return find_device(adapter, device_type) != nullptr &&
         !contains(find_adapter(adapter)->depth_mismatches,
                   std::pair(back_buffer_format, depth_stencil_format));
}

std::optional<std::uint32_t> FakeCapsProvider::multisample_quality_levels(int adapter, int device_type,
                                                                          PixelFormat format, bool,
                                                                          int multisample_type) {
  if (find_device(adapter, device_type) == nullptr) return std::nullopt;
  const FakeAdapter& found = *find_adapter(adapter);
  if (contains(found.multisample_refused, std::pair(format, multisample_type))) return std::nullopt;
  for (const auto& [type, levels] : found.multisample_types) {
    if (type == multisample_type) return levels;
  }
  return std::nullopt;
}

bool FakeCapsProvider::supports_post_pixel_shader_blending(int adapter, int device_type, PixelFormat,
                                                           PixelFormat texture_format) {
  return find_device(adapter, device_type) != nullptr &&
         !contains(find_adapter(adapter)->unblendable_formats, texture_format);
}

}  // namespace render
