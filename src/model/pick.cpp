#include "model/pick.h"

#include <cmath>

#include "base/box_probe.h"
#include "model/mesh_node.h"

namespace model {

namespace {

float component(const base::Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

}  // namespace

std::optional<TriangleHit> ray_triangle(const Ray& ray, const base::Vec3& p0, const base::Vec3& p1,
                                        const base::Vec3& p2, bool front_only, const base::Vec4* plane) {
  const base::Vec3 e1 = p1 - p0;
  const base::Vec3 e2 = p2 - p0;
  base::Vec3 normal;
  float d = 0.0f;
  if (plane != nullptr) {
    normal = base::Vec3{plane->x, plane->y, plane->z};
    d = plane->w;
  } else {
    normal = base::cross(e1, e2);
    d = base::dot(normal, p0);
  }
  const float denominator = base::dot(normal, ray.direction);
  if (denominator == 0.0f || (front_only && denominator >= 0.0f)) return std::nullopt;
  const float t = (d - base::dot(normal, ray.origin)) / denominator;
  if (!(t >= 0.0f)) return std::nullopt;  // behind the origin (or not a number)
  const base::Vec3 point = ray.origin + ray.direction * t;

  // Inside test in the coordinate plane that drops the normal's largest
  // component.
  const float ax = std::fabs(normal.x);
  const float ay = std::fabs(normal.y);
  const float az = std::fabs(normal.z);
  int i = 0;
  int j = 1;
  if (ax >= ay && ax >= az) {
    i = 1;
    j = 2;
  } else if (ay >= az) {
    i = 0;
    j = 2;
  }
  const base::Vec3 c = point - p0;
  const float det = component(e1, i) * component(e2, j) - component(e1, j) * component(e2, i);
  if (det == 0.0f) return std::nullopt;
  const float u = (component(c, i) * component(e2, j) - component(c, j) * component(e2, i)) / det;
  const float v = (component(e1, i) * component(c, j) - component(e1, j) * component(c, i)) / det;
  if (!(u >= 0.0f && u <= 1.0f && v >= 0.0f && v <= 1.0f && u + v <= 1.0f)) return std::nullopt;
  return TriangleHit{t, u, v};
}

std::optional<TriangleHit> ray_quad(const Ray& ray, const std::array<base::Vec3, 4>& points, bool front_only,
                                    int* triangle) {
  if (auto hit = ray_triangle(ray, points[0], points[1], points[2], front_only)) {
    if (triangle != nullptr) *triangle = 0;
    return hit;
  }
  if (auto hit = ray_triangle(ray, points[1], points[2], points[3], front_only)) {
    if (triangle != nullptr) *triangle = 1;
    return hit;
  }
  return std::nullopt;
}

std::optional<TriangleHit> ray_box(const Ray& ray, const base::Vec3& lo, const base::Vec3& hi, std::uint32_t* face,
                                   base::Vec3* normal) {
  // The four corners of each side, in the order the quad test takes them.
  const base::Vec3 corner[8] = {{lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z},
                                {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}};
  static constexpr int kSides[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 4, 5},
                                       {2, 3, 6, 7}, {0, 2, 4, 6}, {1, 3, 5, 7}};
  static constexpr base::Vec3 kNormals[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  std::optional<TriangleHit> nearest;
  for (std::uint32_t side = 0; side < 6; ++side) {
    const std::array<base::Vec3, 4> quad = {corner[kSides[side][0]], corner[kSides[side][1]],
                                            corner[kSides[side][2]], corner[kSides[side][3]]};
    int triangle = 0;
    const std::optional<TriangleHit> hit = ray_quad(ray, quad, false, &triangle);
    if (hit && (!nearest || hit->distance < nearest->distance)) {
      nearest = hit;
      if (face != nullptr) *face = 2 * side + static_cast<std::uint32_t>(triangle);
      if (normal != nullptr) *normal = kNormals[side];
    }
  }
  return nearest;
}

base::Matrix orthogonal_inverse(const base::Matrix& m) {
  base::Vec3 axes[3];
  for (int i = 0; i < 3; ++i) {
    const base::Vec3 axis = base::row3(m, i);
    const float squared = base::length_sq(axis);
    if (squared == 0.0f) return base::identity();
    axes[i] = axis * (1.0f / squared);
  }
  const base::Vec3 t = base::translation_of(m);
  base::Matrix inverse = base::identity();
  for (int i = 0; i < 3; ++i) {
    inverse.m[0][i] = axes[i].x;
    inverse.m[1][i] = axes[i].y;
    inverse.m[2][i] = axes[i].z;
    inverse.m[3][i] = -base::dot(t, axes[i]);
  }
  return inverse;
}

namespace {

struct NodeHit {
  float distance = 0.0f;
  base::Vec3 normal;  // node space
  std::uint32_t face = 0;
};

// The nearest triangle of the node's drawn subsets along a node-space ray.
std::optional<NodeHit> pick_triangles(const MeshNode& node, const Ray& ray) {
  if (!node.has_positions()) return std::nullopt;
  std::optional<NodeHit> nearest;
  const bool planes = node.face_planes.size() == node.triangle_count();
  for (const Subset& subset : node.subsets) {
    if (subset.material >= node.materials.size()) continue;
    const Material& material = node.materials[subset.material];
    if (!material.drawn()) continue;
    const bool front_only = material.cull == 3;
    const std::uint32_t first_face = subset.first_index / 3;
    for (std::uint32_t k = 0; k < subset.triangle_count; ++k) {
      const std::size_t at = std::size_t{subset.first_index} + std::size_t{k} * 3;
      if (at + 3 > node.index_count) break;
      const base::Vec3 p0 = node.position(node.vertex_index(at));
      const base::Vec3 p1 = node.position(node.vertex_index(at + 1));
      const base::Vec3 p2 = node.position(node.vertex_index(at + 2));
      const std::uint32_t face = first_face + k;
      const base::Vec4* plane = planes ? &node.face_planes[face] : nullptr;
      const std::optional<TriangleHit> hit = ray_triangle(ray, p0, p1, p2, front_only, plane);
      if (hit && (!nearest || hit->distance < nearest->distance)) {
        const base::Vec3 normal = plane != nullptr ? base::Vec3{plane->x, plane->y, plane->z}
                                                   : base::cross(p1 - p0, p2 - p0);
        nearest = NodeHit{hit->distance, normal, face};
      }
    }
  }
  return nearest;
}

bool pick_chain(MeshNode& first, const Ray& ray, const base::Matrix* parent, bool box_only, PickResult* result,
                int depth) {
  bool any = false;
  for (MeshNode* node = &first; node != nullptr; node = node->next_sibling.get()) {
    const base::Matrix world = parent != nullptr ? node->local_matrix * *parent : node->local_matrix;
    const base::Matrix inverse = orthogonal_inverse(world);
    const Ray local{base::transform_coord(ray.origin, inverse), base::transform_normal(ray.direction, inverse)};

    std::optional<NodeHit> box_hit;
    bool box_met = false;
    if (result == nullptr) {
      box_met = base::box_bound_probe(node->box.min, node->box.max, local.origin, local.direction);
    } else {
      NodeHit hit;
      if (std::optional<TriangleHit> t = ray_box(local, node->box.min, node->box.max, &hit.face, &hit.normal)) {
        hit.distance = t->distance;
        box_hit = hit;
        box_met = true;
      }
    }

    if (box_met) {
      std::optional<NodeHit> hit;
      bool node_hit = false;
      if (box_only && node == &first) {
        hit = box_hit;
        node_hit = true;
      } else {
        hit = pick_triangles(*node, local);
        node_hit = hit.has_value();
      }
      if (node_hit) {
        any = true;
        if (result == nullptr) return true;
        if (hit && (!result->hit() || hit->distance < result->distance)) {
          result->node = node;
          result->root = node->tree_root();
          result->distance = hit->distance;
          result->position = ray.origin + ray.direction * hit->distance;
          result->normal = base::normalize(base::transform_normal(hit->normal, world));
          result->face = hit->face;
        }
      }
    } else if (node->is_root && !node->playback) {
      // A still root's box holds its whole tree.
      return any;
    }

    if (node->first_child && depth < kMaxTreeDepth) {
      if (pick_chain(*node->first_child, ray, &world, false, result, depth + 1)) {
        any = true;
        if (result == nullptr) return true;
      }
    }
  }
  return any;
}

}  // namespace

bool pick(MeshNode& node, const Ray& ray, const base::Matrix* parent, bool box_only, PickResult* result) {
  return pick_chain(node, ray, parent, box_only, result, 0);
}

}  // namespace model
