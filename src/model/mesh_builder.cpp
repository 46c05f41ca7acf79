#include "model/mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/vertex_format.h"

namespace model {

GeometryBuilder::GeometryBuilder(std::uint32_t fvf) : fvf_(fvf) {
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(fvf);
  if (!layout || layout->position_floats < 3) {
    valid_ = false;
    return;
  }
  stride_ = layout->stride;
  normal_offset_ = layout->normal_offset;
  diffuse_offset_ = layout->diffuse_offset;
  if (layout->texture_sets > 0 && layout->texture_floats[0] >= 2) uv_offset_ = layout->texture_offset[0];
}

void GeometryBuilder::begin_subset(const Material& material) {
  parts_.push_back(Part{material, static_cast<std::uint32_t>(indices_.size())});
}

std::uint32_t GeometryBuilder::add_vertex(const base::Vec3& position, const base::Vec3& normal, const base::Vec2& uv,
                                          std::uint32_t colour) {
  const std::size_t at = vertices_.size();
  vertices_.resize(at + stride_, 0);
  std::uint8_t* vertex = vertices_.data() + at;
  std::memcpy(vertex, &position, 12);
  if (normal_offset_ >= 0) std::memcpy(vertex + normal_offset_, &normal, 12);
  if (diffuse_offset_ >= 0) std::memcpy(vertex + diffuse_offset_, &colour, 4);
  if (uv_offset_ >= 0) std::memcpy(vertex + uv_offset_, &uv, 8);
  return vertex_count_++;
}

void GeometryBuilder::add_triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  if (parts_.empty() || a > 0xFFFF || b > 0xFFFF || c > 0xFFFF) valid_ = false;
  indices_.push_back(static_cast<std::uint16_t>(a));
  indices_.push_back(static_cast<std::uint16_t>(b));
  indices_.push_back(static_cast<std::uint16_t>(c));
}

std::unique_ptr<MeshNode> GeometryBuilder::build(std::string name) const {
  if (!valid_ || vertex_count_ > 0x10000) return nullptr;
  auto node = std::make_unique<MeshNode>();
  node->name = std::move(name);
  node->has_geometry = true;
  node->fvf = fvf_;
  node->vertex_size = stride_;
  node->vertex_count = vertex_count_;
  node->index_count = static_cast<std::uint32_t>(indices_.size());
  node->vertices.assign(vertices_);
  std::vector<std::uint8_t> index_bytes(indices_.size() * 2);
  for (std::size_t i = 0; i < indices_.size(); ++i) {
    index_bytes[i * 2] = static_cast<std::uint8_t>(indices_[i]);
    index_bytes[i * 2 + 1] = static_cast<std::uint8_t>(indices_[i] >> 8);
  }
  node->indices.assign(std::move(index_bytes));
  node->box = box_of_points(vertices_.data(), stride_, vertex_count_);
  node->center = (node->box.min + node->box.max) * 0.5f;
  for (std::uint32_t v = 0; v < vertex_count_; ++v)
    node->radius = std::max(node->radius, base::length(node->position(v) - node->center));

  node->has_subsets = true;
  node->has_materials = true;
  std::vector<std::uint32_t> attributes(indices_.size() / 3);
  std::vector<Box> boxes;
  for (std::size_t p = 0; p < parts_.size(); ++p) {
    const std::uint32_t end = p + 1 < parts_.size() ? parts_[p + 1].first_index : node->index_count;
    Subset subset;
    subset.material = static_cast<std::uint32_t>(p);
    subset.first_index = parts_[p].first_index;
    subset.triangle_count = (end - subset.first_index) / 3;
    std::uint32_t low = 0xFFFFFFFF;
    std::uint32_t high = 0;
    Box box;
    for (std::uint32_t i = subset.first_index; i < end; ++i) {
      const std::uint32_t v = indices_[i];
      low = std::min(low, v);
      high = std::max(high, v);
      const base::Vec3 position = node->position(v);
      box.min = i == subset.first_index ? position : base::minimize(box.min, position);
      box.max = i == subset.first_index ? position : base::maximize(box.max, position);
    }
    if (subset.triangle_count > 0) {
      subset.first_vertex = low;
      subset.vertex_count = high - low + 1;
    }
    for (std::uint32_t t = subset.first_index / 3; t < end / 3; ++t) attributes[t] = static_cast<std::uint32_t>(p);
    node->subsets.push_back(subset);
    node->materials.push_back(parts_[p].material);
    boxes.push_back(box);
  }
  node->face_attributes = std::move(attributes);
  node->subset_boxes = std::move(boxes);
  node->compute_draw_order();
  node->draw_order_stored = true;
  return node;
}

