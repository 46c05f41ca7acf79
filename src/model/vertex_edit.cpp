#include "model/vertex_edit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "model/mesh_node.h"
#include "platform/vertex_format.h"

namespace model {

namespace {

base::Vec3 read_vec3(const std::uint8_t* p) {
  base::Vec3 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void write_vec3(std::uint8_t* p, const base::Vec3& v) { std::memcpy(p, &v, sizeof v); }

std::uint32_t texture_bytes(const gfx::VertexLayout& layout) {
  std::uint32_t total = 0;
  for (int set = 0; set < layout.texture_sets; ++set) total += 4u * static_cast<std::uint32_t>(layout.texture_floats[set]);
  return total;
}

// The vertices of `node` in the layout `to`, or nullopt.
std::optional<std::vector<std::uint8_t>> converted_vertices(const MeshNode& node, const gfx::VertexLayout& to) {
  const std::optional<gfx::VertexLayout> from = gfx::decode_vertex_format(node.fvf);
  if (!from || !node.has_positions() || to.position_floats < 3) return std::nullopt;
  std::vector<std::uint8_t> out(std::size_t{node.vertex_count} * to.stride, 0);
  const std::uint8_t* source = node.vertices.bytes().data();
  const std::size_t position_bytes = 4u * static_cast<std::size_t>(std::min(from->position_floats, to.position_floats));
  const std::size_t blend_bytes = 4u * static_cast<std::size_t>(std::min(from->blend_values, to.blend_values));
  const std::size_t tex_bytes = std::min(texture_bytes(*from), texture_bytes(to));
  for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
    const std::uint8_t* in = source + std::size_t{v} * from->stride;
    std::uint8_t* o = out.data() + std::size_t{v} * to.stride;
    std::memcpy(o, in, position_bytes);
    if (blend_bytes > 0) std::memcpy(o + to.blend_offset, in + from->blend_offset, blend_bytes);
    auto field = [&](int from_offset, int to_offset, std::size_t size) {
      if (from_offset >= 0 && to_offset >= 0) std::memcpy(o + to_offset, in + from_offset, size);
    };
    field(from->normal_offset, to.normal_offset, 12);
    field(from->point_size_offset, to.point_size_offset, 4);
    field(from->diffuse_offset, to.diffuse_offset, 4);
    field(from->specular_offset, to.specular_offset, 4);
    if (tex_bytes > 0) std::memcpy(o + to.texture_offset[0], in + from->texture_offset[0], tex_bytes);
  }
  return out;
}

}  // namespace

bool change_fvf(MeshNode& node, std::uint32_t new_fvf) {
  const std::optional<gfx::VertexLayout> to = gfx::decode_vertex_format(new_fvf);
  if (!to) return false;
  std::optional<std::vector<std::uint8_t>> bytes = converted_vertices(node, *to);
  if (!bytes) return false;
  node.fvf = new_fvf;
  node.vertex_size = to->stride;
  node.vertices.assign(std::move(*bytes));
  return true;
}

bool change_tree_fvf(MeshNode& root, std::uint32_t new_fvf) {
  bool all = true;
  for_each_node(root, [&](MeshNode& node) {
    if (node.has_geometry && node.vertex_count > 0 && !change_fvf(node, new_fvf)) all = false;
  });
  return all;
}

bool make_tangent_space(MeshNode& node, std::uint32_t new_fvf) {
  const std::optional<gfx::VertexLayout> from = gfx::decode_vertex_format(node.fvf);
  const std::optional<gfx::VertexLayout> to = gfx::decode_vertex_format(new_fvf);
  if (!from || !to || from->texture_sets < 1 || from->texture_floats[0] < 2) return false;
  if (to->texture_sets < 2 || to->texture_floats[1] < 3) return false;
  std::optional<std::vector<std::uint8_t>> bytes = converted_vertices(node, *to);
  if (!bytes) return false;

  const std::uint8_t* source = node.vertices.bytes().data();
  auto uv = [&](std::uint32_t v) {
    float st[2];
    std::memcpy(st, source + std::size_t{v} * from->stride + from->texture_offset[0], sizeof st);
    return base::Vec2{st[0], st[1]};
  };
  std::vector<base::Vec3> tangents(node.vertex_count);
  for (std::size_t i = 0; i + 3 <= node.index_count; i += 3) {
    const std::uint32_t a = node.vertex_index(i);
    const std::uint32_t b = node.vertex_index(i + 1);
    const std::uint32_t c = node.vertex_index(i + 2);
    const base::Vec3 e1 = node.position(b) - node.position(a);
    const base::Vec3 e2 = node.position(c) - node.position(a);
    const base::Vec2 d1 = uv(b) - uv(a);
    const base::Vec2 d2 = uv(c) - uv(a);
    const float r = d1.x * d2.y - d2.x * d1.y;
    if (std::fabs(r) < 1e-12f) continue;
    const base::Vec3 tangent = (e1 * d2.y - e2 * d1.y) * (1.0f / r);
    tangents[a] += tangent;
    tangents[b] += tangent;
    tangents[c] += tangent;
  }
  for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
    std::uint8_t* vertex = bytes->data() + std::size_t{v} * to->stride;
    base::Vec3 tangent = tangents[v];
    if (to->normal_offset >= 0) {
      const base::Vec3 normal = base::normalize(read_vec3(vertex + to->normal_offset));
      tangent -= normal * base::dot(normal, tangent);
    }
    write_vec3(vertex + to->texture_offset[1], base::normalize(tangent));
  }
  node.fvf = new_fvf;
  node.vertex_size = to->stride;
  node.vertices.assign(std::move(*bytes));
  return true;
}

