#include "render/gl_caps_provider.h"

#include <algorithm>
#include <utility>

namespace render {
namespace {

// What the OpenGL 3.3 core profile guarantees.
constexpr int kMinTextureSize = 1024;
constexpr int kMinSamples = 4;

bool is_depth_format(PixelFormat format) {
  return format == PixelFormat::D24S8 || format == PixelFormat::D24X8 || format == PixelFormat::D16;
}

// The adapter formats a display mode of that many bits per pixel counts for.
bool mode_has_format(const platform::DisplayMode& mode, PixelFormat format) {
  switch (format) {
    case PixelFormat::X8R8G8B8:
      return mode.bits_per_pixel == 32 || mode.bits_per_pixel == 24;
    case PixelFormat::R5G6B5:
      return mode.bits_per_pixel == 16;
    case PixelFormat::X1R5G5B5:
      return mode.bits_per_pixel == 16 || mode.bits_per_pixel == 15;
    default:
      return false;
  }
}

PixelFormat desktop_format(const platform::DisplayMode& mode) {
  for (PixelFormat format : {PixelFormat::X8R8G8B8, PixelFormat::R5G6B5, PixelFormat::X1R5G5B5}) {
    if (mode_has_format(mode, format)) return format;
  }
  return PixelFormat::Unknown;
}

}  // namespace

GlCapsProvider::GlCapsProvider(std::vector<platform::DisplayInfo> displays, const gfx::DeviceInfo& device)
    : displays_(std::move(displays)), device_(device) {
  if (device_.max_texture_size <= 0) device_.max_texture_size = kMinTextureSize;
  if (device_.max_samples <= 0) device_.max_samples = kMinSamples;
}

bool GlCapsProvider::has_device(int adapter, int device_type) const {
  return adapter >= 0 && adapter < static_cast<int>(displays_.size()) && device_type == kHardwareDevice;
}

std::vector<DisplayDeviceDesc> GlCapsProvider::display_devices() {
  std::vector<DisplayDeviceDesc> list;
  for (std::size_t i = 0; i < displays_.size(); ++i) {
    const platform::DisplayInfo& display = displays_[i];
    DisplayDeviceDesc desc;
    desc.name = display.name;
    desc.monitor_description = display.name;
    desc.primary = i == 0;
    desc.x = display.rect.left;
    desc.y = display.rect.top;
    desc.width = display.desktop_mode.width > 0 ? display.desktop_mode.width : display.rect.width();
    desc.height = display.desktop_mode.height > 0 ? display.desktop_mode.height : display.rect.height();
    list.push_back(std::move(desc));
  }
  return list;
}

MonitorId GlCapsProvider::monitor_from_rect(const base::Rect& rect) {
  std::vector<std::pair<MonitorId, base::Rect>> monitors;
  for (std::size_t i = 0; i < displays_.size(); ++i) monitors.emplace_back(i + 1, displays_[i].rect);
  return monitor_with_largest_overlap(monitors, rect);
}

int GlCapsProvider::adapter_count() { return static_cast<int>(displays_.size()); }

AdapterIdentifier GlCapsProvider::adapter_identifier(int adapter) {
  if (!has_device(adapter, kHardwareDevice)) return {};
  return AdapterIdentifier{device_.version, device_.renderer,
                           displays_[static_cast<std::size_t>(adapter)].name};
}

MonitorId GlCapsProvider::adapter_monitor(int adapter) {
  return has_device(adapter, kHardwareDevice) ? static_cast<MonitorId>(adapter) + 1 : 0;
}

DisplayMode GlCapsProvider::desktop_mode(int adapter) {
  if (!has_device(adapter, kHardwareDevice)) return {};
  const platform::DisplayMode& mode = displays_[static_cast<std::size_t>(adapter)].desktop_mode;
  return DisplayMode{mode.width, mode.height, mode.refresh_rate, desktop_format(mode)};
}

std::vector<DisplayMode> GlCapsProvider::adapter_modes(int adapter, PixelFormat adapter_format) {
  std::vector<DisplayMode> list;
  if (!has_device(adapter, kHardwareDevice)) return list;
  for (const platform::DisplayMode& mode : displays_[static_cast<std::size_t>(adapter)].modes) {
    if (mode_has_format(mode, adapter_format)) {
      list.push_back(DisplayMode{mode.width, mode.height, mode.refresh_rate, adapter_format});
    }
  }
  return list;
}

std::optional<DeviceCaps> GlCapsProvider::device_caps(int adapter, int device_type) {
  if (!has_device(adapter, device_type)) return std::nullopt;
  DeviceCaps caps;
  caps.device_type = kHardwareDevice;
  caps.adapter_ordinal = adapter;
  caps.pixel_shader_version = pixel_shader_version(3, 0);
  caps.vertex_shader_version = vertex_shader_version(3, 0);
  caps.hardware_transform_and_lighting = true;
  // The device answers questions about its state, which a pure device does not.
  caps.pure_device = false;
  caps.presentation_intervals =
      kIntervalImmediate | kIntervalOne | kIntervalTwo | kIntervalThree | kIntervalFour;
  caps.src_blend_caps = kBlendCapsAll;
  caps.dest_blend_caps = kBlendCapsAll;
  caps.texture_op_caps = kTextureOpDisable | kTextureOpSelectArg1 | kTextureOpSelectArg2 |
                         kTextureOpModulate | kTextureOpModulate2x | kTextureOpModulate4x | kTextureOpAdd;
  caps.max_simultaneous_textures = gfx::kTextureStages;
  caps.max_texture_width = device_.max_texture_size;
  caps.max_texture_height = device_.max_texture_size;
  return caps;
}

bool GlCapsProvider::check_device_type(int adapter, int device_type, PixelFormat adapter_format,
                                       PixelFormat back_buffer_format, bool windowed) {
  if (!has_device(adapter, device_type)) return false;
  if (!same_colour_channels(adapter_format, back_buffer_format)) return false;
  // A window shows in whatever format the desktop has.
  if (windowed) return adapter_format == desktop_mode(adapter).format;
  return !adapter_modes(adapter, adapter_format).empty();
}

bool GlCapsProvider::check_depth_stencil_format(int adapter, int device_type, PixelFormat,
                                                PixelFormat depth_stencil_format) {
  return has_device(adapter, device_type) && is_depth_format(depth_stencil_format);
}

bool GlCapsProvider::check_depth_stencil_match(int adapter, int device_type, PixelFormat, PixelFormat,
                                               PixelFormat depth_stencil_format) {
  return has_device(adapter, device_type) && is_depth_format(depth_stencil_format);
}

std::optional<std::uint32_t> GlCapsProvider::multisample_quality_levels(int adapter, int device_type,
                                                                        PixelFormat, bool,
                                                                        int multisample_type) {
  if (!has_device(adapter, device_type)) return std::nullopt;
  // Type 1 names the driver's own quality levels, which OpenGL has not; the
  // others are sample counts.
  if (multisample_type == 0 || (multisample_type >= 2 && multisample_type <= device_.max_samples)) return 1u;
  return std::nullopt;
}

bool GlCapsProvider::supports_post_pixel_shader_blending(int adapter, int device_type, PixelFormat,
                                                         PixelFormat texture_format) {
  return has_device(adapter, device_type) && channel_layout(texture_format) != nullptr;
}

}  // namespace render
