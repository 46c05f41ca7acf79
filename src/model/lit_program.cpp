#include "model/lit_program.h"

#include <array>
#include <string>

#include "model/mesh_texture.h"

namespace model {

namespace {

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 3) in vec3 a_normal;
layout(location = 5) in vec4 a_diffuse;
layout(location = 7) in vec2 a_texcoord;
uniform mat4 u_world;
uniform mat4 u_view_projection;
out vec3 v_normal;
out vec2 v_texcoord;
out vec4 v_colour;
void main() {
  vec4 world = vec4(a_position, 1.0) * u_world;
  gl_Position = world * u_view_projection;
  v_normal = (vec4(a_normal, 0.0) * u_world).xyz;
  v_texcoord = a_texcoord;
  v_colour = a_diffuse;
}
)";

constexpr const char* kFragmentHead = R"(#version 330 core
)";

constexpr const char* kFragmentBody = R"(
in vec3 v_normal;
in vec2 v_texcoord;
in vec4 v_colour;
out vec4 o_colour;
uniform vec4 u_light_direction;
uniform vec4 u_light_diffuse;
uniform vec4 u_light_ambient;
uniform vec4 u_material[4];  // diffuse, ambient, specular, emissive
uniform int u_textured;
uniform int u_vertex_colour;
uniform sampler2D gfx_stage0;
void main() {
  if (u_vertex_colour != 0) {
    gfx_alpha_test(v_colour.a);
    o_colour = v_colour;
    return;
  }
  // Geometry without normals is lit as if it faced the light.
  float n_length = length(v_normal);
  float l_length = length(u_light_direction.xyz);
  float lambert = 1.0;
  if (n_length > 1e-6 && l_length > 1e-6)
    lambert = max(dot(v_normal / n_length, -u_light_direction.xyz / l_length), 0.0);
  vec3 colour = u_material[3].rgb + u_material[1].rgb * u_light_ambient.rgb +
                u_material[0].rgb * u_light_diffuse.rgb * lambert;
  vec4 result = vec4(colour, u_material[0].a);
  if (u_textured != 0) result *= texture(gfx_stage0, v_texcoord);
  gfx_alpha_test(result.a);
  o_colour = result;
}
)";

}  // namespace

LitProgram::LitProgram(gfx::Device& device) : device_(device) {
  const std::string fragment = std::string(kFragmentHead) + gfx::kAlphaTestGlsl + kFragmentBody;
  program_ = device_.create_program(kVertexShader, fragment, &error_);
  if (!program_) return;
  world_ = device_.find_uniform(program_, "u_world");
  view_projection_ = device_.find_uniform(program_, "u_view_projection");
  light_direction_ = device_.find_uniform(program_, "u_light_direction");
  light_diffuse_ = device_.find_uniform(program_, "u_light_diffuse");
  light_ambient_ = device_.find_uniform(program_, "u_light_ambient");
  material_ = device_.find_uniform(program_, "u_material");
  textured_ = device_.find_uniform(program_, "u_textured");
  vertex_colour_ = device_.find_uniform(program_, "u_vertex_colour");
  set_transforms(base::identity(), base::identity(), base::identity());
  set_light(base::Vec3{0.0f, -1.0f, 0.0f}, base::Vec4{1, 1, 1, 1}, base::Vec4{0, 0, 0, 1});
}

LitProgram::~LitProgram() {
  device_.release_vertex_buffer(line_vertices_);
  device_.release_index_buffer(line_indices_);
  device_.release_program(program_);
}

void LitProgram::use() { device_.set_program(program_); }

void LitProgram::set_transforms(const base::Matrix& world, const base::Matrix& view,
                                const base::Matrix& projection) {
  set_world(world);
  const base::Matrix view_projection = view * projection * base::gl_depth_remap();
  device_.set_uniform(view_projection_, std::span(&view_projection, 1));
}

void LitProgram::set_world(const base::Matrix& world) { device_.set_uniform(world_, std::span(&world, 1)); }

void LitProgram::set_light(const base::Vec3& direction, const base::Vec4& diffuse, const base::Vec4& ambient) {
  const base::Vec4 towards{direction.x, direction.y, direction.z, 0.0f};
  device_.set_uniform(light_direction_, std::span(&towards, 1));
  device_.set_uniform(light_diffuse_, std::span(&diffuse, 1));
  device_.set_uniform(light_ambient_, std::span(&ambient, 1));
}

void LitProgram::apply_material(gfx::Device& device, const Material& material) {
  const std::array<base::Vec4, 4> colours = {material.diffuse, material.ambient, material.specular,
                                             material.emissive};
  device.set_uniform(material_, std::span<const base::Vec4>(colours));
  const std::int32_t textured = material.texture && material.texture->has_picture() ? 1 : 0;
  device.set_uniform(textured_, std::span(&textured, 1));
}

void LitProgram::draw_lines(std::span<const LineVertex> vertices, std::span<const std::uint16_t> indices) {
  if (vertices.size() < 2 || vertices.size() > 0x10000) return;
  const auto vertex_bytes = static_cast<std::uint32_t>(vertices.size_bytes());
  if (vertex_bytes > line_vertex_bytes_) {
    device_.release_vertex_buffer(line_vertices_);
    line_vertices_ = device_.create_vertex_buffer(vertex_bytes);
    line_vertex_bytes_ = line_vertices_ ? vertex_bytes : 0;
  }
  if (!line_vertices_) return;
  device_.update_vertex_buffer(line_vertices_, 0,
                               std::span(reinterpret_cast<const std::uint8_t*>(vertices.data()), vertex_bytes));
  device_.set_vertex_format(kLineVertexFormat);
  device_.set_vertex_buffer(line_vertices_);
  const std::int32_t on = 1;
  const std::int32_t off = 0;
  device_.set_uniform(vertex_colour_, std::span(&on, 1));
  if (indices.empty()) {
    device_.draw(gfx::PrimitiveType::LineList, 0, static_cast<std::uint32_t>(vertices.size() / 2));
  } else {
    const auto index_bytes = static_cast<std::uint32_t>(indices.size_bytes());
    if (index_bytes > line_index_bytes_) {
      device_.release_index_buffer(line_indices_);
      line_indices_ = device_.create_index_buffer(index_bytes);
      line_index_bytes_ = line_indices_ ? index_bytes : 0;
    }
    if (line_indices_) {
      device_.update_index_buffer(line_indices_, 0,
                                  std::span(reinterpret_cast<const std::uint8_t*>(indices.data()), index_bytes));
      device_.set_index_buffer(line_indices_);
      device_.draw_indexed(gfx::PrimitiveType::LineList, 0, 0, static_cast<std::uint32_t>(indices.size() / 2));
    }
  }
  device_.set_uniform(vertex_colour_, std::span(&off, 1));
}

}  // namespace model
