#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "platform/gfx_device.h"
#include "platform/message_queue.h"
#include "platform/vertex_format.h"
#include "platform/window_system.h"
#include "support/gl_window.h"

namespace {

constexpr std::uint32_t kFormat = gfx::fvf::kXyz | gfx::fvf::kDiffuse | gfx::fvf::tex_count(1);

struct Vertex {
  float x, y, z;
  std::uint32_t colour;  // 0xAARRGGBB
  float u, v;
};
static_assert(sizeof(Vertex) == 24);

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 5) in vec4 a_diffuse;
layout(location = 7) in vec2 a_uv;
uniform mat4 u_transform;
out vec4 v_colour;
out vec2 v_uv;
void main() {
  gl_Position = vec4(a_position, 1.0) * u_transform;
  v_colour = a_diffuse;
  v_uv = a_uv;
}
)";

std::string fragment_shader() {
  return std::string("#version 330 core\n") + gfx::kAlphaTestGlsl + R"(
in vec4 v_colour;
in vec2 v_uv;
out vec4 o_colour;
uniform int u_textured;
uniform sampler2D gfx_stage0;
void main() {
  vec4 c = v_colour;
  if (u_textured != 0) c *= texture(gfx_stage0, v_uv);
  gfx_alpha_test(c.a);
  o_colour = c;
}
)";
}

// A rectangle from (left, top) to (right, bottom) in clip coordinates at
// depth z, as two triangles that are clockwise on screen (or
// counter-clockwise when flipped). Texture coordinates run 0..1 with v = 0
// at the top.
std::vector<Vertex> rectangle(float left, float top, float right, float bottom, float z, std::uint32_t colour,
                              bool flipped = false) {
  const Vertex tl{left, top, z, colour, 0, 0}, tr{right, top, z, colour, 1, 0};
  const Vertex br{right, bottom, z, colour, 1, 1}, bl{left, bottom, z, colour, 0, 1};
  if (flipped) return {tl, br, tr, tl, bl, br};
  return {tl, tr, br, tl, br, bl};
}

class GlDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl_.open(160, 120, &error, "gl draw test")) << error;
    program_ = device_->create_program(kVertexShader, fragment_shader(), &error);
    ASSERT_TRUE(program_) << error;
    device_->set_program(program_);
    set_transform(base::identity());
    textured_ = device_->find_uniform(program_, "u_textured");
    ASSERT_TRUE(textured_);
    buffer_ = device_->create_vertex_buffer(64 * sizeof(Vertex));
    ASSERT_TRUE(buffer_);
    device_->set_vertex_format(kFormat);
    device_->set_vertex_buffer(buffer_);
    device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000, 1.0f, 0);
  }

  void set_transform(const base::Matrix& m) {
    const gfx::UniformHandle transform = device_->find_uniform(program_, "u_transform");
    device_->set_uniform(transform, std::span(&m, 1));
  }

  void draw(const std::vector<Vertex>& vertices) {
    ASSERT_TRUE(device_->update_vertex_buffer(
        buffer_, 0,
        std::span(reinterpret_cast<const std::uint8_t*>(vertices.data()), vertices.size() * sizeof(Vertex))));
    device_->draw(gfx::PrimitiveType::TriangleList, 0, static_cast<std::uint32_t>(vertices.size() / 3));
  }

  std::uint32_t pixel(int x, int y) { return device_->read_back().pixel(x, y); }

  test_support::GlWindow gl_;
  std::unique_ptr<gfx::Device>& device_ = gl_.device;
  gfx::ProgramHandle program_;
  gfx::UniformHandle textured_;
  gfx::VertexBufferHandle buffer_;
};

