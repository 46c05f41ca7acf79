#pragma once

#include "base/matrix.h"

// Rotation quaternions (x, y, z, w), matching the row-vector matrices of
// matrix.h: rotation_quaternion(quaternion_rotation_axis(a, t)) equals
// rotation_axis(a, t).

namespace base {

struct Quaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;

  friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

inline Quaternion operator+(const Quaternion& a, const Quaternion& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline Quaternion operator-(const Quaternion& a, const Quaternion& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}
inline Quaternion operator*(const Quaternion& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
inline Quaternion operator*(float s, const Quaternion& a) { return a * s; }
inline Quaternion operator-(const Quaternion& a) { return {-a.x, -a.y, -a.z, -a.w}; }

inline float dot(const Quaternion& a, const Quaternion& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
float length(const Quaternion& q);
// A zero quaternion stays zero.
Quaternion normalize(const Quaternion& q);
// The inverse rotation of a unit quaternion.
inline Quaternion conjugate(const Quaternion& q) { return {-q.x, -q.y, -q.z, q.w}; }

// The rotation q1 followed by q2, in the same order as matrices:
// rotation_quaternion(multiply(q1, q2)) == rotation_quaternion(q1) x
// rotation_quaternion(q2). (In Hamilton's notation this is q2 q1.)
Quaternion multiply(const Quaternion& q1, const Quaternion& q2);
inline Quaternion operator*(const Quaternion& q1, const Quaternion& q2) { return multiply(q1, q2); }

// The rotation matrix of a unit quaternion.
Matrix rotation_quaternion(const Quaternion& q);
// The unit quaternion of the rotation in the upper 3x3 of `m`, which must be
// a pure rotation.
Quaternion quaternion_rotation_matrix(const Matrix& m);
// Rotation by `angle` about `axis` (need not be unit length; a zero axis
// gives the identity).
Quaternion quaternion_rotation_axis(const Vec3& axis, float angle);
// Same order as rotation_yaw_pitch_roll: roll about z, pitch about x, yaw
// about y.
Quaternion quaternion_yaw_pitch_roll(float yaw, float pitch, float roll);

// Spherical interpolation along the shorter arc (b is negated when the two
// point into opposite half-spaces). When the two are nearly parallel it falls
// back to a normalised linear interpolation, which avoids dividing by a
// vanishing sine.
Quaternion slerp(const Quaternion& a, const Quaternion& b, float t);

// scaling(s) x rotation_quaternion(q) x translation(t): the local matrix of an
// animation key.
Matrix scale_rotate_translate(const Vec3& s, const Quaternion& q, const Vec3& t);

}  // namespace base
