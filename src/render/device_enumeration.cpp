#include "render/device_enumeration.h"

#include <algorithm>
#include <new>
#include <tuple>

namespace render {
namespace {

template <class List, class Value>
bool contains(const List& list, const Value& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

bool mode_before(const DisplayMode& a, const DisplayMode& b) {
  return std::tuple(a.width, a.height, static_cast<std::uint32_t>(a.format), a.refresh_rate) <
         std::tuple(b.width, b.height, static_cast<std::uint32_t>(b.format), b.refresh_rate);
}

}  // namespace

std::uint32_t behavior_flags(int vertex_processing) {
  switch (vertex_processing) {
    case kSoftwareVertexProcessing:
      return 0x20;
    case kMixedVertexProcessing:
      return 0x80;
    case kHardwareVertexProcessing:
      return 0x40;
    case kPureHardwareVertexProcessing:
      return 0x50;
    default:
      return 0;
  }
}

bool DeviceCombo::offers_depth_stencil(PixelFormat format) const {
  return contains(depth_stencil_formats, format);
}

const MultisampleOption* DeviceCombo::multisample(int type) const {
  for (const MultisampleOption& option : multisample_types) {
    if (option.type == type) return &option;
  }
  return nullptr;
}

bool DeviceCombo::offers_vertex_processing(int type) const { return contains(vertex_processing_types, type); }

bool DeviceCombo::offers_interval(std::uint32_t interval) const {
  return contains(presentation_intervals, interval);
}

bool DeviceCombo::conflicts_with(PixelFormat depth_stencil_format, int multisample_type) const {
  return contains(conflicts, DepthMultisampleConflict{depth_stencil_format, multisample_type});
}

const DeviceInfo* AdapterInfo::device(int device_type) const {
  for (const DeviceInfo& info : devices) {
    if (info.device_type == device_type) return &info;
  }
  return nullptr;
}

const DeviceCombo* choose_combo(const DeviceInfo& device, bool windowed, PixelFormat adapter_format,
                                PixelFormat back_buffer_format) {
  for (const DeviceCombo& combo : device.combos) {
    if (combo.windowed == windowed && combo.adapter_format == adapter_format &&
        combo.back_buffer_format == back_buffer_format) {
      return &combo;
    }
  }
  if (adapter_format != back_buffer_format) {
    for (const DeviceCombo& combo : device.combos) {
      if (combo.windowed == windowed && combo.adapter_format == adapter_format &&
          combo.back_buffer_format == adapter_format) {
        return &combo;
      }
    }
  }
  for (const DeviceCombo& combo : device.combos) {
    if (combo.windowed == windowed) return &combo;
  }
  return nullptr;
}

const DisplayMode* find_mode(const AdapterInfo& adapter, const DisplayMode& requested) {
  for (const DisplayMode& mode : adapter.modes) {
    if (mode == requested) return &mode;
  }
  for (const DisplayMode& mode : adapter.modes) {
    if (mode.width == requested.width && mode.height == requested.height && mode.format == requested.format) {
      return &mode;
    }
  }
  return nullptr;
}

DisplayMode choose_mode(const AdapterInfo& adapter, const DisplayMode& requested) {
  const DisplayMode* mode = find_mode(adapter, requested);
  return mode != nullptr ? *mode : adapter.desktop_mode;
}

const DisplayMode* find_mode_by_bits(const AdapterInfo& adapter, int width, int height, int bits) {
  for (const DisplayMode& mode : adapter.modes) {
    if (mode.width == width && mode.height == height && bits_per_pixel(mode.format) == bits) return &mode;
  }
  return nullptr;
}

bool choose_settings(const AdapterInfo& adapter, int device_type, DeviceSettings& settings) {
  const DeviceInfo* device = adapter.device(device_type);
  if (device == nullptr) return false;
  const DisplayMode mode = choose_mode(adapter, settings.full_screen_mode);
  const PixelFormat format = settings.windowed ? adapter.desktop_mode.format : mode.format;
  const DeviceCombo* combo = choose_combo(*device, settings.windowed, format, format);
  if (combo == nullptr || combo->depth_stencil_formats.empty() || combo->multisample_types.empty() ||
      combo->vertex_processing_types.empty()) {
    return false;
  }

  settings.adapter_ordinal = adapter.adapter_ordinal;
  settings.device_type = device->device_type;
  settings.full_screen_mode = mode;
  settings.adapter_format = combo->adapter_format;
  settings.back_buffer_format = combo->back_buffer_format;
  if (!combo->offers_depth_stencil(settings.depth_stencil_format)) {
    settings.depth_stencil_format = combo->depth_stencil_formats.front();
  }
  if (combo->multisample(settings.multisample_type) == nullptr) {
    settings.multisample_type = combo->multisample_types.front().type;
  }
  // A depth buffer that cannot be multisampled like the back buffer would
  // make the device fail to be created: the multisample type gives way.
  if (combo->conflicts_with(settings.depth_stencil_format, settings.multisample_type)) {
    for (const MultisampleOption& option : combo->multisample_types) {
      if (!combo->conflicts_with(settings.depth_stencil_format, option.type)) {
        settings.multisample_type = option.type;
        break;
      }
    }
  }
  const std::uint32_t levels = combo->multisample(settings.multisample_type)->quality_levels;
  if (settings.multisample_quality >= levels) settings.multisample_quality = levels > 0 ? levels - 1 : 0;
  if (!combo->offers_vertex_processing(settings.vertex_processing)) {
    settings.vertex_processing = combo->vertex_processing_types.front();
  }
  return true;
}

DeviceEnumeration::DeviceEnumeration(EnumerationLimits limits) : limits_(limits) {}

void DeviceEnumeration::clear() {
  display_devices_.clear();
  adapters_.clear();
  current_ = 0;
}

const AdapterInfo* DeviceEnumeration::current_adapter() const {
  return current_ < adapters_.size() ? &adapters_[current_] : nullptr;
}

bool DeviceEnumeration::choose_settings(int device_type) {
  const AdapterInfo* adapter = current_adapter();
  return adapter != nullptr && render::choose_settings(*adapter, device_type, settings_);
}

bool DeviceEnumeration::select_adapter(std::size_t index, int device_type) {
  if (index >= adapters_.size()) return false;
  DeviceSettings settings = settings_;
  if (!render::choose_settings(adapters_[index], device_type, settings)) return false;
  current_ = index;
  settings_ = settings;
  return true;
}

HResult DeviceEnumeration::enumerate(CapsProvider& provider) {
  clear();
  try {
    enumerate_display_devices(provider);
    const int count = limits_.all_adapters ? provider.adapter_count() : std::min(provider.adapter_count(), 1);
    for (int ordinal = 0; ordinal < count; ++ordinal) {
      AdapterInfo adapter;
      if (enumerate_adapter(provider, ordinal, adapter)) adapters_.push_back(std::move(adapter));
    }
  } catch (const std::bad_alloc&) {
    clear();
    return kOutOfMemory;
  }
  if (adapters_.empty()) {
    clear();
    return kNoCompatibleDevices;
  }
  current_ = 0;
  for (std::size_t i = 0; i < adapters_.size(); ++i) {
    if (adapters_[i].device(kHardwareDevice) != nullptr) {
      current_ = i;
      break;
    }
  }
  const AdapterInfo& adapter = adapters_[current_];
  if (!choose_settings(adapter.devices.front().device_type)) {
    // No combo for the way the settings ask to present: take the first
    // device's first combo, so the settings always describe a device.
    settings_.windowed = adapter.devices.front().combos.front().windowed;
    choose_settings(adapter.devices.front().device_type);
  }
  return kOk;
}

void DeviceEnumeration::enumerate_display_devices(CapsProvider& provider) {
  for (const DisplayDeviceDesc& desc : provider.display_devices()) {
    if (desc.mirroring) continue;
    DisplayDevice device;
    device.name = desc.name;
    device.monitor_description = desc.monitor_description;
    if (desc.attached_to_desktop) {
      const int left = desc.primary ? 0 : desc.x;
      const int top = desc.primary ? 0 : desc.y;
      device.rect = base::Rect{left, top, left + desc.width, top + desc.height};
      device.monitor = provider.monitor_from_rect(device.rect);
    }
    display_devices_.push_back(std::move(device));
  }
}

bool DeviceEnumeration::enumerate_adapter(CapsProvider& provider, int ordinal, AdapterInfo& adapter) {
  adapter.adapter_ordinal = ordinal;
  adapter.identifier = provider.adapter_identifier(ordinal);
  adapter.desktop_mode = provider.desktop_mode(ordinal);
  const MonitorId monitor = provider.adapter_monitor(ordinal);
  if (monitor != 0) {
    for (std::size_t i = 0; i < display_devices_.size(); ++i) {
      if (display_devices_[i].monitor == monitor) {
        adapter.display_device = static_cast<int>(i);
        display_devices_[i].adapter = ordinal;
        break;
      }
    }
  }

  std::vector<PixelFormat> full_screen_formats;
  for (PixelFormat format : kAdapterFormats) {
    bool listed = false;
    for (DisplayMode mode : provider.adapter_modes(ordinal, format)) {
      mode.format = format;
      if (!limits_.any_refresh_rate && mode.refresh_rate != adapter.desktop_mode.refresh_rate) continue;
      if (mode.width < limits_.min_width || mode.width > limits_.max_width) continue;
      if (mode.height < limits_.min_height || mode.height > limits_.max_height) continue;
      if (mode.refresh_rate < limits_.min_refresh || mode.refresh_rate > limits_.max_refresh) continue;
      if (bits_per_pixel(format) < limits_.min_colour_bits) continue;
      adapter.modes.push_back(mode);
      listed = true;
    }
    if (listed) full_screen_formats.push_back(format);
  }
  std::sort(adapter.modes.begin(), adapter.modes.end(), mode_before);
  adapter.modes.erase(std::unique(adapter.modes.begin(), adapter.modes.end()), adapter.modes.end());

  for (int type : {kHardwareDevice, kReferenceDevice}) {
    if (type == kReferenceDevice && !limits_.reference_device && adapter.device(kHardwareDevice) != nullptr) {
      break;
    }
    DeviceInfo device;
    device.adapter_ordinal = ordinal;
    device.device_type = type;
    enumerate_device(provider, adapter, full_screen_formats, device);
    if (!device.combos.empty()) adapter.devices.push_back(std::move(device));
  }
  return !adapter.devices.empty();
}

void DeviceEnumeration::enumerate_device(CapsProvider& provider, const AdapterInfo& adapter,
                                         const std::vector<PixelFormat>& full_screen_formats,
                                         DeviceInfo& device) {
  const std::optional<DeviceCaps> caps = provider.device_caps(adapter.adapter_ordinal, device.device_type);
  if (!caps) return;
  device.caps = *caps;
  for (PixelFormat adapter_format : kAdapterFormats) {
    const bool full_screen = contains(full_screen_formats, adapter_format);
    // The desktop's own format serves a window even when no full-screen
    // mode of it is listed.
    if (!full_screen && adapter_format != adapter.desktop_mode.format) continue;
    for (PixelFormat back_buffer_format : kBackBufferFormats) {
      if (alpha_bits(back_buffer_format) < limits_.min_alpha_bits) continue;
      for (bool windowed : {false, true}) {
        if (!windowed && !full_screen) continue;
        if (!provider.check_device_type(adapter.adapter_ordinal, device.device_type, adapter_format,
                                        back_buffer_format, windowed)) {
          continue;
        }
        if (limits_.require_post_pixel_shader_blending &&
            !provider.supports_post_pixel_shader_blending(adapter.adapter_ordinal, device.device_type,
                                                          adapter_format, back_buffer_format)) {
          continue;
        }
        DeviceCombo combo;
        combo.adapter_ordinal = adapter.adapter_ordinal;
        combo.device_type = device.device_type;
        combo.windowed = windowed;
        combo.adapter_format = adapter_format;
        combo.back_buffer_format = back_buffer_format;
        complete_combo(provider, device.caps, combo);
        if (combo.depth_stencil_formats.empty() || combo.multisample_types.empty() ||
            combo.vertex_processing_types.empty() || combo.presentation_intervals.empty()) {
          continue;
        }
        device.combos.push_back(std::move(combo));
      }
    }
  }
}

void DeviceEnumeration::complete_combo(CapsProvider& provider, const DeviceCaps& caps, DeviceCombo& combo) {
  const int ordinal = combo.adapter_ordinal;
  const int type = combo.device_type;

  for (PixelFormat depth : kDepthStencilFormats) {
    if (depth_bits(depth) < limits_.min_depth_bits || stencil_bits(depth) < limits_.min_stencil_bits)
      continue;
    if (provider.check_depth_stencil_format(ordinal, type, combo.adapter_format, depth) &&
        provider.check_depth_stencil_match(ordinal, type, combo.adapter_format, combo.back_buffer_format,
                                           depth)) {
      combo.depth_stencil_formats.push_back(depth);
    }
  }

  for (int multisample = 0; multisample <= kMaxMultisampleType; ++multisample) {
    const std::optional<std::uint32_t> levels = provider.multisample_quality_levels(
        ordinal, type, combo.back_buffer_format, combo.windowed, multisample);
    if (levels) combo.multisample_types.push_back(MultisampleOption{multisample, *levels});
  }
  for (PixelFormat depth : combo.depth_stencil_formats) {
    for (const MultisampleOption& option : combo.multisample_types) {
      if (!provider.multisample_quality_levels(ordinal, type, depth, combo.windowed, option.type)) {
        combo.conflicts.push_back(DepthMultisampleConflict{depth, option.type});
      }
    }
  }

  auto confirmed = [&](int vertex_processing) {
    return !confirm_ ||
           !failed(confirm_(caps, vertex_processing, combo.adapter_format, combo.back_buffer_format));
  };
  if (caps.hardware_transform_and_lighting) {
    if (caps.pure_device && limits_.pure_vertex_processing && confirmed(kPureHardwareVertexProcessing)) {
      combo.vertex_processing_types.push_back(kPureHardwareVertexProcessing);
    }
    if (limits_.hardware_vertex_processing && confirmed(kHardwareVertexProcessing)) {
      combo.vertex_processing_types.push_back(kHardwareVertexProcessing);
    }
    if (limits_.mixed_vertex_processing && confirmed(kMixedVertexProcessing)) {
      combo.vertex_processing_types.push_back(kMixedVertexProcessing);
    }
  }
  if (limits_.software_vertex_processing && confirmed(kSoftwareVertexProcessing)) {
    combo.vertex_processing_types.push_back(kSoftwareVertexProcessing);
  }

  for (std::uint32_t interval : kPresentationIntervals) {
    if (combo.windowed && interval != kIntervalImmediate && interval != kIntervalDefault &&
        interval != kIntervalOne) {
      continue;
    }
    if (interval != kIntervalDefault && (caps.presentation_intervals & interval) == 0) continue;
    combo.presentation_intervals.push_back(interval);
  }
}

}  // namespace render
