#pragma once

// Small float vectors. Coordinates are left-handed with y up.

namespace base {

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;

  Vec2& operator+=(const Vec2& o) {
    x += o.x;
    y += o.y;
    return *this;
  }
  Vec2& operator-=(const Vec2& o) {
    x -= o.x;
    y -= o.y;
    return *this;
  }
  Vec2& operator*=(float s) {
    x *= s;
    y *= s;
    return *this;
  }
  friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  Vec3& operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  Vec3& operator-=(const Vec3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Vec4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;

  Vec4& operator+=(const Vec4& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    w += o.w;
    return *this;
  }
  Vec4& operator-=(const Vec4& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    w -= o.w;
    return *this;
  }
  Vec4& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    w *= s;
    return *this;
  }
  friend bool operator==(const Vec4&, const Vec4&) = default;
};

inline Vec2 operator+(Vec2 a, const Vec2& b) { return a += b; }
inline Vec2 operator-(Vec2 a, const Vec2& b) { return a -= b; }
inline Vec2 operator*(Vec2 a, float s) { return a *= s; }
inline Vec2 operator*(float s, Vec2 a) { return a *= s; }
inline Vec2 operator-(const Vec2& a) { return {-a.x, -a.y}; }

inline Vec3 operator+(Vec3 a, const Vec3& b) { return a += b; }
inline Vec3 operator-(Vec3 a, const Vec3& b) { return a -= b; }
inline Vec3 operator*(Vec3 a, float s) { return a *= s; }
inline Vec3 operator*(float s, Vec3 a) { return a *= s; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }

inline Vec4 operator+(Vec4 a, const Vec4& b) { return a += b; }
inline Vec4 operator-(Vec4 a, const Vec4& b) { return a -= b; }
inline Vec4 operator*(Vec4 a, float s) { return a *= s; }
inline Vec4 operator*(float s, Vec4 a) { return a *= s; }
inline Vec4 operator-(const Vec4& a) { return {-a.x, -a.y, -a.z, -a.w}; }

inline float dot(const Vec2& a, const Vec2& b) { return a.x * b.x + a.y * b.y; }
inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float dot(const Vec4& a, const Vec4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float length_sq(const Vec2& a) { return dot(a, a); }
inline float length_sq(const Vec3& a) { return dot(a, a); }
inline float length_sq(const Vec4& a) { return dot(a, a); }

float length(const Vec2& a);
float length(const Vec3& a);
float length(const Vec4& a);

// A zero vector (or one too short to divide by) stays zero instead of
// becoming NaN.
Vec2 normalize(const Vec2& a);
Vec3 normalize(const Vec3& a);
Vec4 normalize(const Vec4& a);

// a + (b - a) * t; t is not clamped.
inline Vec2 lerp(const Vec2& a, const Vec2& b, float t) { return a + (b - a) * t; }
inline Vec3 lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }
inline Vec4 lerp(const Vec4& a, const Vec4& b, float t) { return a + (b - a) * t; }

// Component-wise minimum and maximum, for bounding boxes.
Vec3 minimize(const Vec3& a, const Vec3& b);
Vec3 maximize(const Vec3& a, const Vec3& b);

}  // namespace base
