#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/rect.h"
#include "render/pixel_format.h"

namespace render {

// Device types, by their classic numbers.
enum DeviceType : int { kHardwareDevice = 1, kReferenceDevice = 2 };

// Shader versions as version words: the high half tells pixel (0xFFFF) from
// vertex (0xFFFE) shaders, then the major and the minor version byte, so two
// words of one kind compare as their versions do.
constexpr std::uint32_t pixel_shader_version(int major, int minor) {
  return 0xFFFF0000u | static_cast<std::uint32_t>(major) << 8 | static_cast<std::uint32_t>(minor);
}
constexpr std::uint32_t vertex_shader_version(int major, int minor) {
  return 0xFFFE0000u | static_cast<std::uint32_t>(major) << 8 | static_cast<std::uint32_t>(minor);
}

// Presentation intervals; the capabilities list the ones a device offers as
// a mask of the same bits (the default interval is always offered).
inline constexpr std::uint32_t kIntervalDefault = 0;
inline constexpr std::uint32_t kIntervalOne = 0x1;
inline constexpr std::uint32_t kIntervalTwo = 0x2;
inline constexpr std::uint32_t kIntervalThree = 0x4;
inline constexpr std::uint32_t kIntervalFour = 0x8;
inline constexpr std::uint32_t kIntervalImmediate = 0x80000000;

// Blend factor bits of the source and destination blend capabilities.
inline constexpr std::uint32_t kBlendCapsZero = 0x1;
inline constexpr std::uint32_t kBlendCapsOne = 0x2;
inline constexpr std::uint32_t kBlendCapsSrcColor = 0x4;
inline constexpr std::uint32_t kBlendCapsInvSrcColor = 0x8;
inline constexpr std::uint32_t kBlendCapsSrcAlpha = 0x10;
inline constexpr std::uint32_t kBlendCapsInvSrcAlpha = 0x20;
inline constexpr std::uint32_t kBlendCapsDestAlpha = 0x40;
inline constexpr std::uint32_t kBlendCapsInvDestAlpha = 0x80;
inline constexpr std::uint32_t kBlendCapsDestColor = 0x100;
inline constexpr std::uint32_t kBlendCapsInvDestColor = 0x200;
inline constexpr std::uint32_t kBlendCapsSrcAlphaSat = 0x400;
inline constexpr std::uint32_t kBlendCapsAll = 0x7FF;

// Texture operation bits of the texture operation capabilities.
inline constexpr std::uint32_t kTextureOpDisable = 0x1;
inline constexpr std::uint32_t kTextureOpSelectArg1 = 0x2;
inline constexpr std::uint32_t kTextureOpSelectArg2 = 0x4;
inline constexpr std::uint32_t kTextureOpModulate = 0x8;
inline constexpr std::uint32_t kTextureOpModulate2x = 0x10;
inline constexpr std::uint32_t kTextureOpModulate4x = 0x20;
inline constexpr std::uint32_t kTextureOpAdd = 0x40;

// What a device type of an adapter can do, as far as choosing a device and
// the effect tier needs it.
struct DeviceCaps {
  int device_type = kHardwareDevice;
  int adapter_ordinal = 0;
  std::uint32_t pixel_shader_version = 0;   // 0: no pixel shaders
  std::uint32_t vertex_shader_version = 0;  // 0: no vertex shaders
  bool hardware_transform_and_lighting = false;
  bool pure_device = false;
  std::uint32_t presentation_intervals = 0;  // interval bits offered besides the default
  std::uint32_t src_blend_caps = 0;
  std::uint32_t dest_blend_caps = 0;
  std::uint32_t texture_op_caps = 0;
  int max_simultaneous_textures = 0;
  int max_texture_width = 0;
  int max_texture_height = 0;
};

// A display mode of an adapter.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int refresh_rate = 0;  // Hz, 0 for the adapter's default
  PixelFormat format = PixelFormat::Unknown;
  friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// How an adapter names itself.
struct AdapterIdentifier {
  std::string driver;
  std::string description;
  std::string device_name;
};

// Monitors are named by opaque non-zero ids; 0 is "no monitor".
using MonitorId = std::uint64_t;

// One display device of the desktop as the system lists it.
struct DisplayDeviceDesc {
  std::string name;
  std::string monitor_description;  // of its first monitor
  bool mirroring = false;           // a driver that mirrors another device
  bool attached_to_desktop = true;
  bool primary = false;
  int x = 0;  // position on the desktop
  int y = 0;
  int width = 0;  // of the current mode
  int height = 0;
};

// The questions device enumeration asks about the machine. Adapters are
// numbered from 0; formats, device types and multisample types are the
// classic numbers.
class CapsProvider {
 public:
  virtual ~CapsProvider() = default;

  virtual std::vector<DisplayDeviceDesc> display_devices() = 0;
  // The monitor a desktop rectangle lies on most, 0 when it lies on none.
  virtual MonitorId monitor_from_rect(const base::Rect& rect) = 0;

  virtual int adapter_count() = 0;
  virtual AdapterIdentifier adapter_identifier(int adapter) = 0;
  virtual MonitorId adapter_monitor(int adapter) = 0;
  virtual DisplayMode desktop_mode(int adapter) = 0;
  // The modes the adapter offers in one adapter format.
  virtual std::vector<DisplayMode> adapter_modes(int adapter, PixelFormat adapter_format) = 0;

  // nullopt when the adapter has no device of that type.
  virtual std::optional<DeviceCaps> device_caps(int adapter, int device_type) = 0;
  // Whether the device type renders into back buffers of one format on an
  // adapter in another, in a window or full screen.
  virtual bool check_device_type(int adapter, int device_type, PixelFormat adapter_format,
                                 PixelFormat back_buffer_format, bool windowed) = 0;
  // Whether the format can be a depth/stencil surface on the adapter format.
  virtual bool check_depth_stencil_format(int adapter, int device_type, PixelFormat adapter_format,
                                          PixelFormat depth_stencil_format) = 0;
  // Whether the depth/stencil format goes with the back-buffer format.
  virtual bool check_depth_stencil_match(int adapter, int device_type, PixelFormat adapter_format,
                                         PixelFormat back_buffer_format,
                                         PixelFormat depth_stencil_format) = 0;
  // The number of quality levels of a multisample type for surfaces of the
  // format (back buffer or depth/stencil); nullopt when unsupported.
  virtual std::optional<std::uint32_t> multisample_quality_levels(int adapter, int device_type,
                                                                  PixelFormat format, bool windowed,
                                                                  int multisample_type) = 0;
  // Whether textures of the format blend after the pixel shader.
  virtual bool supports_post_pixel_shader_blending(int adapter, int device_type, PixelFormat adapter_format,
                                                   PixelFormat texture_format) = 0;
};

// Whether a back buffer of one format shows on an adapter in the other: the
// same colour channels, with or without alpha.
bool same_colour_channels(PixelFormat a, PixelFormat b);

// The monitor of the first rectangle that overlaps `rect` most; 0 when none
// overlaps it. Shared by the providers that know their monitors' rectangles.
MonitorId monitor_with_largest_overlap(const std::vector<std::pair<MonitorId, base::Rect>>& monitors,
                                       const base::Rect& rect);

}  // namespace render