TEST_F(GlDrawTest, ClockwiseTrianglesFaceTheViewer) {
  struct Case {
    std::uint32_t cull;
    bool flipped;
    bool drawn;
  };
  const Case cases[] = {{gfx::kCullCounterClockwise, false, true},
                        {gfx::kCullCounterClockwise, true, false},
                        {gfx::kCullClockwise, false, false},
                        {gfx::kCullClockwise, true, true},
                        {gfx::kCullNone, false, true},
                        {gfx::kCullNone, true, true}};
  EXPECT_EQ(device_->render_state(gfx::RenderState::CullMode), gfx::kCullCounterClockwise);
  for (const Case& c : cases) {
    device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000, 1.0f, 0);
    device_->set_render_state(gfx::RenderState::CullMode, c.cull);
    draw(rectangle(-0.5f, 0.5f, 0.5f, -0.5f, 0.5f, 0xFFFF0000, c.flipped));
    EXPECT_EQ(pixel(80, 60), c.drawn ? 0xFFFF0000u : 0xFF000000u)
        << "cull " << c.cull << " flipped " << c.flipped;
  }
}

TEST_F(GlDrawTest, MatricesReachTheShaderAsRowVectorMatrices) {
  // A square on the left, moved right by a translation in the fourth row.
  set_transform(base::translation(1.0f, 0.0f, 0.0f));
  draw(rectangle(-0.75f, 0.25f, -0.25f, -0.25f, 0.5f, 0xFF00FF00));
  EXPECT_EQ(pixel(40, 60), 0xFF000000u);
  EXPECT_EQ(pixel(120, 60), 0xFF00FF00u);
  // y up in clip space is the top of the picture.
  set_transform(base::translation(0.0f, 0.5f, 0.0f));
  draw(rectangle(-0.25f, 0.25f, 0.25f, -0.25f, 0.5f, 0xFF0000FF));
  EXPECT_EQ(pixel(80, 30), 0xFF0000FFu);
  EXPECT_EQ(pixel(80, 90), 0xFF000000u);
}

TEST_F(GlDrawTest, TexturesHaveTheirFirstRowAtTheTop) {
  // 4 x 4 texels in four 2 x 2 blocks: red, green / blue, white, given as
  // B, G, R, A bytes.
  std::vector<std::uint8_t> bgra(4 * 4 * 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
      const std::uint32_t c = colours[(y / 2) * 2 + x / 2];
      std::memcpy(bgra.data() + (y * 4 + x) * 4, &c, 4);
    }
  }
  const gfx::TextureHandle texture =
      device_->create_texture(gfx::TextureDesc{4, 4, 1}, gfx::PixelOrder::Bgra, bgra);
  ASSERT_TRUE(texture);
  device_->set_texture(0, texture);
  const std::int32_t on = 1;
  device_->set_uniform(textured_, std::span(&on, 1));
  draw(rectangle(-1, 1, 1, -1, 0.5f, 0xFFFFFFFF));
  EXPECT_EQ(pixel(30, 20), 0xFFFF0000u);
  EXPECT_EQ(pixel(130, 20), 0xFF00FF00u);
  EXPECT_EQ(pixel(30, 100), 0xFF0000FFu);
  EXPECT_EQ(pixel(130, 100), 0xFFFFFFFFu);

  // Replacing a block of level 0 in R, G, B, A order.
  const std::vector<std::uint8_t> yellow(2 * 2 * 4, 0xFF);
  std::vector<std::uint8_t> rgba = yellow;
  for (std::size_t i = 2; i < rgba.size(); i += 4) rgba[i] = 0;
  ASSERT_TRUE(device_->update_texture(texture, 0, 2, 2, 2, 2, gfx::PixelOrder::Rgba, rgba));
  EXPECT_FALSE(device_->update_texture(texture, 0, 3, 3, 2, 2, gfx::PixelOrder::Rgba, rgba)) << "outside";
  draw(rectangle(-1, 1, 1, -1, 0.5f, 0xFFFFFFFF));
  EXPECT_EQ(pixel(130, 100), 0xFFFFFF00u);
  device_->release_texture(texture);
}

