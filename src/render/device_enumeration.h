#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/rect.h"
#include "render/device_caps.h"
#include "render/device_errors.h"
#include "render/pixel_format.h"

namespace render {

inline constexpr int kNoLimit = std::numeric_limits<int>::max();

// What enumeration lists and what it leaves out.
struct EnumerationLimits {
  int min_width = 640;  // smallest full-screen mode listed
  int min_height = 480;
  int max_width = kNoLimit;
  int max_height = kNoLimit;
  int min_refresh = 0;
  int max_refresh = kNoLimit;
  int min_colour_bits = 16;  // modes whose format has fewer bits per pixel are dropped
  int min_alpha_bits = 0;    // back-buffer formats with fewer alpha bits are dropped
  int min_depth_bits = 15;
  int min_stencil_bits = 0;
  bool all_adapters = true;       // otherwise only the first
  bool reference_device = true;   // otherwise the reference type only when the hardware type has no combo
  bool any_refresh_rate = false;  // otherwise only modes at the desktop's refresh rate
  bool software_vertex_processing = true;
  bool hardware_vertex_processing = true;
  bool pure_vertex_processing = false;
  bool mixed_vertex_processing = false;
  bool require_post_pixel_shader_blending = true;
};

// The candidates, in order of preference.
inline constexpr std::array kAdapterFormats = {PixelFormat::X8R8G8B8, PixelFormat::X1R5G5B5,
                                               PixelFormat::R5G6B5};
inline constexpr std::array kBackBufferFormats = {PixelFormat::A8R8G8B8, PixelFormat::X8R8G8B8,
                                                  PixelFormat::A1R5G5B5, PixelFormat::R5G6B5,
                                                  PixelFormat::X1R5G5B5};
inline constexpr std::array kDepthStencilFormats = {PixelFormat::D32,   PixelFormat::D24X8,
                                                    PixelFormat::D24S8, PixelFormat::D24X4S4,
                                                    PixelFormat::D16,   PixelFormat::D15S1};
inline constexpr int kMaxMultisampleType = 16;  // types 0 (none) to 16
inline constexpr std::array kPresentationIntervals = {kIntervalImmediate, kIntervalDefault, kIntervalOne,
                                                      kIntervalTwo,       kIntervalThree,   kIntervalFour};

enum VertexProcessing : int {
  kNoVertexProcessing = -1,  // not chosen yet
  kSoftwareVertexProcessing = 0,
  kMixedVertexProcessing = 1,
  kHardwareVertexProcessing = 2,
  kPureHardwareVertexProcessing = 3,
};

// The device-creation behaviour flags of a vertex-processing type: 0x20
// software, 0x80 mixed, 0x40 hardware, 0x50 pure hardware; 0 for any other
// value.
std::uint32_t behavior_flags(int vertex_processing);

// One display device of the desktop (mirroring drivers are not listed).
struct DisplayDevice {
  std::string name;
  std::string monitor_description;
  base::Rect rect;  // on the desktop; empty for a device not attached to it
  MonitorId monitor = 0;
  int adapter = -1;  // the adapter ordinal driving it
};

struct MultisampleOption {
  int type = 0;
  std::uint32_t quality_levels = 0;
  friend bool operator==(const MultisampleOption&, const MultisampleOption&) = default;
};

// A depth/stencil format that cannot be used with a multisample type.
struct DepthMultisampleConflict {
  PixelFormat depth_stencil_format = PixelFormat::Unknown;
  int multisample_type = 0;
  friend bool operator==(const DepthMultisampleConflict&, const DepthMultisampleConflict&) = default;
};

// One way a device type can present: windowed or full screen, on one adapter
// format with one back-buffer format, and what goes with that.
struct DeviceCombo {
  int adapter_ordinal = 0;
  int device_type = kHardwareDevice;
  bool windowed = false;
  PixelFormat adapter_format = PixelFormat::Unknown;
  PixelFormat back_buffer_format = PixelFormat::Unknown;
  std::vector<PixelFormat> depth_stencil_formats;
  std::vector<MultisampleOption> multisample_types;
  std::vector<DepthMultisampleConflict> conflicts;
  std::vector<int> vertex_processing_types;
  std::vector<std::uint32_t> presentation_intervals;

  bool offers_depth_stencil(PixelFormat format) const;
  const MultisampleOption* multisample(int type) const;  // nullptr when not offered
  bool offers_vertex_processing(int type) const;
  bool offers_interval(std::uint32_t interval) const;
  bool conflicts_with(PixelFormat depth_stencil_format, int multisample_type) const;
};

struct DeviceInfo {
  int adapter_ordinal = 0;
  int device_type = kHardwareDevice;
  DeviceCaps caps;
  std::vector<DeviceCombo> combos;
};

struct AdapterInfo {
  int adapter_ordinal = 0;
  AdapterIdentifier identifier;
  DisplayMode desktop_mode;
  int display_device = -1;         // index into the display devices
  std::vector<DisplayMode> modes;  // by width, height, format, refresh rate
  std::vector<DeviceInfo> devices;

