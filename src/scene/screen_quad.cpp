#include "scene/screen_quad.h"

#include <cstring>
#include <span>

#include "platform/vertex_format.h"

namespace scene {
namespace {

constexpr std::uint32_t kScreenFvf = gfx::fvf::kXyzRhw | gfx::fvf::kDiffuse;
static_assert(sizeof(ScreenVertex) == 20);

constexpr const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec4 in_position;
layout(location = 5) in vec4 in_colour;
uniform vec4 u_viewport_size;  // width, height
out vec4 v_colour;
void main() {
  vec2 ndc = vec2(in_position.x / u_viewport_size.x * 2.0 - 1.0, 1.0 - in_position.y / u_viewport_size.y * 2.0);
  gl_Position = vec4(ndc, in_position.z * 2.0 - 1.0, 1.0);
  v_colour = in_colour;
}
)";

constexpr const char* kFragmentSource = R"(#version 330 core
in vec4 v_colour;
out vec4 frag_colour;
void main() { frag_colour = v_colour; }
)";

}  // namespace

ScreenQuads::ScreenQuads(gfx::Device& device) : device_(device) {
  std::string error;
  program_ = device_.create_program(kVertexSource, kFragmentSource, &error);
  if (program_) viewport_size_ = device_.find_uniform(program_, "u_viewport_size");
  buffer_ = device_.create_vertex_buffer(4 * sizeof(ScreenVertex));
}

ScreenQuads::~ScreenQuads() {
  if (buffer_) device_.release_vertex_buffer(buffer_);
  if (program_) device_.release_program(program_);
}

void ScreenQuads::draw(const std::array<ScreenVertex, 4>& corners) {
  if (!ok()) return;
  std::array<std::uint8_t, 4 * sizeof(ScreenVertex)> bytes{};
  std::memcpy(bytes.data(), corners.data(), bytes.size());
  device_.update_vertex_buffer(buffer_, 0, bytes);
  const gfx::Viewport viewport = device_.viewport();
  const base::Vec4 size{static_cast<float>(viewport.width > 0 ? viewport.width : 1),
                        static_cast<float>(viewport.height > 0 ? viewport.height : 1), 0.0f, 0.0f};
  device_.set_program(program_);
  device_.set_uniform(viewport_size_, std::span<const base::Vec4>(&size, 1));
  const std::uint32_t z_enable = device_.render_state(gfx::RenderState::ZEnable);
  const std::uint32_t z_write = device_.render_state(gfx::RenderState::ZWriteEnable);
  const std::uint32_t cull = device_.render_state(gfx::RenderState::CullMode);
  device_.set_render_state(gfx::RenderState::ZEnable, 0);
  device_.set_render_state(gfx::RenderState::ZWriteEnable, 0);
  device_.set_render_state(gfx::RenderState::CullMode, gfx::kCullNone);
  device_.set_vertex_format(kScreenFvf);
  device_.set_vertex_buffer(buffer_);
  device_.draw(gfx::PrimitiveType::TriangleFan, 0, 2);
  device_.set_render_state(gfx::RenderState::ZEnable, z_enable);
  device_.set_render_state(gfx::RenderState::ZWriteEnable, z_write);
  device_.set_render_state(gfx::RenderState::CullMode, cull);
}

void ScreenQuads::fill(std::uint32_t colour) {
  const gfx::Viewport viewport = device_.viewport();
  const float w = static_cast<float>(viewport.width);
  const float h = static_cast<float>(viewport.height);
  const std::uint32_t blend = device_.render_state(gfx::RenderState::AlphaBlendEnable);
  const std::uint32_t src = device_.render_state(gfx::RenderState::SrcBlend);
  const std::uint32_t dest = device_.render_state(gfx::RenderState::DestBlend);
  device_.set_render_state(gfx::RenderState::AlphaBlendEnable, 1);
  device_.set_render_state(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
  device_.set_render_state(gfx::RenderState::DestBlend, gfx::kBlendInvSrcAlpha);
  draw({ScreenVertex{0, 0, 0, 1, colour}, ScreenVertex{w, 0, 0, 1, colour}, ScreenVertex{w, h, 0, 1, colour},
        ScreenVertex{0, h, 0, 1, colour}});
  device_.set_render_state(gfx::RenderState::AlphaBlendEnable, blend);
  device_.set_render_state(gfx::RenderState::SrcBlend, src);
  device_.set_render_state(gfx::RenderState::DestBlend, dest);
}

}  // namespace scene
