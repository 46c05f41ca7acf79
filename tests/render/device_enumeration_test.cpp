#include "render/device_enumeration.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "render/fake_caps_provider.h"
#include "render/gl_caps_provider.h"
#include "render/shader_level.h"

namespace {

using render::DeviceCaps;
using render::DeviceCombo;
using render::DeviceEnumeration;
using render::DisplayMode;
using render::EnumerationLimits;
using render::FakeAdapter;
using render::FakeCapsProvider;
using render::FakeDevice;
using render::PixelFormat;
using F = PixelFormat;

DeviceCaps hardware_caps() {
  DeviceCaps caps;
  caps.pixel_shader_version = render::pixel_shader_version(2, 0);
  caps.vertex_shader_version = render::vertex_shader_version(2, 0);
  caps.hardware_transform_and_lighting = true;
  caps.presentation_intervals = render::kIntervalImmediate | render::kIntervalOne | render::kIntervalTwo |
                                render::kIntervalThree | render::kIntervalFour;
  caps.src_blend_caps = render::kBlendCapsAll;
  caps.dest_blend_caps = render::kBlendCapsAll;
  return caps;
}

DeviceCaps reference_caps() {
  DeviceCaps caps = hardware_caps();
  caps.device_type = render::kReferenceDevice;
  caps.hardware_transform_and_lighting = false;
  return caps;
}

FakeDevice hal() { return FakeDevice{hardware_caps(), true}; }
FakeDevice ref() { return FakeDevice{reference_caps(), true}; }

// Two monitors side by side and a mirroring driver. The first adapter has a
// hardware device and modes in all three adapter formats, some of which the
// default limits drop; the second has only a reference device.
FakeCapsProvider two_monitor_machine() {
  FakeCapsProvider machine;
  machine.displays = {
      {"DISPLAY1", "Wide monitor", false, true, true, 0, 0, 1920, 1080},
      {"MIRROR", "Mirror", true, true, false, 0, 0, 1920, 1080},
      {"DISPLAY2", "Square monitor", false, true, false, 1920, 0, 1280, 1024},
  };
  machine.monitors = {{11, base::Rect{0, 0, 1920, 1080}}, {22, base::Rect{1920, 0, 3200, 1024}}};

  FakeAdapter first;
  first.identifier = {"drv", "First card", "DISPLAY1"};
  first.monitor = 11;
  first.desktop_mode = {1920, 1080, 60, F::X8R8G8B8};
  first.modes = {{1920, 1080, 60, F::X8R8G8B8}, {320, 240, 60, F::X8R8G8B8}, {800, 600, 75, F::X8R8G8B8},
                 {800, 600, 60, F::X8R8G8B8},   {640, 480, 60, F::X8R8G8B8}, {1024, 768, 60, F::X8R8G8B8},
                 {800, 600, 60, F::X1R5G5B5},   {1024, 768, 60, F::R5G6B5},  {800, 600, 60, F::R5G6B5}};
  first.devices = {hal()};

  FakeAdapter second;
  second.identifier = {"drv", "Second card", "DISPLAY2"};
  second.monitor = 22;
  second.desktop_mode = {1280, 1024, 60, F::X8R8G8B8};
  second.modes = {{1280, 1024, 60, F::X8R8G8B8}};
  second.devices = {ref()};

  machine.adapters = {first, second};
  return machine;
}

const DeviceCombo* find_combo(const render::DeviceInfo& device, bool windowed, PixelFormat adapter_format,
                              PixelFormat back_buffer_format) {
  for (const DeviceCombo& combo : device.combos) {
    if (combo.windowed == windowed && combo.adapter_format == adapter_format &&
        combo.back_buffer_format == back_buffer_format) {
      return &combo;
    }
  }
  return nullptr;
}

TEST(DeviceEnumerationTest, PicksAdapterModeAndCombo) {
  struct Case {
    const char* what;
    std::function<void(FakeCapsProvider&, EnumerationLimits&)> change;
    bool windowed;
    DisplayMode requested_mode;
    int adapter;
    int device_type;
    bool expect_windowed;
    PixelFormat adapter_format;
    PixelFormat back_buffer_format;
    DisplayMode mode;
    PixelFormat depth;
    int vertex_processing;
  };
  const auto none = [](FakeCapsProvider&, EnumerationLimits&) {};
  const DisplayMode desktop{1920, 1080, 60, F::X8R8G8B8};
  const Case cases[] = {
      {"windowed on the hardware device of the first adapter",
       none,
       true,
       {},
       0,
       1,
       true,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"full screen in a listed 16-bit mode",
       none,
       false,
       {1024, 768, 60, F::R5G6B5},
       0,
       1,
       false,
       F::R5G6B5,
       F::R5G6B5,
       {1024, 768, 60, F::R5G6B5},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"full screen in a 15-bit mode",
       none,
       false,
       {800, 600, 60, F::X1R5G5B5},
       0,
       1,
       false,
       F::X1R5G5B5,
       F::X1R5G5B5,
       {800, 600, 60, F::X1R5G5B5},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"a requested refresh rate that is not listed is ignored",
       none,
       false,
       {800, 600, 75, F::X8R8G8B8},
       0,
       1,
       false,
       F::X8R8G8B8,
       F::X8R8G8B8,
       {800, 600, 60, F::X8R8G8B8},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"an unlisted mode falls back to the desktop mode",
       none,
       false,
       {1600, 1200, 60, F::X8R8G8B8},
       0,
       1,
       false,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"the first adapter with a hardware device becomes current",
       [](FakeCapsProvider& m, EnumerationLimits&) {
         m.adapters[0].devices = {ref()};
         m.adapters[1].devices = {hal()};
       },
       true,
       {},
       1,
       1,
       true,
       F::X8R8G8B8,
       F::X8R8G8B8,
       {1280, 1024, 60, F::X8R8G8B8},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"without any hardware device the first adapter's reference device",
       [](FakeCapsProvider& m, EnumerationLimits&) { m.adapters[0].devices = {ref()}; },
       true,
       {},
       0,
       2,
       true,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24X8,
       render::kSoftwareVertexProcessing},
      {"a device without hardware transform and lighting processes vertices in software",
       [](FakeCapsProvider& m, EnumerationLimits&) {
         m.adapters[0].devices[0].caps.hardware_transform_and_lighting = false;
       },
       true,
       {},
       0,
       1,
       true,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24X8,
       render::kSoftwareVertexProcessing},
      {"a hardware device that cannot render into a window presents full screen",
       [](FakeCapsProvider& m, EnumerationLimits&) { m.adapters[0].devices[0].windowed = false; },
       true,
       {},
       0,
       1,
       false,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"a 15-bit desktop renders windowed in its own format",
       [](FakeCapsProvider& m, EnumerationLimits&) {
         m.adapters[0].desktop_mode = {800, 600, 60, F::X1R5G5B5};
       },
       true,
       {},
       0,
       1,
       true,
       F::X1R5G5B5,
       F::X1R5G5B5,
       {800, 600, 60, F::X1R5G5B5},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"without a back buffer in the desktop's format the first windowed combo",
       [](FakeCapsProvider&, EnumerationLimits& l) { l.min_alpha_bits = 8; },
       true,
       {},
       0,
       1,
       true,
       F::X8R8G8B8,
       F::A8R8G8B8,
       desktop,
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"a desktop without full-screen modes of its format still gets a window",
       [](FakeCapsProvider& m, EnumerationLimits&) {
         m.adapters[0].desktop_mode = {600, 400, 60, F::R5G6B5};
         std::erase_if(m.adapters[0].modes, [](const DisplayMode& mode) { return mode.format == F::R5G6B5; });
       },
       true,
       {},
       0,
       1,
       true,
       F::R5G6B5,
       F::R5G6B5,
       {600, 400, 60, F::R5G6B5},
       F::D24X8,
       render::kHardwareVertexProcessing},
      {"stencil bits wanted",
       [](FakeCapsProvider&, EnumerationLimits& l) { l.min_stencil_bits = 1; },
       true,
       {},
       0,
       1,
       true,
       F::X8R8G8B8,
       F::X8R8G8B8,
       desktop,
       F::D24S8,
       render::kHardwareVertexProcessing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCapsProvider machine = two_monitor_machine();
    DeviceEnumeration enumeration;
    c.change(machine, enumeration.limits());
    enumeration.settings().windowed = c.windowed;
    enumeration.settings().full_screen_mode = c.requested_mode;
    ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
    ASSERT_NE(enumeration.current_adapter(), nullptr);
    EXPECT_EQ(enumeration.current_adapter()->adapter_ordinal, c.adapter);
    const render::DeviceSettings& s = enumeration.settings();
    EXPECT_EQ(s.adapter_ordinal, c.adapter);
    EXPECT_EQ(s.device_type, c.device_type);
    EXPECT_EQ(s.windowed, c.expect_windowed);
    EXPECT_EQ(s.adapter_format, c.adapter_format);
    EXPECT_EQ(s.back_buffer_format, c.back_buffer_format);
    EXPECT_EQ(s.full_screen_mode, c.mode);
    EXPECT_EQ(s.depth_stencil_format, c.depth);
    EXPECT_EQ(s.multisample_type, 0);
    EXPECT_EQ(s.vertex_processing, c.vertex_processing);
  }
}

TEST(DeviceEnumerationTest, DisplayDevicesSkipMirrorsAndLinkToTheirAdapters) {
  FakeCapsProvider machine = two_monitor_machine();
  machine.displays.push_back({"DETACHED", "Off", false, false, false, 5000, 0, 800, 600});
  // The primary device sits at (0, 0) whatever position it reports.
  machine.displays[0].x = 7;
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);

  const auto& devices = enumeration.display_devices();
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].name, "DISPLAY1");
  EXPECT_EQ(devices[0].monitor_description, "Wide monitor");
  EXPECT_EQ(devices[0].rect, (base::Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(devices[0].monitor, 11u);
  EXPECT_EQ(devices[0].adapter, 0);
  EXPECT_EQ(devices[1].name, "DISPLAY2");
  EXPECT_EQ(devices[1].rect, (base::Rect{1920, 0, 3200, 1024}));
  EXPECT_EQ(devices[1].monitor, 22u);
  EXPECT_EQ(devices[1].adapter, 1);
  EXPECT_EQ(devices[2].name, "DETACHED");
  EXPECT_TRUE(devices[2].rect.empty());
  EXPECT_EQ(devices[2].monitor, 0u);
  EXPECT_EQ(devices[2].adapter, -1);

  ASSERT_EQ(enumeration.adapters().size(), 2u);
  EXPECT_EQ(enumeration.adapters()[0].display_device, 0);
  EXPECT_EQ(enumeration.adapters()[1].display_device, 1);
  EXPECT_EQ(enumeration.adapters()[1].identifier.description, "Second card");
}

TEST(DeviceEnumerationTest, ModesAreFilteredByTheLimitsAndSorted) {
  struct Case {
    const char* what;
    std::function<void(EnumerationLimits&)> change;
    std::vector<DisplayMode> expected;
  };
  const Case cases[] = {
      {"default limits: too small and 75 Hz dropped, 15-bit kept",
       [](EnumerationLimits&) {},
       {{640, 480, 60, F::X8R8G8B8},
        {800, 600, 60, F::X8R8G8B8},
        {800, 600, 60, F::R5G6B5},
        {800, 600, 60, F::X1R5G5B5},
        {1024, 768, 60, F::X8R8G8B8},
        {1024, 768, 60, F::R5G6B5},
        {1920, 1080, 60, F::X8R8G8B8}}},
      {"any refresh rate",
       [](EnumerationLimits& l) { l.any_refresh_rate = true; },
       {{640, 480, 60, F::X8R8G8B8},
        {800, 600, 60, F::X8R8G8B8},
        {800, 600, 75, F::X8R8G8B8},
        {800, 600, 60, F::R5G6B5},
        {800, 600, 60, F::X1R5G5B5},
        {1024, 768, 60, F::X8R8G8B8},
        {1024, 768, 60, F::R5G6B5},
        {1920, 1080, 60, F::X8R8G8B8}}},
      {"32 colour bits",
       [](EnumerationLimits& l) { l.min_colour_bits = 32; },
       {{640, 480, 60, F::X8R8G8B8},
        {800, 600, 60, F::X8R8G8B8},
        {1024, 768, 60, F::X8R8G8B8},
        {1920, 1080, 60, F::X8R8G8B8}}},
      {"size and refresh windows",
       [](EnumerationLimits& l) {
         l.any_refresh_rate = true;
         l.min_width = 320;
         l.min_height = 240;
         l.max_width = 800;
         l.max_height = 600;
         l.min_refresh = 61;
         l.max_refresh = 100;
       },
       {{800, 600, 75, F::X8R8G8B8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCapsProvider machine = two_monitor_machine();
    DeviceEnumeration enumeration;
    c.change(enumeration.limits());
    ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
    EXPECT_EQ(enumeration.adapters()[0].modes, c.expected);
  }
}

TEST(DeviceEnumerationTest, CombosCarryTheirFormatsMultisamplingAndIntervals) {
  FakeCapsProvider machine = two_monitor_machine();
  FakeAdapter& adapter = machine.adapters[0];
  adapter.depth_stencil_formats = {F::D24S8, F::D16};
  adapter.depth_mismatches = {{F::R5G6B5, F::D24S8}};
  adapter.multisample_types = {{0, 1}, {2, 1}, {4, 3}};
  adapter.multisample_refused = {{F::D16, 4}, {F::R5G6B5, 2}};
  adapter.unblendable_formats = {F::A1R5G5B5};
  adapter.devices[0].caps.presentation_intervals = render::kIntervalOne | render::kIntervalThree;
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
  const render::DeviceInfo& device = enumeration.adapters()[0].devices.at(0);
  EXPECT_EQ(device.device_type, render::kHardwareDevice);

  const DeviceCombo* full = find_combo(device, false, F::X8R8G8B8, F::X8R8G8B8);
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->depth_stencil_formats, (std::vector<PixelFormat>{F::D24S8, F::D16}));
  EXPECT_EQ(full->multisample_types, (std::vector<render::MultisampleOption>{{0, 1}, {2, 1}, {4, 3}}));
  EXPECT_EQ(full->conflicts, (std::vector<render::DepthMultisampleConflict>{{F::D16, 4}}));
  EXPECT_EQ(full->vertex_processing_types,
            (std::vector<int>{render::kHardwareVertexProcessing, render::kSoftwareVertexProcessing}));
  EXPECT_EQ(full->presentation_intervals,
            (std::vector<uint32_t>{render::kIntervalDefault, render::kIntervalOne, render::kIntervalThree}));

  // In a window two, three and four are never offered.
  const DeviceCombo* window = find_combo(device, true, F::X8R8G8B8, F::X8R8G8B8);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->presentation_intervals,
            (std::vector<uint32_t>{render::kIntervalDefault, render::kIntervalOne}));

  const DeviceCombo* sixteen = find_combo(device, false, F::R5G6B5, F::R5G6B5);
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(sixteen->depth_stencil_formats, (std::vector<PixelFormat>{F::D16}));
  EXPECT_EQ(sixteen->multisample_types, (std::vector<render::MultisampleOption>{{0, 1}, {4, 3}}));

  // Only formats that blend, only on adapter formats with the same channels,
  // and windows only in the desktop's format.
  EXPECT_NE(find_combo(device, false, F::X8R8G8B8, F::A8R8G8B8), nullptr);
  EXPECT_EQ(find_combo(device, false, F::X1R5G5B5, F::A1R5G5B5), nullptr);
  EXPECT_NE(find_combo(device, false, F::X1R5G5B5, F::X1R5G5B5), nullptr);
  EXPECT_EQ(find_combo(device, false, F::X8R8G8B8, F::R5G6B5), nullptr);
  EXPECT_EQ(find_combo(device, true, F::R5G6B5, F::R5G6B5), nullptr);

  // Blending asked of no format: the one-bit alpha back buffer is listed.
  DeviceEnumeration unrestricted;
  unrestricted.limits().require_post_pixel_shader_blending = false;
  ASSERT_EQ(unrestricted.enumerate(machine), render::kOk);
  EXPECT_NE(find_combo(unrestricted.adapters()[0].devices[0], false, F::X1R5G5B5, F::A1R5G5B5), nullptr);
}

TEST(DeviceEnumerationTest, DeviceTypesFollowTheReferenceLimit) {
  struct Case {
    const char* what;
    std::vector<FakeDevice> devices;
    bool reference_limit;
    bool veto_hardware;
    std::vector<int> expected_types;
  };
  const Case cases[] = {
      {"both types with the limit on", {hal(), ref()}, true, false, {1, 2}},
      {"both types with the limit off", {hal(), ref()}, false, false, {1}},
      {"no hardware type, limit on", {ref()}, true, false, {2}},
      {"no hardware type, limit off", {ref()}, false, false, {2}},
      {"a hardware type without combos, limit off", {hal(), ref()}, false, true, {2}},
      {"hardware only", {hal()}, true, false, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCapsProvider machine = two_monitor_machine();
    machine.adapters.resize(1);
    machine.adapters[0].devices = c.devices;
    DeviceEnumeration enumeration;
    enumeration.limits().reference_device = c.reference_limit;
    if (c.veto_hardware) {
      enumeration.set_confirm_device([](const DeviceCaps& caps, int, PixelFormat, PixelFormat) {
        return caps.device_type == render::kHardwareDevice ? render::kFail : render::kOk;
      });
    }
    ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
    std::vector<int> types;
    for (const render::DeviceInfo& device : enumeration.adapters()[0].devices)
      types.push_back(device.device_type);
    EXPECT_EQ(types, c.expected_types);
  }
}

TEST(DeviceEnumerationTest, TheConfirmCallbackVetoesVertexProcessing) {
  FakeCapsProvider machine = two_monitor_machine();
  machine.adapters.resize(1);
  DeviceEnumeration enumeration;
  enumeration.limits().mixed_vertex_processing = true;
  enumeration.limits().pure_vertex_processing = true;
  machine.adapters[0].devices[0].caps.pure_device = true;

  struct Call {
    int vertex_processing;
    PixelFormat adapter_format;
    PixelFormat back_buffer_format;
  };
  std::vector<Call> calls;
  // Accepts mixed and hardware processing, and nothing on 16-bit back buffers.
  enumeration.set_confirm_device([&calls](const DeviceCaps& caps, int vertex_processing,
                                          PixelFormat adapter_format, PixelFormat back_buffer) {
    EXPECT_EQ(caps.device_type, render::kHardwareDevice);
    calls.push_back({vertex_processing, adapter_format, back_buffer});
    if (render::bits_per_pixel(back_buffer) == 16) return render::kFail;
    return vertex_processing == render::kMixedVertexProcessing ||
                   vertex_processing == render::kHardwareVertexProcessing
               ? render::kOk
               : render::kFail;
  });
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
  const render::DeviceInfo& device = enumeration.adapters()[0].devices.at(0);
  for (const DeviceCombo& combo : device.combos) {
    EXPECT_EQ(render::bits_per_pixel(combo.back_buffer_format), 32);
    EXPECT_EQ(combo.vertex_processing_types,
              (std::vector<int>{render::kHardwareVertexProcessing, render::kMixedVertexProcessing}));
  }
  // Each type was asked once per combo, in order of preference.
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0].vertex_processing, render::kPureHardwareVertexProcessing);
  EXPECT_EQ(calls[1].vertex_processing, render::kHardwareVertexProcessing);
  EXPECT_EQ(calls[2].vertex_processing, render::kMixedVertexProcessing);
  EXPECT_EQ(calls[3].vertex_processing, render::kSoftwareVertexProcessing);
  EXPECT_EQ(calls[0].adapter_format, F::X8R8G8B8);
  EXPECT_EQ(calls[0].back_buffer_format, F::A8R8G8B8);
  EXPECT_EQ(enumeration.settings().vertex_processing, render::kHardwareVertexProcessing);

  // A callback that accepts nothing leaves no device at all.
  enumeration.set_confirm_device(
      [](const DeviceCaps&, int, PixelFormat, PixelFormat) { return render::kFail; });
  EXPECT_EQ(enumeration.enumerate(machine), render::kNoCompatibleDevices);
  EXPECT_TRUE(enumeration.adapters().empty());
  EXPECT_EQ(enumeration.current_adapter(), nullptr);
}

TEST(DeviceEnumerationTest, EnumerationFailures) {
  {
    SCOPED_TRACE("no adapter");
    FakeCapsProvider machine = two_monitor_machine();
    machine.adapters.clear();
    DeviceEnumeration enumeration;
    EXPECT_EQ(enumeration.enumerate(machine), render::kNoCompatibleDevices);
  }
  {
    SCOPED_TRACE("no depth format deep enough drops every combo");
    FakeCapsProvider machine = two_monitor_machine();
    DeviceEnumeration enumeration;
    enumeration.limits().min_depth_bits = 32;
    EXPECT_EQ(enumeration.enumerate(machine), render::kNoCompatibleDevices);
  }
  {
    SCOPED_TRACE("out of memory");
    FakeCapsProvider machine = two_monitor_machine();
    DeviceEnumeration enumeration;
    ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
    machine.out_of_memory = true;
    EXPECT_EQ(enumeration.enumerate(machine), render::kOutOfMemory);
    EXPECT_TRUE(enumeration.adapters().empty());
    EXPECT_TRUE(enumeration.display_devices().empty());
  }
  {
    SCOPED_TRACE("only the first adapter");
    FakeCapsProvider machine = two_monitor_machine();
    DeviceEnumeration enumeration;
    enumeration.limits().all_adapters = false;
    ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
    EXPECT_EQ(enumeration.adapters().size(), 1u);
  }
}

TEST(DeviceEnumerationTest, SettingsChoiceKeepsEarlierValidChoices) {
  struct Case {
    const char* what;
    PixelFormat depth;
    int multisample;
    uint32_t quality;
    int vertex_processing;
    PixelFormat expected_depth;
    int expected_multisample;
    uint32_t expected_quality;
    int expected_vertex_processing;
  };
  const Case cases[] = {
      {"all offered", F::D24S8, 2, 0, render::kSoftwareVertexProcessing, F::D24S8, 2, 0,
       render::kSoftwareVertexProcessing},
      {"quality beyond the type's levels", F::D24S8, 4, 7, render::kHardwareVertexProcessing, F::D24S8, 4, 2,
       render::kHardwareVertexProcessing},
      {"none offered: the combo's first", F::D32, 8, 0, render::kPureHardwareVertexProcessing, F::D24X8, 0, 0,
       render::kHardwareVertexProcessing},
      {"a multisample type the depth format cannot take gives way", F::D16, 4, 2,
       render::kHardwareVertexProcessing, F::D16, 0, 0, render::kHardwareVertexProcessing},
  };
  FakeCapsProvider machine = two_monitor_machine();
  machine.adapters[0].multisample_types = {{0, 1}, {2, 1}, {4, 3}};
  machine.adapters[0].multisample_refused = {{F::D16, 4}};
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    render::DeviceSettings& s = enumeration.settings();
    s.depth_stencil_format = c.depth;
    s.multisample_type = c.multisample;
    s.multisample_quality = c.quality;
    s.vertex_processing = c.vertex_processing;
    s.windowed = false;
    ASSERT_TRUE(enumeration.choose_settings(render::kHardwareDevice));
    EXPECT_EQ(s.depth_stencil_format, c.expected_depth);
    EXPECT_EQ(s.multisample_type, c.expected_multisample);
    EXPECT_EQ(s.multisample_quality, c.expected_quality);
    EXPECT_EQ(s.vertex_processing, c.expected_vertex_processing);
  }

  // A device type the adapter lacks leaves the settings alone.
  const render::DeviceSettings before = enumeration.settings();
  EXPECT_FALSE(enumeration.choose_settings(render::kReferenceDevice));
  EXPECT_EQ(enumeration.settings().device_type, before.device_type);
  EXPECT_EQ(enumeration.settings().full_screen_mode, before.full_screen_mode);

  // Another adapter keeps what it can of the current choice.
  enumeration.settings().depth_stencil_format = F::D16;
  ASSERT_TRUE(enumeration.select_adapter(1, render::kReferenceDevice));
  EXPECT_EQ(enumeration.current_adapter()->adapter_ordinal, 1);
  EXPECT_EQ(enumeration.settings().adapter_ordinal, 1);
  EXPECT_EQ(enumeration.settings().device_type, render::kReferenceDevice);
  EXPECT_EQ(enumeration.settings().depth_stencil_format, F::D16);
  EXPECT_EQ(enumeration.settings().vertex_processing, render::kSoftwareVertexProcessing);
  EXPECT_FALSE(enumeration.select_adapter(1, render::kHardwareDevice));
  EXPECT_FALSE(enumeration.select_adapter(2, render::kReferenceDevice));
  EXPECT_EQ(enumeration.current_adapter()->adapter_ordinal, 1);
}