  const DeviceInfo* device(int device_type) const;  // nullptr when not listed
};

// The settings a device is made with.
struct DeviceSettings {
  int adapter_ordinal = 0;
  int device_type = kHardwareDevice;
  bool windowed = true;
  DisplayMode full_screen_mode;
  PixelFormat adapter_format = PixelFormat::Unknown;  // of the chosen combo
  PixelFormat back_buffer_format = PixelFormat::Unknown;
  PixelFormat depth_stencil_format = PixelFormat::Unknown;
  int multisample_type = 0;
  std::uint32_t multisample_quality = 0;
  // None at first, so that the first choice takes the combo's preferred type.
  int vertex_processing = kNoVertexProcessing;
  std::uint32_t presentation_interval = kIntervalImmediate;
  friend bool operator==(const DeviceSettings&, const DeviceSettings&) = default;
};

// The application's say on a device: kOk accepts a vertex-processing type
// for a device with these capabilities on this pair of formats, a failure
// code vetoes it.
using ConfirmDevice = std::function<HResult(const DeviceCaps& caps, int vertex_processing,
                                            PixelFormat adapter_format, PixelFormat back_buffer_format)>;

// The combo for presenting `windowed` with the requested pair of formats:
// the one with exactly that pair; else, when the two differ, the one on
// that adapter format whose back buffer has the adapter format; else the
// first combo with that windowed flag. nullptr when there is none.
const DeviceCombo* choose_combo(const DeviceInfo& device, bool windowed, PixelFormat adapter_format,
                                PixelFormat back_buffer_format);

// The adapter's mode equal to `requested`, else one of the same width,
// height and format at another refresh rate; nullptr when neither is listed.
const DisplayMode* find_mode(const AdapterInfo& adapter, const DisplayMode& requested);
// find_mode, falling back to the desktop mode.
DisplayMode choose_mode(const AdapterInfo& adapter, const DisplayMode& requested);
// The first mode of that size whose format has that many bits per pixel.
const DisplayMode* find_mode_by_bits(const AdapterInfo& adapter, int width, int height, int bits_per_pixel);

// Settings for a device type of the adapter, windowed or full screen as
// settings.windowed says (full screen in choose_mode(settings.full_screen_mode),
// which becomes the settings' mode). The depth/stencil format, multisample
// type and vertex processing chosen before stay when the combo offers them,
// else the combo's first is taken; a multisample type that conflicts with
// the depth/stencil format gives way to the first that does not. The
// quality stays below the type's level count. False, with the settings
// unchanged, when the adapter has no such device or no combo for it.
bool choose_settings(const AdapterInfo& adapter, int device_type, DeviceSettings& settings);

// The catalogue of display devices, adapters, device types and combos, and
// the settings chosen from it for the current adapter.
class DeviceEnumeration {
 public:
  explicit DeviceEnumeration(EnumerationLimits limits = {});

  EnumerationLimits& limits() { return limits_; }
  void set_confirm_device(ConfirmDevice confirm) { confirm_ = std::move(confirm); }

  // Lists everything the provider offers within the limits, makes the first
  // adapter with a hardware device current (else the first adapter) and
  // chooses its settings (presenting the other way when that adapter cannot
  // present as settings().windowed asks). kNoCompatibleDevices when no
  // adapter is listed, kOutOfMemory when memory runs out; the lists are
  // empty after a failure.
  HResult enumerate(CapsProvider& provider);
  void clear();

  const std::vector<DisplayDevice>& display_devices() const { return display_devices_; }
  const std::vector<AdapterInfo>& adapters() const { return adapters_; }
  // nullptr before a successful enumeration.
  const AdapterInfo* current_adapter() const;

  DeviceSettings& settings() { return settings_; }
  const DeviceSettings& settings() const { return settings_; }

  // choose_settings on the current adapter.
  bool choose_settings(int device_type);
  // Makes another adapter current, with its settings for the device type.
  bool select_adapter(std::size_t index, int device_type);

 private:
  void enumerate_display_devices(CapsProvider& provider);
  bool enumerate_adapter(CapsProvider& provider, int ordinal, AdapterInfo& adapter);
  void enumerate_device(CapsProvider& provider, const AdapterInfo& adapter,
                        const std::vector<PixelFormat>& full_screen_formats, DeviceInfo& device);
  void complete_combo(CapsProvider& provider, const DeviceCaps& caps, DeviceCombo& combo);

  EnumerationLimits limits_;
  ConfirmDevice confirm_;
  std::vector<DisplayDevice> display_devices_;
  std::vector<AdapterInfo> adapters_;
  std::size_t current_ = 0;
  DeviceSettings settings_;
};

}  // namespace render
