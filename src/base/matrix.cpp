#include "base/matrix.h"

#include <cmath>

namespace base {

Matrix identity() {
  Matrix r;
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
  return r;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] =
          a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

Matrix transpose(const Matrix& a) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[j][i];
  }
  return r;
}

namespace {

// Cofactor expansion in double: the 2x2 minors of the upper two rows (s) and
// the lower two rows (c) give the determinant and the adjugate.
struct Minors {
  double s[6];
  double c[6];
  double det;
};

Minors minors_of(const Matrix& a, double (&e)[4][4]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) e[i][j] = a.m[i][j];
  }
  Minors k;
  k.s[0] = e[0][0] * e[1][1] - e[1][0] * e[0][1];
  k.s[1] = e[0][0] * e[1][2] - e[1][0] * e[0][2];
  k.s[2] = e[0][0] * e[1][3] - e[1][0] * e[0][3];
  k.s[3] = e[0][1] * e[1][2] - e[1][1] * e[0][2];
  k.s[4] = e[0][1] * e[1][3] - e[1][1] * e[0][3];
  k.s[5] = e[0][2] * e[1][3] - e[1][2] * e[0][3];
  k.c[5] = e[2][2] * e[3][3] - e[3][2] * e[2][3];
  k.c[4] = e[2][1] * e[3][3] - e[3][1] * e[2][3];
  k.c[3] = e[2][1] * e[3][2] - e[3][1] * e[2][2];
  k.c[2] = e[2][0] * e[3][3] - e[3][0] * e[2][3];
  k.c[1] = e[2][0] * e[3][2] - e[3][0] * e[2][2];
  k.c[0] = e[2][0] * e[3][1] - e[3][0] * e[2][1];
  k.det = k.s[0] * k.c[5] - k.s[1] * k.c[4] + k.s[2] * k.c[3] + k.s[3] * k.c[2] - k.s[4] * k.c[1] +
          k.s[5] * k.c[0];
  return k;
}

}  // namespace

float determinant(const Matrix& a) {
  double e[4][4];
  return static_cast<float>(minors_of(a, e).det);
}

std::optional<Matrix> inverse(const Matrix& a, float* determinant_out) {
  double e[4][4];
  const Minors k = minors_of(a, e);
  if (determinant_out != nullptr) *determinant_out = static_cast<float>(k.det);
  if (k.det == 0.0 || !std::isfinite(k.det)) return std::nullopt;

  const double* s = k.s;
  const double* c = k.c;
  const double d = 1.0 / k.det;
  const double r[4][4] = {
      {(e[1][1] * c[5] - e[1][2] * c[4] + e[1][3] * c[3]) * d,
       (-e[0][1] * c[5] + e[0][2] * c[4] - e[0][3] * c[3]) * d,
       (e[3][1] * s[5] - e[3][2] * s[4] + e[3][3] * s[3]) * d,
       (-e[2][1] * s[5] + e[2][2] * s[4] - e[2][3] * s[3]) * d},
      {(-e[1][0] * c[5] + e[1][2] * c[2] - e[1][3] * c[1]) * d,
       (e[0][0] * c[5] - e[0][2] * c[2] + e[0][3] * c[1]) * d,
       (-e[3][0] * s[5] + e[3][2] * s[2] - e[3][3] * s[1]) * d,
       (e[2][0] * s[5] - e[2][2] * s[2] + e[2][3] * s[1]) * d},
      {(e[1][0] * c[4] - e[1][1] * c[2] + e[1][3] * c[0]) * d,
       (-e[0][0] * c[4] + e[0][1] * c[2] - e[0][3] * c[0]) * d,
       (e[3][0] * s[4] - e[3][1] * s[2] + e[3][3] * s[0]) * d,
       (-e[2][0] * s[4] + e[2][1] * s[2] - e[2][3] * s[0]) * d},
      {(-e[1][0] * c[3] + e[1][1] * c[1] - e[1][2] * c[0]) * d,
       (e[0][0] * c[3] - e[0][1] * c[1] + e[0][2] * c[0]) * d,
       (-e[3][0] * s[3] + e[3][1] * s[1] - e[3][2] * s[0]) * d,
       (e[2][0] * s[3] - e[2][1] * s[1] + e[2][2] * s[0]) * d},
  };

  Matrix out;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      out.m[i][j] = static_cast<float>(r[i][j]);
      // A determinant so small that the inverse overflows float has no
      // usable inverse either.
      if (!std::isfinite(out.m[i][j])) return std::nullopt;
    }
  }
  return out;
}