TEST_F(GlDrawTest, BlendingAlphaTestAndDepthFollowTheRenderStates) {
  device_->clear(gfx::kClearTarget, 0xFF0000FF, 1.0f, 0);
  device_->set_render_state(gfx::RenderState::AlphaBlendEnable, 1);
  device_->set_render_state(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
  device_->set_render_state(gfx::RenderState::DestBlend, gfx::kBlendInvSrcAlpha);
  draw(rectangle(-1, 1, 1, -1, 0.5f, 0x80FF0000));
  const std::uint32_t mixed = pixel(80, 60);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 128, 2);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 2);
  device_->set_render_state(gfx::RenderState::AlphaBlendEnable, 0);

  // Alpha test: only alpha above 128 passes.
  device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000, 1.0f, 0);
  device_->set_render_state(gfx::RenderState::AlphaTestEnable, 1);
  device_->set_render_state(gfx::RenderState::AlphaFunc, gfx::kCompareGreater);
  device_->set_render_state(gfx::RenderState::AlphaRef, 128);
  draw(rectangle(-1, 1, 0, -1, 0.5f, 0x60FF0000));
  draw(rectangle(0, 1, 1, -1, 0.5f, 0xC000FF00));
  EXPECT_EQ(pixel(40, 60) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(pixel(120, 60) & 0xFFFFFF, 0x00FF00u);
  device_->set_render_state(gfx::RenderState::AlphaTestEnable, 0);

  // Depth: the nearer square wins whatever the order, unless z is off.
  device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000, 1.0f, 0);
  draw(rectangle(-1, 1, 1, -1, 0.2f, 0xFFFF0000));
  draw(rectangle(-1, 1, 1, -1, 0.6f, 0xFF00FF00));
  EXPECT_EQ(pixel(80, 60), 0xFFFF0000u);
  device_->set_render_state(gfx::RenderState::ZEnable, 0);
  draw(rectangle(-1, 1, 1, -1, 0.6f, 0xFF00FF00));
  EXPECT_EQ(pixel(80, 60), 0xFF00FF00u);
}

TEST_F(GlDrawTest, IndexedDrawsAddTheBaseVertex) {
  std::vector<Vertex> vertices = rectangle(-1, 1, 0, -1, 0.5f, 0xFFFF0000);
  const std::vector<Vertex> right = rectangle(0, 1, 1, -1, 0.5f, 0xFF00FF00);
  vertices.insert(vertices.end(), right.begin(), right.end());
  ASSERT_TRUE(device_->update_vertex_buffer(
      buffer_, 0,
      std::span(reinterpret_cast<const std::uint8_t*>(vertices.data()), vertices.size() * sizeof(Vertex))));
  const std::uint16_t indices[] = {0, 0, 0, 0, 1, 2, 3, 4, 5};
  const gfx::IndexBufferHandle index_buffer = device_->create_index_buffer(sizeof indices);
  ASSERT_TRUE(index_buffer);
  ASSERT_TRUE(device_->update_index_buffer(
      index_buffer, 0, std::span(reinterpret_cast<const std::uint8_t*>(indices), sizeof indices)));
  EXPECT_FALSE(device_->update_index_buffer(
      index_buffer, 10, std::span(reinterpret_cast<const std::uint8_t*>(indices), sizeof indices)));
  device_->set_index_buffer(index_buffer);
  // Indices 3..8 with base vertex 6: the right-hand square only.
  device_->draw_indexed(gfx::PrimitiveType::TriangleList, 6, 3, 2);
  EXPECT_EQ(pixel(40, 60), 0xFF000000u);
  EXPECT_EQ(pixel(120, 60), 0xFF00FF00u);
  device_->release_index_buffer(index_buffer);
}

TEST_F(GlDrawTest, ShaderErrorsAreReportedAsText) {
  std::string error;
  const gfx::ProgramHandle broken = device_->create_program(
      kVertexShader, "#version 330 core\nvoid main() { undefined_thing = 1; }\n", &error);
  EXPECT_FALSE(broken);
  EXPECT_NE(error.find("fragment"), std::string::npos) << error;
  EXPECT_FALSE(device_->find_uniform(program_, "no_such_uniform"));
  const float value = 1.0f;
  device_->set_uniform(gfx::UniformHandle{}, std::span(&value, 1));  // does nothing
}

}  // namespace
