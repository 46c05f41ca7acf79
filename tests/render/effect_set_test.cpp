#include "render/effect_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/recording_device.h"
#include "render/hand_package.h"
#include "render/shared_constants.h"

namespace {

using render::EffectFile;
using render::EffectParam;
using render::EffectParamType;
using render::EffectSet;

EffectFile technique_effect(std::vector<const char*> techniques) {
  EffectFile effect;
  effect.parameters.push_back({"DiffuseTexture", EffectParamType::Texture, false, 1, 0, {}});
  effect.parameters.push_back({"BumpmapTexture", EffectParamType::Texture, false, 1, 1, {}});
  effect.parameters.push_back({"s_fGlow", EffectParamType::Float, false, 1, 0, {0.5f}});
  effect.parameters.push_back(
      {"g_mSkinPalettes", EffectParamType::Matrix, true, 20, 0, std::vector<float>(20 * 16, 0.0f)});
  effect.parameters.push_back({"g_fDiffusePower", EffectParamType::Float, true, 1, 0, {0.25f}});
  for (const char* name : techniques) effect.techniques.push_back({name, {{"P0", {{22, 1}}, "vs", "fs"}}});
  return effect;
}

std::vector<std::uint8_t> bytes_of(const EffectFile& effect) {
  return render::encode_effect_file(effect).value();
}

// A shared slot's bytes in the pool.
template <class T>
T pool_value(const render::EffectPool& pool, int slot, std::size_t index = 0) {
  T value{};
  std::memcpy(&value, pool.bytes().data() + render::shared_param(slot)->offset + index * sizeof(T),
              sizeof(T));
  return value;
}

struct EffectSetTest : ::testing::Test {
  EffectSetTest() {
    devices.devices = {&first, &second};
    pools.create(devices);
  }
  gfx::RecordingDevice first;
  gfx::RecordingDevice second;
  render::RenderDevices devices;
  render::EffectPools pools;
};

TEST_F(EffectSetTest, MissingNamesGiveEmptyHandlesThatSetNothing) {
  EffectSet effect(devices, pools);
  ASSERT_TRUE(effect.load_bytes(bytes_of(technique_effect({"TE_PS11"})), "Plain"));
  effect.allocate_slots(4);
  effect.bind_parameter(0, "s_fGlow");
  effect.bind_parameter(1, "s_fMissing");
  effect.bind_technique(2, "TE_PS20");
  effect.bind_parameter(3, "TE_PS11");  // a technique's name is no parameter
  EXPECT_TRUE(effect.slot_bound(0));
  EXPECT_FALSE(effect.slot_bound(1));
  EXPECT_FALSE(effect.slot_bound(2));
  EXPECT_FALSE(effect.slot_bound(3));

  first.clear_calls();
  effect.set_float(1, 2.0f);
  effect.set_matrix(1, base::identity());
  effect.set_vector(2, {1, 2, 3});
  effect.set_texture(3, gfx::TextureHandle{9});
  effect.set_float(17, 1.0f);  // beyond the table
  effect.select_technique(2, true);
  EXPECT_TRUE(first.calls.empty());
  EXPECT_EQ(effect.technique_name(), "TE_PS11");

  effect.set_float(0, 2.0f);
  EXPECT_EQ(first.uniforms["s_fGlow"], std::vector<float>{2.0f});
}

TEST_F(EffectSetTest, ObjectEffectsPickTheirTechniqueByShaderLevel) {
  render_test::TempFolder folder;
  std::filesystem::create_directories(folder.path() / "Shader");
  render_test::write_bytes(folder.path() / "Shader/Plain.fxo",
                           bytes_of(technique_effect({"TE_LINE", "TE_PS00", "TE_PS11"})));
  render_test::write_bytes(folder.path() / "Shader/PlainBump.fxo",
                           bytes_of(technique_effect({"TE_LINE", "TE_PS14", "TE_PS20"})));
  struct Case {
    bool bump;
    int level;
    const char* technique;
  };
  const Case cases[] = {
      {false, 0, "TE_PS00"}, {false, 1, "TE_PS11"}, {false, 2, "TE_PS11"}, {false, 3, "TE_PS11"},
      {true, 0, "TE_PS14"},  {true, 1, "TE_PS14"},  {true, 2, "TE_PS14"},  {true, 3, "TE_PS20"},
  };
  for (const Case& c : cases) {
    EffectSet effect(devices, pools);
    // The extension is forced to fxo.
    ASSERT_TRUE(render::load_object_effect(effect, folder.path().string(), "Plain.fx", c.bump, c.level));
    EXPECT_EQ(effect.name(), c.bump ? "PlainBump" : "Plain");
    for (std::size_t device = 0; device < 2; ++device) {
      devices.current = device;
      EXPECT_EQ(effect.technique_name(), c.technique) << c.bump << " " << c.level << " device " << device;
    }
    devices.current = 0;
    EXPECT_EQ(effect.slot_bound(render::kObjBumpmapTexture), c.bump);
    EXPECT_TRUE(effect.slot_bound(render::kObjTechniqueLine));
  }
  EffectSet missing(devices, pools);
  EXPECT_FALSE(render::load_object_effect(missing, folder.path().string(), "Absent", false, 3));
  EXPECT_FALSE(missing.has_instance());
  EXPECT_EQ(missing.pass_count(), 0u);
  EXPECT_FALSE(missing.begin_pass(0));
}

TEST_F(EffectSetTest, ADeviceThatCannotBuildTheProgramsHasNoInstance) {
  second.fail_creation = true;
  EffectSet effect(devices, pools);
  EXPECT_TRUE(effect.load_bytes(bytes_of(technique_effect({"TE_PS11"})), "Plain"));
  EXPECT_TRUE(effect.has_instance(0));
  EXPECT_FALSE(effect.has_instance(1));
  devices.current = 1;
  EXPECT_FALSE(effect.has_instance());
}

TEST_F(EffectSetTest, SharedParametersLiveInEachDevicesPool) {
  EffectSet effect(devices, pools);
  ASSERT_TRUE(effect.load_bytes(bytes_of(technique_effect({"TE_PS11"})), "Plain"));
  render::EffectPool& pool = *pools.pool_for(&first);
  EXPECT_EQ(pool_value<float>(pool, render::kSlotDiffusePower), 0.25f) << "the file's default";
  effect.allocate_slots(2);
  effect.bind_parameter(0, "g_mSkinPalettes");
  effect.bind_parameter(1, "g_fDiffusePower");
  effect.set_float(1, 0.75f);
  EXPECT_EQ(pool_value<float>(pool, render::kSlotDiffusePower), 0.75f);
  EXPECT_EQ(pool_value<float>(*pools.pool_for(&second), render::kSlotDiffusePower), 0.25f);

  // The palette holds 20 matrices: more are dropped, and what follows the
  // palette in the block is left alone.
  std::vector<base::Matrix> palette(25, base::identity());
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i].m[3][0] = static_cast<float>(i + 1);
  effect.set_matrix_array(0, palette.data(), palette.size());
  EXPECT_EQ(pool_value<float>(pool, render::kSlotSkinPalettes, 19 * 16 + 12), 20.0f);
  EXPECT_EQ(pool_value<float>(pool, render::kSlotViewPosInModel), 0.0f);

  // A pass sends the block once and binds it with the water texture.
  first.clear_calls();
  ASSERT_TRUE(effect.begin_pass(0));
  EXPECT_EQ(first.count_calls("update_uniform_buffer"), 1);
  EXPECT_EQ(first.count_calls("set_uniform_buffer 0"), 1);
  EXPECT_EQ(first.count_calls("render_state 22 1"), 1);
  EXPECT_EQ(first.count_calls("set_texture 7"), 1);
  first.clear_calls();
  ASSERT_TRUE(effect.begin_pass(0));
  EXPECT_EQ(first.count_calls("update_uniform_buffer"), 0) << "nothing changed";
}

}  // namespace
