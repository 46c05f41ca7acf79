// The shared block's layout on a real driver: values written at the offsets
// the pool uses come out of the GLSL declaration under the right names.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vertex_format.h"
#include "render/effect_set.h"
#include "render/shared_params.h"
#include "support/gl_window.h"

namespace {

// Draws one triangle over the whole view whose red channel is the probed
// shared value.
render::EffectFile probe_effect() {
  std::string vertex = "#version 330 core\n";
  vertex += render::kSharedBlockGlsl;
  vertex += R"(
layout(location = 0) in vec3 in_position;
void main() { gl_Position = vec4(in_position, 1.0); }
)";
  std::string fragment = "#version 330 core\n";
  fragment += render::kSharedBlockGlsl;
  fragment += R"(
uniform int probe;
out vec4 colour;
void main() {
  float v = 0.0;
  if (probe == 0) v = g_mSkinPalettes[19][0][3];  // row 3, column 0
  else if (probe == 1) v = g_mViewPosInModel.x;
  else if (probe == 2) v = g_vWaterSParam.w;
  else if (probe == 3) v = float(g_iSkinBones) * 0.1;
  else if (probe == 4) v = g_fDiffusePower;
  else if (probe == 5) v = g_fLightInvRange;
  else if (probe == 6) v = g_fWaterSMapUV;
  else if (probe == 7) v = g_mModelBlend[1][2];  // row 2, column 1
  else if (probe == 8) v = g_vFogViewPos.y;
  colour = vec4(v, 0.0, 0.0, 1.0);
}
)";
  render::EffectFile effect;
  effect.parameters.push_back({"probe", render::EffectParamType::Int, false, 1, 0, {0}});
  for (int slot = 0; slot < render::kSharedSlotCount; ++slot) {
    const render::SharedParamInfo* info = render::shared_param(slot);
    if (info == nullptr || info->type == render::EffectParamType::Texture) continue;
    effect.parameters.push_back(
        {info->name, info->type, true, info->elements, 0,
         std::vector<float>(render::effect_param_components(info->type) * info->elements)});
  }
  effect.techniques.push_back({"T", {{"P", {}, vertex, fragment}}});
  return effect;
}

TEST(SharedBlockGl, EverySharedValueReachesTheShadersUnderItsName) {
  test_support::GlWindow gl;
  std::string error;
  ASSERT_TRUE(gl.open(8, 8, &error, "shared block test")) << error;
  render::RenderDevices devices{{gl.device.get()}};
  render::EffectPools pools;
  pools.create(devices);
  render::EffectSet effect(devices, pools);
  ASSERT_TRUE(effect.load_bytes(render::encode_effect_file(probe_effect()).value(), "Probe"))
      << effect.error();
  effect.allocate_slots(render::kSharedSlotCount + 1);
  for (int slot = 0; slot < render::kSharedSlotCount; ++slot) {
    if (const auto* info = render::shared_param(slot))
      effect.bind_parameter(static_cast<std::size_t>(slot), info->name);
  }
  const std::size_t probe = render::kSharedSlotCount;
  effect.bind_parameter(probe, "probe");

  std::vector<base::Matrix> palette(20, base::identity());
  palette[19].m[3][0] = 0.2f;
  effect.set_matrix_array(render::kSlotSkinPalettes, palette.data(), palette.size());
  effect.set_vector(render::kSlotViewPosInModel, {0.3f, 0.9f, 0.9f});
  effect.set_vector4(render::kSlotWaterSParam, {0.9f, 0.9f, 0.9f, 0.4f});
  effect.set_int(render::kSlotSkinBones, 3);
  effect.set_float(render::kSlotDiffusePower, 0.5f);
  effect.set_float(render::kSlotLightInvRange, 0.6f);
  effect.set_float(render::kSlotWaterSMapUV, 0.7f);
  base::Matrix blend = base::identity();
  blend.m[2][1] = 0.8f;
  effect.set_matrix(render::kSlotModelBlend, blend);
  effect.set_vector(render::kSlotFogViewPos, {0.9f, 0.45f, 0.9f});

  const float triangle[9] = {-1, -1, 0, 3, -1, 0, -1, 3, 0};
  const gfx::VertexBufferHandle vertices = gl.device->create_vertex_buffer(sizeof triangle);
  std::uint8_t bytes[sizeof triangle];
  std::memcpy(bytes, triangle, sizeof triangle);
  ASSERT_TRUE(gl.device->update_vertex_buffer(vertices, 0, bytes));
  gl.device->set_vertex_format(gfx::fvf::kXyz);
  gl.device->set_vertex_buffer(vertices);
  gl.device->set_render_state(gfx::RenderState::CullMode, gfx::kCullNone);

  const float expected[] = {0.2f, 0.3f, 0.4f, 0.3f, 0.5f, 0.6f, 0.7f, 0.8f, 0.45f};
  for (int i = 0; i < 9; ++i) {
    effect.set_int(probe, i);
    gl.device->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF0000FF, 1.0f, 0);
    ASSERT_TRUE(effect.begin_pass(0));
    gl.device->draw(gfx::PrimitiveType::TriangleList, 0, 1);
    const std::uint32_t pixel = gl.device->read_back().pixel(4, 4);
    EXPECT_EQ(pixel & 0xFF, 0u) << "probe " << i << " drew";
    EXPECT_NEAR(static_cast<float>((pixel >> 16) & 0xFF), expected[i] * 255.0f, 1.5f) << "probe " << i;
  }
  gl.device->release_vertex_buffer(vertices);
}

}  // namespace