TEST(DeviceEnumerationTest, ComboChoicePrefersTheRequestedPair) {
  FakeCapsProvider machine = two_monitor_machine();
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
  const render::DeviceInfo& device = enumeration.adapters()[0].devices[0];
  struct Case {
    const char* what;
    bool windowed;
    PixelFormat adapter_format;
    PixelFormat back_buffer_format;
    PixelFormat expected_adapter_format;
    PixelFormat expected_back_buffer_format;
  };
  const Case cases[] = {
      {"exact pair", false, F::X8R8G8B8, F::A8R8G8B8, F::X8R8G8B8, F::A8R8G8B8},
      {"unlisted pair: the adapter's own format", false, F::R5G6B5, F::A8R8G8B8, F::R5G6B5, F::R5G6B5},
      {"nothing like it: the first of that kind", false, F::A8R8G8B8, F::A8R8G8B8, F::X8R8G8B8, F::A8R8G8B8},
      {"windowed", true, F::R5G6B5, F::R5G6B5, F::X8R8G8B8, F::A8R8G8B8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DeviceCombo* combo =
        render::choose_combo(device, c.windowed, c.adapter_format, c.back_buffer_format);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->windowed, c.windowed);
    EXPECT_EQ(combo->adapter_format, c.expected_adapter_format);
    EXPECT_EQ(combo->back_buffer_format, c.expected_back_buffer_format);
  }
}

