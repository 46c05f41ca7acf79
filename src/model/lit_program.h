#pragma once

#include <cstdint>
#include <string>

#include "base/matrix.h"
#include "base/vector.h"
#include "model/debug_lines.h"
#include "model/mesh_node.h"
#include "platform/gfx_device.h"

namespace model {

// The built-in program meshes draw with: one directional light, the
// material's emissive, ambient and diffuse colours, the stage-0 texture
// when the material has one, and the alpha test. It also draws debug lines
// in their vertex colours. One per device.
class LitProgram final : public MaterialBinder, public LineSink {
 public:
  explicit LitProgram(gfx::Device& device);
  ~LitProgram() override;
  LitProgram(const LitProgram&) = delete;
  LitProgram& operator=(const LitProgram&) = delete;

  // Whether the program compiled; the compiler's log otherwise.
  bool ok() const { return static_cast<bool>(program_); }
  const std::string& error() const { return error_; }

  // Makes the program current.
  void use();
  // The projection is the usual depth-0-to-1 one; the program adds the
  // remap to GL's depth range itself.
  void set_transforms(const base::Matrix& world, const base::Matrix& view, const base::Matrix& projection);
  void set_world(const base::Matrix& world);
  // direction: where the light travels; colours r, g, b, a in x, y, z, w.
  void set_light(const base::Vec3& direction, const base::Vec4& diffuse, const base::Vec4& ambient);

  void apply_material(gfx::Device& device, const Material& material) override;
  void draw_lines(std::span<const LineVertex> vertices, std::span<const std::uint16_t> indices) override;

 private:
  gfx::Device& device_;
  std::string error_;
  gfx::ProgramHandle program_;
  gfx::UniformHandle world_;
  gfx::UniformHandle view_projection_;
  gfx::UniformHandle light_direction_;
  gfx::UniformHandle light_diffuse_;
  gfx::UniformHandle light_ambient_;
  gfx::UniformHandle material_;
  gfx::UniformHandle textured_;
  gfx::UniformHandle vertex_colour_;
  gfx::VertexBufferHandle line_vertices_;
  std::uint32_t line_vertex_bytes_ = 0;
  gfx::IndexBufferHandle line_indices_;
  std::uint32_t line_index_bytes_ = 0;
};

}  // namespace model