bool smooth_normals(MeshNode& node, float tolerance, std::vector<base::Vec3>* group_positions,
                    std::vector<base::Vec3>* group_normals) {
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(node.fvf);
  if (!layout || layout->normal_offset < 0 || !node.has_positions()) return false;
  std::uint8_t* bytes = node.vertices.data();
  const std::size_t stride = layout->stride;
  const std::size_t normal = static_cast<std::size_t>(layout->normal_offset);
  std::vector<bool> visited(node.vertex_count, false);
  std::vector<std::uint32_t> group;
  for (const Subset& subset : node.subsets) {
    const std::uint32_t end = std::min(subset.first_vertex + subset.vertex_count, node.vertex_count);
    for (std::uint32_t v = subset.first_vertex; v < end; ++v) {
      if (visited[v]) continue;
      visited[v] = true;
      group.assign(1, v);
      const base::Vec3 first = node.position(v);
      base::Vec3 sum = read_vec3(bytes + v * stride + normal);
      for (std::uint32_t w = v + 1; w < end; ++w) {
        if (visited[w]) continue;
        const base::Vec3 p = node.position(w);
        if (std::fabs(p.x - first.x) <= tolerance && std::fabs(p.y - first.y) <= tolerance &&
            std::fabs(p.z - first.z) <= tolerance) {
          visited[w] = true;
          group.push_back(w);
          sum += read_vec3(bytes + w * stride + normal);
        }
      }
      const base::Vec3 mean = sum * (1.0f / static_cast<float>(group.size()));
      if (group.size() > 1) {
        for (std::uint32_t member : group) {
          write_vec3(bytes + member * stride + normal, mean);
          node.vertices.changed(member * stride + normal, 12);
        }
      }
      if (group_positions != nullptr) group_positions->push_back(first);
      if (group_normals != nullptr) group_normals->push_back(mean);
    }
  }
  return true;
}

bool smooth_tree_normals(MeshNode& root, float tolerance) {
  bool all = true;
  for_each_node(root, [&](MeshNode& node) {
    if (node.has_geometry && node.vertex_count > 0 && !smooth_normals(node, tolerance)) all = false;
  });
  return all;
}

}  // namespace model