TEST(DeviceEnumerationTest, ModeChoiceIgnoresRefreshAndFallsBackToTheDesktop) {
  FakeCapsProvider machine = two_monitor_machine();
  DeviceEnumeration enumeration;
  enumeration.limits().any_refresh_rate = true;
  ASSERT_EQ(enumeration.enumerate(machine), render::kOk);
  const render::AdapterInfo& adapter = enumeration.adapters()[0];

  struct Case {
    DisplayMode requested;
    DisplayMode chosen;
    bool listed;
  };
  const Case cases[] = {
      {{800, 600, 75, F::X8R8G8B8}, {800, 600, 75, F::X8R8G8B8}, true},
      {{800, 600, 85, F::X8R8G8B8}, {800, 600, 60, F::X8R8G8B8}, true},
      {{1024, 768, 0, F::R5G6B5}, {1024, 768, 60, F::R5G6B5}, true},
      {{1024, 768, 60, F::X1R5G5B5}, {1920, 1080, 60, F::X8R8G8B8}, false},
      {{}, {1920, 1080, 60, F::X8R8G8B8}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.requested.width << "x" << c.requested.height << "@" << c.requested.refresh_rate);
    EXPECT_EQ(render::find_mode(adapter, c.requested) != nullptr, c.listed);
    EXPECT_EQ(render::choose_mode(adapter, c.requested), c.chosen);
  }

  const DisplayMode* sixteen = render::find_mode_by_bits(adapter, 800, 600, 16);
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(sixteen->format, F::R5G6B5);
  const DisplayMode* thirty_two = render::find_mode_by_bits(adapter, 800, 600, 32);
  ASSERT_NE(thirty_two, nullptr);
  EXPECT_EQ(*thirty_two, (DisplayMode{800, 600, 60, F::X8R8G8B8}));
  EXPECT_EQ(render::find_mode_by_bits(adapter, 800, 600, 24), nullptr);
  EXPECT_EQ(render::find_mode_by_bits(adapter, 1280, 1024, 32), nullptr);
}

