#include "fish/gjk_distance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace fish {

namespace {

using base::Vec3;

// A point of the Minkowski difference with the support points it came from.
struct SimplexVertex {
  Vec3 w;  // p - q
  Vec3 p;  // on a
  Vec3 q;  // on b
};

struct Simplex {
  std::array<SimplexVertex, 4> vertex;
  int count = 0;
};

// The closest point of a sub-simplex to the origin as weights of up to
// three of the simplex's vertices.
struct Barycentric {
  std::array<int, 3> index{};
  std::array<float, 3> weight{};
  int count = 0;
  Vec3 point;
};

Barycentric single(const Simplex& s, int a) {
  Barycentric r;
  r.index[0] = a;
  r.weight[0] = 1.0f;
  r.count = 1;
  r.point = s.vertex[static_cast<std::size_t>(a)].w;
  return r;
}

Barycentric on_segment(const Simplex& s, int ia, int ib) {
  const Vec3& a = s.vertex[static_cast<std::size_t>(ia)].w;
  const Vec3& b = s.vertex[static_cast<std::size_t>(ib)].w;
  const Vec3 ab = b - a;
  const float ab2 = base::dot(ab, ab);
  const float t = ab2 > 0.0f ? -base::dot(a, ab) / ab2 : 0.0f;
  if (!(t > 0.0f)) return single(s, ia);
  if (t >= 1.0f) return single(s, ib);
  Barycentric r;
  r.index = {ia, ib, 0};
  r.weight = {1.0f - t, t, 0.0f};
  r.count = 2;
  r.point = a + ab * t;
  return r;
}

Barycentric nearer(const Barycentric& x, const Barycentric& y) {
  return base::length_sq(y.point) < base::length_sq(x.point) ? y : x;
}

// Closest point of a triangle to the origin by its Voronoi regions. A
// triangle without area is handled as its three edges.
Barycentric on_triangle(const Simplex& s, int ia, int ib, int ic) {
  const Vec3& a = s.vertex[static_cast<std::size_t>(ia)].w;
  const Vec3& b = s.vertex[static_cast<std::size_t>(ib)].w;
  const Vec3& c = s.vertex[static_cast<std::size_t>(ic)].w;
  const Vec3 ab = b - a;
  const Vec3 ac = c - a;
  const float area2 = base::length_sq(base::cross(ab, ac));
  if (!(area2 > 1e-12f * base::length_sq(ab) * base::length_sq(ac))) {
    return nearer(nearer(on_segment(s, ia, ib), on_segment(s, ia, ic)), on_segment(s, ib, ic));
  }
  const float d1 = -base::dot(ab, a);
  const float d2 = -base::dot(ac, a);
  if (d1 <= 0.0f && d2 <= 0.0f) return single(s, ia);
  const float d3 = -base::dot(ab, b);
  const float d4 = -base::dot(ac, b);
  if (d3 >= 0.0f && d4 <= d3) return single(s, ib);
  const float vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) return on_segment(s, ia, ib);
  const float d5 = -base::dot(ab, c);
  const float d6 = -base::dot(ac, c);
  if (d6 >= 0.0f && d5 <= d6) return single(s, ic);
  const float vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) return on_segment(s, ia, ic);
  const float va = d3 * d6 - d5 * d4;
  if (va <= 0.0f && d4 - d3 >= 0.0f && d5 - d6 >= 0.0f) return on_segment(s, ib, ic);
  const float sum = va + vb + vc;
  if (!(sum > 0.0f)) {
    return nearer(nearer(on_segment(s, ia, ib), on_segment(s, ia, ic)), on_segment(s, ib, ic));
  }
  const float v = vb / sum;
  const float w = vc / sum;
  Barycentric r;
  r.index = {ia, ib, ic};
  r.weight = {1.0f - v - w, v, w};
  r.count = 3;
  r.point = a + ab * v + ac * w;
  return r;
}

