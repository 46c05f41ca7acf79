#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/vector.h"
#include "model/material.h"
#include "model/mesh_node.h"

namespace model {

// Builds one node's geometry in code: vertices of a format, triangles
// grouped into subsets with a material each. The finished node has
// everything a loaded one has: box, centre and radius, subsets with their
// vertex ranges, face attributes, subset boxes and a draw order.
class GeometryBuilder {
 public:
  // A format with a position; normal, diffuse colour and texture set 0 are
  // written where the format has them.
  explicit GeometryBuilder(std::uint32_t fvf);

  // Triangles added from now on belong to a new subset drawn with material.
  void begin_subset(const Material& material);
  std::uint32_t add_vertex(const base::Vec3& position, const base::Vec3& normal = {}, const base::Vec2& uv = {},
                           std::uint32_t colour = 0xFFFFFFFF);
  // Clockwise as seen from the side that faces the viewer.
  void add_triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c);
  std::uint32_t vertex_count() const { return vertex_count_; }

  // The node; nullptr when there are more than 65536 vertices or a
  // triangle came before the first subset.
  std::unique_ptr<MeshNode> build(std::string name) const;

 private:
  struct Part {
    Material material;
    std::uint32_t first_index = 0;
  };
  std::uint32_t fvf_;
  std::uint32_t stride_ = 0;
  int normal_offset_ = -1;
  int diffuse_offset_ = -1;
  int uv_offset_ = -1;
  std::uint32_t vertex_count_ = 0;
  std::vector<std::uint8_t> vertices_;
  std::vector<std::uint16_t> indices_;
  std::vector<Part> parts_;
  bool valid_ = true;
};

// A box centred on the origin with half extents `half`: 24 vertices (four
// per side, normals pointing out, texture coordinates 0..1 with v = 0 at
// the top of each side) and 12 triangles in one subset.
std::unique_ptr<MeshNode> make_box(const base::Vec3& half, const Material& material, std::string name);

// A UV sphere of `rings` x `segments` quads.
std::unique_ptr<MeshNode> make_sphere(float radius, int rings, int segments, const Material& material,
                                      std::string name);

// A lit, opaque material of one colour (r, g, b, a in x, y, z, w), culling
// back faces.
Material plain_material(const base::Vec4& colour);

}  // namespace model
