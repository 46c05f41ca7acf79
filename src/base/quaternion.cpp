#include "base/quaternion.h"

#include <cmath>

namespace base {

float length(const Quaternion& q) { return std::sqrt(dot(q, q)); }

Quaternion normalize(const Quaternion& q) {
  const Vec4 n = normalize(Vec4{q.x, q.y, q.z, q.w});
  return {n.x, n.y, n.z, n.w};
}

Quaternion multiply(const Quaternion& q1, const Quaternion& q2) {
  // Hamilton product q2 q1.
  const Quaternion& a = q2;
  const Quaternion& b = q1;
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Matrix rotation_quaternion(const Quaternion& q) {
  const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  Matrix r = identity();
  r.m[0][0] = 1.0f - 2.0f * (yy + zz);
  r.m[0][1] = 2.0f * (xy + wz);
  r.m[0][2] = 2.0f * (xz - wy);
  r.m[1][0] = 2.0f * (xy - wz);
  r.m[1][1] = 1.0f - 2.0f * (xx + zz);
  r.m[1][2] = 2.0f * (yz + wx);
  r.m[2][0] = 2.0f * (xz + wy);
  r.m[2][1] = 2.0f * (yz - wx);
  r.m[2][2] = 1.0f - 2.0f * (xx + yy);
  return r;
}

Quaternion quaternion_rotation_matrix(const Matrix& matrix) {
  const auto& m = matrix.m;
  const float trace = m[0][0] + m[1][1] + m[2][2];
  Quaternion q;
  // Take the square root of the largest of the four diagonal combinations,
  // so that the divisor is never small.
  if (trace > 0.0f) {
    const float s = 2.0f * std::sqrt(1.0f + trace);
    q.w = 0.25f * s;
    q.x = (m[1][2] - m[2][1]) / s;
    q.y = (m[2][0] - m[0][2]) / s;
    q.z = (m[0][1] - m[1][0]) / s;
  } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]);
    q.x = 0.25f * s;
    q.y = (m[0][1] + m[1][0]) / s;
    q.z = (m[0][2] + m[2][0]) / s;
    q.w = (m[1][2] - m[2][1]) / s;
  } else if (m[1][1] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f - m[0][0] + m[1][1] - m[2][2]);
    q.y = 0.25f * s;
    q.x = (m[0][1] + m[1][0]) / s;
    q.z = (m[1][2] + m[2][1]) / s;
    q.w = (m[2][0] - m[0][2]) / s;
  } else {
    const float s = 2.0f * std::sqrt(1.0f - m[0][0] - m[1][1] + m[2][2]);
    q.z = 0.25f * s;
    q.x = (m[0][2] + m[2][0]) / s;
    q.y = (m[1][2] + m[2][1]) / s;
    q.w = (m[0][1] - m[1][0]) / s;
  }
  return q;
}

Quaternion quaternion_rotation_axis(const Vec3& axis, float angle) {
  const Vec3 n = normalize(axis);
  if (n == Vec3{}) return {};
  const float s = std::sin(angle * 0.5f);
  return {n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f)};
}

Quaternion quaternion_yaw_pitch_roll(float yaw, float pitch, float roll) {
  const Quaternion q_roll = {0.0f, 0.0f, std::sin(roll * 0.5f), std::cos(roll * 0.5f)};
  const Quaternion q_pitch = {std::sin(pitch * 0.5f), 0.0f, 0.0f, std::cos(pitch * 0.5f)};
  const Quaternion q_yaw = {0.0f, std::sin(yaw * 0.5f), 0.0f, std::cos(yaw * 0.5f)};
  return q_roll * q_pitch * q_yaw;
}

Quaternion slerp(const Quaternion& a, const Quaternion& b, float t) {
  float cos_angle = dot(a, b);
  Quaternion end = b;
  if (cos_angle < 0.0f) {
    cos_angle = -cos_angle;
    end = -b;
  }
  if (cos_angle > 0.9995f) return normalize(a + (end - a) * t);

  const float angle = std::acos(cos_angle);
  const float inv_sin = 1.0f / std::sin(angle);
  const float wa = std::sin((1.0f - t) * angle) * inv_sin;
  const float wb = std::sin(t * angle) * inv_sin;
  return a * wa + end * wb;
}

Matrix scale_rotate_translate(const Vec3& s, const Quaternion& q, const Vec3& t) {
  Matrix r = rotation_quaternion(q);
  for (int j = 0; j < 3; ++j) {
    r.m[0][j] *= s.x;
    r.m[1][j] *= s.y;
    r.m[2][j] *= s.z;
  }
  r.m[3][0] = t.x;
  r.m[3][1] = t.y;
  r.m[3][2] = t.z;
  return r;
}

}  // namespace base