std::unique_ptr<MeshNode> make_box(const base::Vec3& half, const Material& material, std::string name) {
  GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(material);
  struct Side {
    base::Vec3 normal;
    base::Vec3 up;  // the side's top, seen from outside
  };
  static constexpr Side kSides[6] = {{{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}},
                                     {{0, -1, 0}, {0, 0, -1}}, {{0, 0, 1}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}}};
  auto scaled = [&](const base::Vec3& v) { return base::Vec3{v.x * half.x, v.y * half.y, v.z * half.z}; };
  for (const Side& side : kSides) {
    // Looking at the side from outside, right = normal x up.
    const base::Vec3 right = base::cross(side.normal, side.up);
    const base::Vec3 centre = scaled(side.normal);
    const base::Vec3 r = scaled(right);
    const base::Vec3 u = scaled(side.up);
    const std::uint32_t top_left = builder.add_vertex(centre - r + u, side.normal, {0, 0});
    const std::uint32_t top_right = builder.add_vertex(centre + r + u, side.normal, {1, 0});
    const std::uint32_t bottom_right = builder.add_vertex(centre + r - u, side.normal, {1, 1});
    const std::uint32_t bottom_left = builder.add_vertex(centre - r - u, side.normal, {0, 1});
    builder.add_triangle(top_left, top_right, bottom_right);
    builder.add_triangle(top_left, bottom_right, bottom_left);
  }
  return builder.build(std::move(name));
}

std::unique_ptr<MeshNode> make_sphere(float radius, int rings, int segments, const Material& material,
                                      std::string name) {
  rings = std::max(rings, 2);
  segments = std::max(segments, 3);
  GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(material);
  const float pi = std::numbers::pi_v<float>;
  for (int ring = 0; ring <= rings; ++ring) {
    const float polar = pi * static_cast<float>(ring) / static_cast<float>(rings);  // 0 at the top
    for (int segment = 0; segment <= segments; ++segment) {
      const float around = 2.0f * pi * static_cast<float>(segment) / static_cast<float>(segments);
      const base::Vec3 normal{std::sin(polar) * std::sin(around), std::cos(polar), std::sin(polar) * std::cos(around)};
      builder.add_vertex(normal * radius, normal,
                         {static_cast<float>(segment) / static_cast<float>(segments),
                          static_cast<float>(ring) / static_cast<float>(rings)});
    }
  }
  const auto at = [&](int ring, int segment) { return static_cast<std::uint32_t>(ring * (segments + 1) + segment); };
  for (int ring = 0; ring < rings; ++ring) {
    for (int segment = 0; segment < segments; ++segment) {
      // Seen from outside, "around" grows to the left: the quad's corners in
      // clockwise order are upper-right, upper-left, lower-left, lower-right.
      const std::uint32_t top_left = at(ring, segment + 1);
      const std::uint32_t top_right = at(ring, segment);
      const std::uint32_t bottom_right = at(ring + 1, segment);
      const std::uint32_t bottom_left = at(ring + 1, segment + 1);
      builder.add_triangle(top_left, top_right, bottom_right);
      builder.add_triangle(top_left, bottom_right, bottom_left);
    }
  }
  return builder.build(std::move(name));
}

Material plain_material(const base::Vec4& colour) {
  Material material;
  material.diffuse = colour;
  material.ambient = colour;
  material.specular = base::Vec4{0, 0, 0, 1};
  material.emissive = base::Vec4{0, 0, 0, 1};
  material.power = 0.0f;
  material.cull = 3;
  return material;
}

}  // namespace model
