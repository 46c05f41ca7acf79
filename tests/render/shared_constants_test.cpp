#include "render/shared_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/recording_device.h"

namespace {

using render::Light;
using render::LightType;

void expect_near(const base::Vec3& actual, const base::Vec3& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

TEST(SharedConstants, LightsGiveTheirShaderValues) {
  struct Case {
    const char* what;
    Light light;
    float power;
    base::Vec3 direction;
    base::Vec3 position;
    float inv_range;
    std::optional<base::Vec3> in_model;  // for an object at (10, 0, 0), turned a quarter about y
  };
  const float quarter = std::acos(0.0f);
  Light white;
  white.direction = {0, -1, 0};
  white.range = 0;
  Light green;
  green.type = LightType::Point;
  green.diffuse = {0, 1, 0, 1};
  green.position = {10, 5, 0};
  green.range = 50;
  Light spot;
  spot.type = LightType::Spot;
  spot.position = {1, 2, 3};
  spot.direction = {0, 0, 1};
  spot.range = 4;
  Light sideways;
  sideways.direction = {2, 0, 0};  // not normalised
  sideways.diffuse = {0.5f, 0.5f, 0.5f, 1};
  const std::vector<Case> cases = {
      {"white directional", white, 1.0f, {0, 1, 0}, {}, 0.0f, base::Vec3{0, 1, 0}},
      {"green point", green, 0.7154f, {}, {10, 5, 0}, 0.02f, base::Vec3{0, 5, 0}},
      {"spot", spot, 1.0f, {}, {}, 0.25f, std::nullopt},
      // Towards the light is -x in the world; the object's +z points along
      // world +x, so in model space it is -z, normalised.
      {"grey sideways", sideways, 0.5f, {-2, 0, 0}, {}, 0.0f, base::Vec3{0, 0, -1}},
  };
  const base::Matrix world = base::rotation_y(quarter) * base::translation(10, 0, 0);
  const base::Matrix inverse_world = *base::inverse(world);
  for (const Case& c : cases) {
    const render::LightConstants values = render::light_constants(c.light);
    EXPECT_NEAR(values.diffuse_power, c.power, 1e-5f) << c.what;
    expect_near(values.direction, c.direction, c.what);
    expect_near(values.position, c.position, c.what);
    EXPECT_NEAR(values.inv_range, c.inv_range, 1e-7f) << c.what;
    const std::optional<base::Vec3> in_model = render::light_in_model(c.light, inverse_world);
    ASSERT_EQ(in_model.has_value(), c.in_model.has_value()) << c.what;
    if (in_model) expect_near(*in_model, *c.in_model, c.what);
  }
}

TEST(SharedConstants, LineColoursFollowTheLightLevel) {
  const base::Vec4 white = render::line_colour(1.0f, std::nullopt);
  EXPECT_EQ(white, (base::Vec4{1, 1, 1, 1}));
  const base::Vec4 dim = render::line_colour(0.5f, std::nullopt);
  EXPECT_EQ(dim, (base::Vec4{0.5f, 0.5f, 0.5f, 1}));
  const base::Vec4 red = render::line_colour(0.5f, 0x80FF0000u);  // alpha of the colour is not used
  EXPECT_EQ(red, (base::Vec4{0.5f, 0, 0, 1}));
}

TEST(SharedConstants, TheWaterPatternScrollsAndWobbles) {
  render::WaterPatternMotion motion{{2, 3}, {0.5f, -1.0f}, {}, 0.0f};
  const base::Vec4 first = motion.step(0.5f);
  EXPECT_NEAR(first.x, 2, 1e-6f);
  EXPECT_NEAR(first.y, 3, 1e-6f);
  EXPECT_NEAR(first.z, 0.25f, 1e-6f);         // offset + 0.1 sin 0
  EXPECT_NEAR(first.w, -0.5f + 0.1f, 1e-6f);  // offset + 0.1 cos 0
  const base::Vec4 second = motion.step(0.5f);
  EXPECT_NEAR(second.z, 0.5f + 0.1f * std::sin(0.5f), 1e-6f);
  EXPECT_NEAR(second.w, -1.0f + 0.1f * std::cos(0.5f), 1e-6f);
}

// Values written through the shared effect land in each device's block.
TEST(SharedConstants, CameraLightAndObjectReachTheBlock) {
  gfx::RecordingDevice first, second;
  render::RenderDevices devices;
  devices.devices = {&first, &second};
  render::EffectPools pools;
  pools.create(devices);
  render::EffectFile file;
  for (int slot = 0; slot < render::kSharedSlotCount; ++slot) {
    const render::SharedParamInfo* info = render::shared_param(slot);
    if (info == nullptr) continue;
    file.parameters.push_back(
        {info->name, info->type, true, info->elements,
         static_cast<std::uint8_t>(slot == render::kSlotWaterShadowTexture ? 7 : 0),
         std::vector<float>(render::effect_param_components(info->type) * info->elements)});
  }
  file.techniques.push_back({"T", {{"P", {}, "vs", "fs"}}});
  render::EffectSet shared(devices, pools);
  ASSERT_TRUE(shared.load_bytes(render::encode_effect_file(file).value(), "Shared"));
  shared.allocate_slots(render::kSharedSlotCount);
  for (int slot = 0; slot < render::kSharedSlotCount; ++slot) {
    if (const auto* info = render::shared_param(slot))
      shared.bind_parameter(static_cast<std::size_t>(slot), info->name);
  }
  auto read = [&](const gfx::Device& device, int slot, std::size_t index) {
    float value = 0;
    std::memcpy(&value,
                pools.pool_for(&device)->bytes().data() + render::shared_param(slot)->offset + index * 4, 4);
    return value;
  };

  render::SharedConstants constants(shared, devices);
  const base::Matrix view = base::look_at_lh({1, 2, -5}, {0, 0, 0}, {0, 1, 0});
  const base::Matrix projection = base::perspective_fov_lh(1.0f, 1.5f, 0.1f, 100.0f);
  constants.set_camera(view, *base::inverse(view), projection);
  const base::Matrix view_projection = view * projection;
  EXPECT_FLOAT_EQ(read(first, render::kSlotViewProj, 4 * 2 + 1), view_projection.m[2][1]);
  EXPECT_FLOAT_EQ(read(first, render::kSlotViewInvert, 12), 1.0f) << "the camera's position row";
  EXPECT_NEAR(constants.camera_position().y, 2.0f, 1e-5f);

  devices.current = 1;
  Light light;
  light.direction = {0, 0, 1};
  light.range = 8;
  constants.set_light(light);
  EXPECT_EQ(devices.current, 0u) << "device 0 is current after a loop over the devices";
  for (const gfx::Device* device : {static_cast<gfx::Device*>(&first), static_cast<gfx::Device*>(&second)}) {
    EXPECT_FLOAT_EQ(read(*device, render::kSlotLightDir, 2), -1.0f);
    EXPECT_FLOAT_EQ(read(*device, render::kSlotLightInvRange, 0), 0.125f);
    EXPECT_FLOAT_EQ(read(*device, render::kSlotDiffusePower, 0), 1.0f);
  }
  constants.set_line_colour(std::nullopt);
  EXPECT_FLOAT_EQ(read(first, render::kSlotLineColor, 0), 1.0f);

  const base::Matrix world = base::translation(0, 0, 3);
  constants.set_object(world, constants.light_in_model(*base::inverse(world)));
  EXPECT_FLOAT_EQ(read(first, render::kSlotModel, 14), 3.0f);
  EXPECT_FLOAT_EQ(read(first, render::kSlotLightDirInModel, 2), -1.0f);
  EXPECT_FLOAT_EQ(read(first, render::kSlotLightPosInModel, 2), 0.0f) << "only the directional slot";
  EXPECT_FLOAT_EQ(read(second, render::kSlotModel, 14), 0.0f) << "objects are set per device";
}

}  // namespace