TEST(DeviceEnumerationTest, VertexProcessingBecomesBehaviorFlags) {
  const std::pair<int, uint32_t> cases[] = {{0, 0x20}, {1, 0x80}, {2, 0x40}, {3, 0x50}, {4, 0}, {-1, 0}};
  for (const auto& [type, flags] : cases) EXPECT_EQ(render::behavior_flags(type), flags) << type;
}

TEST(DeviceEnumerationTest, ShaderLevelFollowsThePixelShaderVersion) {
  struct Case {
    uint32_t pixel_shader;
    int textures;
    uint32_t texture_ops;
    int current_level;
    int level;
    bool multitexture;
  };
  const uint32_t modulate = render::kTextureOpModulate;
  const Case cases[] = {
      {render::pixel_shader_version(3, 0), 8, modulate, 0, 3, false},
      {render::pixel_shader_version(2, 0), 8, modulate, 1, 3, false},
      {render::pixel_shader_version(1, 4), 8, modulate, 0, 2, false},
      {render::pixel_shader_version(1, 3), 8, modulate, 0, 1, false},
      {render::pixel_shader_version(1, 1), 8, modulate, 3, 1, false},
      // Below 1.1 the level stays as it was.
      {render::pixel_shader_version(1, 0), 2, modulate, 0, 0, true},
      {0, 2, modulate, 2, 2, false},
      {0, 1, modulate, 0, 0, false},
      {0, 2, render::kTextureOpAdd, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.pixel_shader << " level " << c.current_level);
    DeviceCaps caps;
    caps.pixel_shader_version = c.pixel_shader;
    caps.max_simultaneous_textures = c.textures;
    caps.texture_op_caps = c.texture_ops;
    const render::ShaderCapability result = render::derive_shader_capability(caps, c.current_level);
    EXPECT_EQ(result.level, c.level);
    EXPECT_EQ(result.fixed_function_multitexture, c.multitexture);
  }
}

