#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/matrix.h"
#include "base/vector.h"

namespace model {

class MeshNode;

struct Ray {
  base::Vec3 origin;
  base::Vec3 direction;  // any length but zero; distances are in its units
};

struct TriangleHit {
  float distance = 0.0f;  // t along the ray: the hit is origin + t * direction, t >= 0
  float u = 0.0f;         // barycentric parameters of the hit
  float v = 0.0f;
};

// The nearest hit found so far by pick.
struct PickResult {
  MeshNode* node = nullptr;
  MeshNode* root = nullptr;  // the root the node belongs to
  float distance = 0.0f;     // t along the world ray
  base::Vec3 position;       // world space
  base::Vec3 normal;         // world space, unit length
  std::uint32_t face = 0;    // triangle index, or 2 x side + triangle for a box
  bool hit() const { return node != nullptr; }
};

// The ray against triangle (p0, p1, p2) with plane normal e1 x e2 (edges
// from p0), or against a given plane (normal, d) with d = normal . p0. With
// front_only, triangles seen from behind (normal . direction >= 0) are
// missed. A hit needs t >= 0 and a point inside the triangle.
std::optional<TriangleHit> ray_triangle(const Ray& ray, const base::Vec3& p0, const base::Vec3& p1,
                                        const base::Vec3& p2, bool front_only,
                                        const base::Vec4* plane = nullptr);

// The ray against the quad of triangles (0, 1, 2) and (1, 2, 3); which of
// the two was hit goes to *triangle.
std::optional<TriangleHit> ray_quad(const Ray& ray, const std::array<base::Vec3, 4>& points, bool front_only,
                                    int* triangle = nullptr);

// The nearest of the twelve triangles of a box, from either side, so that a
// ray starting inside hits the far side. face = 2 x side + triangle with
// sides -x, +x, -y, +y, -z, +z; normal points out of the box.
std::optional<TriangleHit> ray_box(const Ray& ray, const base::Vec3& box_min, const base::Vec3& box_max,
                                   std::uint32_t* face = nullptr, base::Vec3* normal = nullptr);

// The inverse of a matrix whose three axis rows are orthogonal: each axis
// divided by its squared length, transposed, and the translation projected
// on those axes and negated. Any axis of zero length gives the identity.
base::Matrix orthogonal_inverse(const base::Matrix& m);

// Picks along a world-space ray through node, its sibling chain and their
// subtrees: world = local x parent, or the local matrix alone without a
// parent (as for a root).
// Each node's box is tested first; a box that is hit lets the triangles of
// its drawn subsets be tested (front faces only for counter-clockwise
// culling), or, with box_only on the node pick is called on, counts as the
// hit itself. A root without playback whose box is missed ends the search
// in its branch.
//
// Without a result, pick stops at the first node hit and reports true.
// With one, the nearest hit (or a first one) replaces it, and pick reports
// whether this call found any.
bool pick(MeshNode& node, const Ray& ray, const base::Matrix* parent, bool box_only, PickResult* result);

}  // namespace model