Matrix translation(float x, float y, float z) {
  Matrix r = identity();
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

Matrix scaling(float x, float y, float z) {
  Matrix r;
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  r.m[3][3] = 1.0f;
  return r;
}

Matrix rotation_x(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  Matrix r = identity();
  r.m[1][1] = c;
  r.m[1][2] = s;
  r.m[2][1] = -s;
  r.m[2][2] = c;
  return r;
}

Matrix rotation_y(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  Matrix r = identity();
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[2][0] = s;
  r.m[2][2] = c;
  return r;
}

Matrix rotation_z(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  Matrix r = identity();
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return r;
}

Matrix rotation_axis(const Vec3& axis, float angle) {
  const Vec3 n = normalize(axis);
  if (n == Vec3{}) return identity();
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float t = 1.0f - c;
  Matrix r = identity();
  r.m[0][0] = t * n.x * n.x + c;
  r.m[0][1] = t * n.x * n.y + s * n.z;
  r.m[0][2] = t * n.x * n.z - s * n.y;
  r.m[1][0] = t * n.y * n.x - s * n.z;
  r.m[1][1] = t * n.y * n.y + c;
  r.m[1][2] = t * n.y * n.z + s * n.x;
  r.m[2][0] = t * n.z * n.x + s * n.y;
  r.m[2][1] = t * n.z * n.y - s * n.x;
  r.m[2][2] = t * n.z * n.z + c;
  return r;
}

Matrix rotation_yaw_pitch_roll(float yaw, float pitch, float roll) {
  return rotation_z(roll) * rotation_x(pitch) * rotation_y(yaw);
}

Matrix look_at_lh(const Vec3& eye, const Vec3& at, const Vec3& up) {
  const Vec3 z = normalize(at - eye);
  const Vec3 x = normalize(cross(up, z));
  const Vec3 y = cross(z, x);
  Matrix r;
  r.m[0][0] = x.x;
  r.m[0][1] = y.x;
  r.m[0][2] = z.x;
  r.m[1][0] = x.y;
  r.m[1][1] = y.y;
  r.m[1][2] = z.y;
  r.m[2][0] = x.z;
  r.m[2][1] = y.z;
  r.m[2][2] = z.z;
  r.m[3][0] = -dot(x, eye);
  r.m[3][1] = -dot(y, eye);
  r.m[3][2] = -dot(z, eye);
  r.m[3][3] = 1.0f;
  return r;
}

Matrix perspective_fov_lh(float fov_y, float aspect, float z_near, float z_far) {
  const float y_scale = 1.0f / std::tan(fov_y * 0.5f);
  const float depth = z_far / (z_far - z_near);
  Matrix r;
  r.m[0][0] = y_scale / aspect;
  r.m[1][1] = y_scale;
  r.m[2][2] = depth;
  r.m[2][3] = 1.0f;
  r.m[3][2] = -z_near * depth;
  return r;
}

Matrix ortho_lh(float width, float height, float z_near, float z_far) {
  Matrix r;
  r.m[0][0] = 2.0f / width;
  r.m[1][1] = 2.0f / height;
  r.m[2][2] = 1.0f / (z_far - z_near);
  r.m[3][2] = z_near / (z_near - z_far);
  r.m[3][3] = 1.0f;
  return r;
}

Matrix gl_depth_remap() {
  Matrix r = identity();
  r.m[2][2] = 2.0f;
  r.m[3][2] = -1.0f;
  return r;
}

Vec4 transform(const Vec3& v, const Matrix& m) { return transform(Vec4{v.x, v.y, v.z, 1.0f}, m); }

Vec4 transform(const Vec4& v, const Matrix& m) {
  Vec4 r;
  r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0];
  r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1];
  r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2];
  r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3];
  return r;
}

Vec3 transform_coord(const Vec3& v, const Matrix& m) {
  const Vec4 r = transform(v, m);
  if (r.w == 0.0f) return {r.x, r.y, r.z};
  const float inv_w = 1.0f / r.w;
  return {r.x * inv_w, r.y * inv_w, r.z * inv_w};
}

Vec3 transform_normal(const Vec3& v, const Matrix& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
          v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

}  // namespace base