std::vector<platform::DisplayInfo> gl_displays() {
  platform::DisplayInfo primary;
  primary.name = "Built-in";
  primary.rect = base::Rect{0, 0, 1920, 1080};
  primary.desktop_mode = {1920, 1080, 60, 32};
  primary.modes = {{1920, 1080, 60, 32}, {1280, 720, 60, 32}, {1024, 768, 60, 16}, {800, 600, 60, 8}};
  platform::DisplayInfo second;
  second.name = "External";
  second.rect = base::Rect{1920, 0, 3200, 1024};
  second.desktop_mode = {1280, 1024, 75, 32};
  second.modes = {{1280, 1024, 75, 32}, {1280, 1024, 60, 32}};
  return {primary, second};
}

TEST(GlCapsProviderTest, DescribesOneHardwareAdapterPerDisplay) {
  render::GlCapsProvider provider(gl_displays(), gfx::DeviceInfo{"llvmpipe", "4.5 (Core Profile)", 8192, 8});
  DeviceEnumeration enumeration;
  ASSERT_EQ(enumeration.enumerate(provider), render::kOk);

  ASSERT_EQ(enumeration.display_devices().size(), 2u);
  ASSERT_EQ(enumeration.adapters().size(), 2u);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const render::AdapterInfo& adapter = enumeration.adapters()[static_cast<size_t>(i)];
    EXPECT_EQ(adapter.display_device, i);
    EXPECT_EQ(enumeration.display_devices()[static_cast<size_t>(i)].adapter, i);
    EXPECT_EQ(adapter.identifier.description, "llvmpipe");
    ASSERT_EQ(adapter.devices.size(), 1u);  // never a reference device
    const DeviceCaps& caps = adapter.devices[0].caps;
    EXPECT_EQ(caps.device_type, render::kHardwareDevice);
    EXPECT_EQ(caps.pixel_shader_version, render::pixel_shader_version(3, 0));
    EXPECT_EQ(caps.vertex_shader_version, render::vertex_shader_version(3, 0));
    EXPECT_EQ(caps.max_texture_width, 8192);
    EXPECT_EQ(render::derive_shader_capability(caps, 0).level, 3);
  }
  EXPECT_EQ(enumeration.display_devices()[1].rect, (base::Rect{1920, 0, 3200, 1024}));

  // 16-bit modes count for both 16-bit adapter formats; 8-bit ones for none.
  EXPECT_EQ(enumeration.adapters()[0].modes, (std::vector<DisplayMode>{{1024, 768, 60, F::R5G6B5},
                                                                       {1024, 768, 60, F::X1R5G5B5},
                                                                       {1280, 720, 60, F::X8R8G8B8},
                                                                       {1920, 1080, 60, F::X8R8G8B8}}));
  EXPECT_EQ(enumeration.adapters()[1].modes, (std::vector<DisplayMode>{{1280, 1024, 75, F::X8R8G8B8}}));

  const render::DeviceInfo& device = enumeration.adapters()[0].devices[0];
  const DeviceCombo* full = find_combo(device, false, F::X8R8G8B8, F::X8R8G8B8);
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->depth_stencil_formats, (std::vector<PixelFormat>{F::D24X8, F::D24S8, F::D16}));
  std::vector<int> samples;
  for (const render::MultisampleOption& option : full->multisample_types) samples.push_back(option.type);
  EXPECT_EQ(samples, (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(full->conflicts.empty());
  EXPECT_EQ(full->presentation_intervals.size(), 6u);
  EXPECT_EQ(find_combo(device, true, F::R5G6B5, F::R5G6B5), nullptr);

  const render::DeviceSettings& s = enumeration.settings();
  EXPECT_EQ(s.adapter_ordinal, 0);
  EXPECT_EQ(s.device_type, render::kHardwareDevice);
  EXPECT_TRUE(s.windowed);
  EXPECT_EQ(s.adapter_format, F::X8R8G8B8);
  EXPECT_EQ(s.back_buffer_format, F::X8R8G8B8);
  EXPECT_EQ(s.depth_stencil_format, F::D24X8);
  EXPECT_EQ(s.vertex_processing, render::kHardwareVertexProcessing);
}

TEST(GlCapsProviderTest, BeforeAContextExistsAssumesTheLeastOfOpenGl33) {
  render::GlCapsProvider provider(gl_displays(), gfx::DeviceInfo{});
  const std::optional<DeviceCaps> caps = provider.device_caps(0, render::kHardwareDevice);
  ASSERT_TRUE(caps);
  EXPECT_EQ(caps->max_texture_width, 1024);
  EXPECT_TRUE(provider.multisample_quality_levels(0, 1, F::X8R8G8B8, false, 4));
  EXPECT_FALSE(provider.multisample_quality_levels(0, 1, F::X8R8G8B8, false, 5));
  EXPECT_FALSE(provider.device_caps(0, render::kReferenceDevice));
  EXPECT_FALSE(provider.device_caps(2, render::kHardwareDevice));
}

}  // namespace