// Closest point of a tetrahedron to the origin: the nearest of the faces
// that the origin lies beyond; `inside` tells that no face has the origin
// beyond it. A flat tetrahedron has every face checked.
Barycentric on_tetrahedron(const Simplex& s, bool& inside) {
  static constexpr int kFaces[4][4] = {{0, 1, 2, 3}, {0, 2, 3, 1}, {0, 3, 1, 2}, {1, 3, 2, 0}};  // face, opposite
  inside = true;
  Barycentric best;
  bool found = false;
  for (const auto& face : kFaces) {
    const Vec3& a = s.vertex[static_cast<std::size_t>(face[0])].w;
    const Vec3& b = s.vertex[static_cast<std::size_t>(face[1])].w;
    const Vec3& c = s.vertex[static_cast<std::size_t>(face[2])].w;
    const Vec3& opposite = s.vertex[static_cast<std::size_t>(face[3])].w;
    const Vec3 normal = base::cross(b - a, c - a);
    const float origin_side = -base::dot(a, normal);
    const float opposite_side = base::dot(opposite - a, normal);
    if (origin_side * opposite_side > 0.0f) continue;
    inside = false;
    const Barycentric candidate = on_triangle(s, face[0], face[1], face[2]);
    best = found ? nearer(best, candidate) : candidate;
    found = true;
  }
  return best;
}

// Replaces the simplex by the smallest sub-simplex whose hull holds its
// closest point to the origin; false when the origin is enclosed.
bool reduce(Simplex& s, Vec3& v, Vec3& on_a, Vec3& on_b) {
  Barycentric closest;
  switch (s.count) {
    case 1:
      closest = single(s, 0);
      break;
    case 2:
      closest = on_segment(s, 0, 1);
      break;
    case 3:
      closest = on_triangle(s, 0, 1, 2);
      break;
    default: {
      bool inside = false;
      closest = on_tetrahedron(s, inside);
      if (inside) return false;
      break;
    }
  }
  Simplex kept;
  on_a = {};
  on_b = {};
  for (int i = 0; i < closest.count; ++i) {
    const SimplexVertex& vertex = s.vertex[static_cast<std::size_t>(closest.index[static_cast<std::size_t>(i)])];
    const float weight = closest.weight[static_cast<std::size_t>(i)];
    on_a += vertex.p * weight;
    on_b += vertex.q * weight;
    kept.vertex[static_cast<std::size_t>(kept.count++)] = vertex;
  }
  s = kept;
  v = closest.point;
  return true;
}

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

GjkResult gjk_distance(const SupportMapping& a, const SupportMapping& b, const GjkSettings& settings) {
  GjkResult result;
  result.on_a = a.centre();
  result.on_b = b.centre();
  Vec3 v = result.on_a - result.on_b;
  Simplex simplex;
  float lower_bound = 0.0f;
  for (;;) {
    const float v2 = base::length_sq(v);
    if (!std::isfinite(v2)) {
      result.distance = std::numeric_limits<float>::infinity();
      result.touching = false;
      return result;
    }
    result.distance = std::sqrt(v2);
    if (result.distance <= settings.tolerance || result.iterations >= settings.max_iterations) break;
    ++result.iterations;

    SimplexVertex next;
    next.p = a.support(-v);
    next.q = b.support(v);
    next.w = next.p - next.q;
    if (!finite(next.w)) {
      result.distance = std::numeric_limits<float>::infinity();
      result.touching = false;
      return result;
    }
    const float along = base::dot(v, next.w);
    if (along > 0.0f) lower_bound = std::max(lower_bound, along / result.distance);
    if (result.distance - lower_bound <= settings.relative_gap * result.distance) break;
    const bool repeated = std::any_of(simplex.vertex.begin(), simplex.vertex.begin() + simplex.count,
                                      [&](const SimplexVertex& old) { return old.w == next.w; });
    if (repeated) break;

    // Until the first vertex is in, v is only the starting guess and the
    // simplex's point may lie further out.
    const bool had_simplex = simplex.count > 0;
    simplex.vertex[static_cast<std::size_t>(simplex.count++)] = next;
    Vec3 on_a;
    Vec3 on_b;
    Vec3 closest;
    if (!reduce(simplex, closest, on_a, on_b)) {
      result.distance = 0.0f;
      result.touching = true;
      return result;
    }
    const bool stalled = had_simplex && base::length_sq(closest) >= v2;
    v = closest;
    result.on_a = on_a;
    result.on_b = on_b;
    if (stalled) {
      result.distance = std::sqrt(base::length_sq(v));
      break;
    }
  }
  result.touching = result.distance <= settings.tolerance;
  return result;
}

}  // namespace fish
