#pragma once

#include <optional>

#include "base/vector.h"

// 4x4 float matrices for row vectors: a point transforms as v x M, so a
// chain applies left to right (world = local x parent) and the translation
// sits in the fourth row, m[3][0..2]. Left-handed, y up, angles in radians.
// A quarter turn of rotation_x takes +y to +z, of rotation_y takes +z to +x,
// of rotation_z takes +x to +y.

namespace base {

struct Matrix {
  float m[4][4] = {};  // m[row][column]

  friend bool operator==(const Matrix&, const Matrix&) = default;
};

Matrix identity();

// a x b: applying the result equals applying a, then b.
Matrix multiply(const Matrix& a, const Matrix& b);
inline Matrix operator*(const Matrix& a, const Matrix& b) { return multiply(a, b); }

Matrix transpose(const Matrix& a);
float determinant(const Matrix& a);

// The general inverse, computed in double. A singular matrix (determinant 0,
// or a matrix with non-finite entries) gives nullopt. When `determinant_out`
// is given it receives the determinant in either case.
std::optional<Matrix> inverse(const Matrix& a, float* determinant_out = nullptr);

Matrix translation(float x, float y, float z);
inline Matrix translation(const Vec3& t) { return translation(t.x, t.y, t.z); }
Matrix scaling(float x, float y, float z);
inline Matrix scaling(const Vec3& s) { return scaling(s.x, s.y, s.z); }

Matrix rotation_x(float angle);
Matrix rotation_y(float angle);
Matrix rotation_z(float angle);
// Rotation by `angle` about `axis`, which need not be unit length. A zero
// axis gives the identity.
Matrix rotation_axis(const Vec3& axis, float angle);
// Roll about z first, then pitch about x, then yaw about y:
// rotation_z(roll) x rotation_x(pitch) x rotation_y(yaw).
Matrix rotation_yaw_pitch_roll(float yaw, float pitch, float roll);

// View matrix of an eye at `eye` looking at `at`, with `up` giving the
// vertical. Rows 0..2 of the inverse are the camera's right, up and forward.
Matrix look_at_lh(const Vec3& eye, const Vec3& at, const Vec3& up);
// Perspective projection with a vertical field of view of fov_y and
// aspect = width / height; after the divide by w (= view-space z) depth is 0
// at z_near and 1 at z_far.
Matrix perspective_fov_lh(float fov_y, float aspect, float z_near, float z_far);
// Orthographic projection of a width x height view, depth 0 at z_near, 1 at
// z_far.
Matrix ortho_lh(float width, float height, float z_near, float z_far);

// Multiplied after a projection above (projection x gl_depth_remap()), maps
// the clip depth range [0, w] to OpenGL's [-w, w] (z' = 2z - w) and leaves x,
// y and w alone.
Matrix gl_depth_remap();

// (v, 1) x M, without dividing by w.
Vec4 transform(const Vec3& v, const Matrix& m);
// v x M.
Vec4 transform(const Vec4& v, const Matrix& m);
// (v, 1) x M, divided by the resulting w. When w is 0 (a point on the
// projection's eye plane) the result is not divided and x, y, z are returned
// as they are, so it stays finite and keeps its direction.
Vec3 transform_coord(const Vec3& v, const Matrix& m);
// (v, 0) x M: rotation and scale only, no translation. Directions and normals
// of matrices without non-uniform scale.
Vec3 transform_normal(const Vec3& v, const Matrix& m);

// Rows 0..2 as vectors and the translation row.
inline Vec3 row3(const Matrix& a, int row) { return {a.m[row][0], a.m[row][1], a.m[row][2]}; }
inline Vec3 translation_of(const Matrix& a) { return row3(a, 3); }

}  // namespace base
