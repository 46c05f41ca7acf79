// The forge's effects and test textures on a real OpenGL device: every
// effect builds, and the test box drawn through "BWModel" with the shared
// constants shows the light and the water pattern.
#include <gtest/gtest.h>

#include <filesystem>
#include <numbers>

#include "base/matrix.h"
#include "forge/look/effect_sources.h"
#include "forge/look/test_textures.h"
#include "model/mesh_builder.h"
#include "render/effect_set.h"
#include "render/hand_package.h"
#include "render/shared_constants.h"
#include "render/texture_manager.h"
#include "support/gl_window.h"

namespace {

constexpr std::uint32_t kBackground = 0xFF000000;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

int brightness(std::uint32_t c) {
  return static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF));
}

class LookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl_.open(kWidth, kHeight, &error, "look test")) << error;
    devices_.devices = {gl_.device.get()};
    std::filesystem::create_directories(folder_.path() / "Shader");
    std::filesystem::create_directories(folder_.path() / "Test");
    for (const forge::NamedEffect& file : forge::effect_files()) {
      const auto bytes = render::encode_effect_file(file.effect);
      ASSERT_TRUE(bytes) << file.name;
      render_test::write_bytes(folder_.path() / "Shader" / (file.name + ".fxo"), *bytes);
    }
    for (const forge::TextureFile& file : forge::test_texture_files()) {
      render_test::write_bytes(folder_.path() / file.path, file.bytes);
    }
  }

  void TearDown() override {
    if (box_) box_->release_device(*gl_.device);
  }

  render_test::TempFolder folder_;
  test_support::GlWindow gl_;
  render::RenderDevices devices_;
  render::EffectPools pools_;
  std::unique_ptr<model::MeshNode> box_;
};

TEST_F(LookTest, EveryEffectBuildsWithEveryTechniqueItNames) {
  struct Case {
    const char* name;
    std::vector<const char*> techniques;
  };
  const std::vector<Case> cases = {
      {"Shared", {"TE_SHARED"}},
      {"BWModel", {"TE_PS00", "TE_PS11", "TE_LINE"}},
      {"BWModelBlend", {"TE_PS00", "TE_PS11", "TE_LINE"}},
      {"BWFish", {"TE_PS00", "TE_PS11", "TE_LINE"}},
      {"BWFishBump", {"TE_PS14", "TE_PS20", "TE_LINE"}},
      {"Actinia", {"TE_PS00", "TE_PS11", "TE_LINE"}},
  };
  pools_.create(devices_);
  for (const Case& c : cases) {
    render::EffectSet effect(devices_, pools_);
    ASSERT_TRUE(effect.load(render::effect_path(folder_.path().string(), c.name, false)))
        << c.name << ": " << effect.error();
    effect.allocate_slots(c.techniques.size());
    for (std::size_t i = 0; i < c.techniques.size(); ++i) {
      effect.bind_technique(i, c.techniques[i]);
      EXPECT_TRUE(effect.slot_bound(i)) << c.name << " " << c.techniques[i];
      effect.select_technique(i, true);
      EXPECT_EQ(effect.technique_name(), c.techniques[i]);
      EXPECT_EQ(effect.pass_count(), 1u);
      EXPECT_TRUE(effect.begin_pass(0));
    }
  }
}

TEST_F(LookTest, TheTestBoxThroughBWModelShowsTheLightAndTheWaterPattern) {
  const std::string program_folder = folder_.path().string();
  render::EffectSet shared(devices_, pools_);
  ASSERT_TRUE(render::load_shared_effect(shared, pools_, devices_, program_folder)) << shared.error();
  render::EffectSet bw_model(devices_, pools_);
  ASSERT_TRUE(render::load_object_effect(bw_model, program_folder, "BWModel", false, 3)) << bw_model.error();
  EXPECT_EQ(bw_model.technique_name(), "TE_PS11");

  render::TextureManager textures(devices_, {render::gl_texture_caps(gl_.device->info().max_texture_size)});
  render::Texture* sand = textures.load_from_file(folder_.file("Test/Sand-d.dds"), false);
  ASSERT_NE(sand, nullptr);
  ASSERT_TRUE(sand->main(0));
  EXPECT_TRUE(sand->companion(0)) << "Sand-b.dds rides along";
  EXPECT_EQ(sand->on_device(0)->levels, 7u) << "the file's own chain";
  bw_model.set_texture(render::kObjDiffuseTexture, sand->main(0));

  box_ = model::make_box({1, 1, 1}, model::plain_material({1, 1, 1, 1}), "Box");
  ASSERT_NE(box_, nullptr);

  render::SharedConstants constants(shared, devices_);
  // The camera at z = -5 looks at the box, which is turned by 45 degrees:
  // its -z side shows on the left, its +x side on the right.
  const base::Matrix view = base::look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
  const base::Matrix projection =
      base::perspective_fov_lh(std::numbers::pi_v<float> / 4, float{kWidth} / kHeight, 0.1f, 100.0f);
  constants.set_camera(view, *base::inverse(view), projection);
  render::Light light;
  light.direction = {1, 0, 0};  // travels towards +x: falls on the left side
  light.diffuse = {1, 1, 1, 1};
  light.ambient = {0.15f, 0.15f, 0.15f, 1};
  constants.set_light(light);
  const base::Matrix world = base::rotation_y(std::numbers::pi_v<float> / 4);
  constants.set_object(world, constants.light_in_model(*base::inverse(world)));
  constants.set_water({1, 1, 0, 0}, render::kWaterMapUv, textures.white(0));

  auto render = [&] {
    gl_.device->clear(gfx::kClearTarget | gfx::kClearZBuffer, kBackground, 1.0f, 0);
    for (std::size_t pass = 0; pass < bw_model.pass_count(); ++pass) {
      EXPECT_TRUE(bw_model.begin_pass(pass));
      box_->draw_raw(*gl_.device, true);
    }
    return gl_.device->read_back();
  };
  gfx::Image image = render();
  const int lit = brightness(image.pixel(65, 60));
  const int unlit = brightness(image.pixel(95, 60));
  EXPECT_NE(image.pixel(95, 60), kBackground);
  EXPECT_GT(lit, unlit + 150) << "lit " << lit << ", unlit " << unlit;

  // The water pattern modulates the light: with a dark pattern the lit
  // side loses brightness, the side in shadow keeps its ambient light.
  constants.set_water({1, 1, 0, 0}, render::kWaterMapUv, textures.black(0));
  image = render();
  EXPECT_LT(brightness(image.pixel(65, 60)), lit - 100);
  EXPECT_NEAR(brightness(image.pixel(95, 60)), unlit, 6);

  textures.release(sand);
  EXPECT_EQ(textures.cache().size(), 0u);
}

}  // namespace
