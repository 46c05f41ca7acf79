#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "base/maths.h"

// Element-wise near-equality for the maths types, reporting the first
// element that differs.
namespace base_test {

inline constexpr float kTolerance = 1e-5f;

inline testing::AssertionResult near(const float* a, const float* b, int n, float tolerance) {
  for (int i = 0; i < n; ++i) {
    if (!(std::fabs(a[i] - b[i]) <= tolerance)) {
      return testing::AssertionFailure() << "element " << i << ": " << a[i] << " vs expected " << b[i];
    }
  }
  return testing::AssertionSuccess();
}

inline testing::AssertionResult near(const base::Vec2& a, const base::Vec2& b, float tolerance = kTolerance) {
  const float fa[2] = {a.x, a.y};
  const float fb[2] = {b.x, b.y};
  return near(fa, fb, 2, tolerance);
}
inline testing::AssertionResult near(const base::Vec3& a, const base::Vec3& b, float tolerance = kTolerance) {
  const float fa[3] = {a.x, a.y, a.z};
  const float fb[3] = {b.x, b.y, b.z};
  return near(fa, fb, 3, tolerance);
}
inline testing::AssertionResult near(const base::Vec4& a, const base::Vec4& b, float tolerance = kTolerance) {
  const float fa[4] = {a.x, a.y, a.z, a.w};
  const float fb[4] = {b.x, b.y, b.z, b.w};
  return near(fa, fb, 4, tolerance);
}
inline testing::AssertionResult near(const base::Quaternion& a, const base::Quaternion& b,
                                     float tolerance = kTolerance) {
  const float fa[4] = {a.x, a.y, a.z, a.w};
  const float fb[4] = {b.x, b.y, b.z, b.w};
  return near(fa, fb, 4, tolerance);
}
// q and -q are the same rotation.
inline testing::AssertionResult same_rotation(const base::Quaternion& a, const base::Quaternion& b,
                                              float tolerance = kTolerance) {
  if (near(a, b, tolerance)) return testing::AssertionSuccess();
  return near(a, -b, tolerance);
}
inline testing::AssertionResult near(const base::Matrix& a, const base::Matrix& b,
                                     float tolerance = kTolerance) {
  float fa[16];
  float fb[16];
  for (int i = 0; i < 16; ++i) {
    fa[i] = a.m[i / 4][i % 4];
    fb[i] = b.m[i / 4][i % 4];
  }
  return near(fa, fb, 16, tolerance);
}

inline base::Matrix rows(std::initializer_list<std::initializer_list<float>> values) {
  base::Matrix r;
  int i = 0;
  for (const auto& row : values) {
    int j = 0;
    for (float v : row) r.m[i][j++] = v;
    ++i;
  }
  return r;
}

}  // namespace base_test
