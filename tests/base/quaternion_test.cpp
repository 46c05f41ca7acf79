#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/maths_expect.h"

namespace {

using base::Matrix;
using base::Quaternion;
using base::Vec3;
using base_test::near;
using base_test::rows;
using base_test::same_rotation;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalfPi = kPi / 2;
constexpr float kRootHalf = 0.70710678f;

const Quaternion kQuarterX = {kRootHalf, 0, 0, kRootHalf};
const Quaternion kQuarterY = {0, kRootHalf, 0, kRootHalf};
const Quaternion kQuarterZ = {0, 0, kRootHalf, kRootHalf};
// yaw 0.5, pitch -0.3, roll 1.2, from the half-angle product formula.
const Quaternion kYawPitchRoll = {0.0186238f, 0.2836544f, 0.5714599f, 0.7698227f};
const Matrix kYawPitchRollMatrix = rows({{0.1859476f, 0.8904109f, -0.4154417f, 0},
                                         {-0.8692801f, 0.3461736f, 0.3528683f, 0},
                                         {0.4580127f, 0.2955202f, 0.8383866f, 0},
                                         {0, 0, 0, 1}});

TEST(QuaternionTest, FromAxisAngleAndAngles) {
  EXPECT_TRUE(near(base::quaternion_rotation_axis({0, 0, 3}, kHalfPi), kQuarterZ));
  EXPECT_TRUE(near(base::quaternion_rotation_axis({1, 0, 0}, kHalfPi), kQuarterX));
  EXPECT_EQ(base::quaternion_rotation_axis({0, 0, 0}, 1.0f), Quaternion{});
  EXPECT_TRUE(near(base::quaternion_yaw_pitch_roll(0.5f, -0.3f, 1.2f), kYawPitchRoll));
  EXPECT_TRUE(near(base::quaternion_yaw_pitch_roll(kHalfPi, 0, 0), kQuarterY));
}

TEST(QuaternionTest, MatrixFromQuaternionTable) {
  struct Case {
    const char* what;
    Quaternion q;
    Matrix m;
  };
  const Case cases[] = {
      {"identity", {}, base::identity()},
      {"quarter turn about z", kQuarterZ, base::rotation_z(kHalfPi)},
      {"quarter turn about x", kQuarterX, base::rotation_x(kHalfPi)},
      {"yaw, pitch, roll", kYawPitchRoll, kYawPitchRollMatrix},
      {"x then y",
       {0.5f, 0.5f, -0.5f, 0.5f},
       rows({{0, 0, -1, 0}, {1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 0, 1}})},
  };
  for (const Case& c : cases) EXPECT_TRUE(near(base::rotation_quaternion(c.q), c.m)) << c.what;
}

TEST(QuaternionTest, AxisAngleAgreesWithMatrixRotation) {
  const Vec3 axes[] = {{1, 2, 3}, {-1, 0.5f, 0}, {0, -1, 0}};
  const float angles[] = {0.3f, -2.0f, 3.0f};
  for (const Vec3& axis : axes) {
    for (float angle : angles) {
      EXPECT_TRUE(near(base::rotation_quaternion(base::quaternion_rotation_axis(axis, angle)),
                       base::rotation_axis(axis, angle)))
          << axis.x << "," << axis.y << "," << axis.z << " by " << angle;
    }
  }
}

TEST(QuaternionTest, QuaternionFromMatrixTable) {
  // One case for each way of taking the square root: positive trace, and x,
  // y or z the largest diagonal element.
  struct Case {
    const char* what;
    Matrix m;
    Quaternion q;
  };
  const Case cases[] = {
      {"identity", base::identity(), {}},
      {"quarter turn about z", base::rotation_z(kHalfPi), kQuarterZ},
      {"yaw, pitch, roll", kYawPitchRollMatrix, kYawPitchRoll},
      {"half turn about x", base::rotation_x(kPi), {1, 0, 0, 0}},
      {"half turn about y", base::rotation_y(kPi), {0, 1, 0, 0}},
      {"half turn about z", base::rotation_z(kPi), {0, 0, 1, 0}},
      {"179 degrees about (1,1,0)",
       base::rotation_axis({1, 1, 0}, 179 * kPi / 180),
       {0.70707986f, 0.70707986f, 0, 0.00872654f}},
      {"170 degrees about y", base::rotation_y(170 * kPi / 180), {0, 0.99619470f, 0, 0.08715574f}},
      {"-160 degrees about z", base::rotation_z(-160 * kPi / 180), {0, 0, -0.98480775f, 0.17364818f}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(same_rotation(base::quaternion_rotation_matrix(c.m), c.q)) << c.what;
  }
}

TEST(QuaternionTest, MultiplyAppliesTheFirstRotationFirst) {
  const Quaternion xy = base::multiply(kQuarterX, kQuarterY);
  EXPECT_TRUE(near(xy, Quaternion{0.5f, 0.5f, -0.5f, 0.5f}));
  EXPECT_EQ(kQuarterX * kQuarterY, xy);
  EXPECT_TRUE(near(base::rotation_quaternion(xy), base::rotation_x(kHalfPi) * base::rotation_y(kHalfPi)));
  // x then y takes y to z, then z to x.
  EXPECT_TRUE(near(base::transform_normal({0, 1, 0}, base::rotation_quaternion(xy)), Vec3{1, 0, 0}));

  const Quaternion yx = base::multiply(kQuarterY, kQuarterX);
  EXPECT_TRUE(near(base::rotation_quaternion(yx), base::rotation_y(kHalfPi) * base::rotation_x(kHalfPi)));
  EXPECT_TRUE(near(kYawPitchRoll * base::conjugate(kYawPitchRoll), Quaternion{}));
}

TEST(QuaternionTest, NormalizeKeepsZeroAtZero) {
  EXPECT_TRUE(near(base::normalize(Quaternion{0, 0, 3, 4}), Quaternion{0, 0, 0.6f, 0.8f}));
  EXPECT_EQ(base::normalize(Quaternion{0, 0, 0, 0}), (Quaternion{0, 0, 0, 0}));
  EXPECT_FLOAT_EQ(base::length(Quaternion{1, 1, 1, 1}), 2.0f);
}

TEST(QuaternionTest, SlerpTable) {
  const Quaternion eighth_z = {0, 0, 0.38268343f, 0.92387953f};
  struct Case {
    const char* what;
    Quaternion a, b;
    float t;
    Quaternion expected;
  };
  const Case cases[] = {
      {"start", Quaternion{}, kQuarterZ, 0, Quaternion{}},
      {"end", Quaternion{}, kQuarterZ, 1, kQuarterZ},
      {"halfway", Quaternion{}, kQuarterZ, 0.5f, eighth_z},
      // -kQuarterZ is the same rotation; the short way round gives the same
      // halfway point instead of a turn of -135 degrees.
      {"shortest arc", Quaternion{}, -kQuarterZ, 0.5f, eighth_z},
      {"between two axes", kQuarterX, kQuarterY, 0.3f, {0.5463429f, 0.2523113f, 0, 0.7986542f}},
      {"equal ends", kYawPitchRoll, kYawPitchRoll, 0.4f, kYawPitchRoll},
      {"nearly parallel",
       base::quaternion_rotation_axis({0, 0, 1}, 0.001f),
       base::quaternion_rotation_axis({0, 0, 1}, 0.002f),
       0.5f,
       {0, 0, 0.00075f, 0.99999972f}},
  };
  for (const Case& c : cases) {
    const Quaternion q = base::slerp(c.a, c.b, c.t);
    EXPECT_TRUE(near(q, c.expected)) << c.what;
    EXPECT_NEAR(base::length(q), 1.0f, 1e-5f) << c.what;
  }
}

TEST(QuaternionTest, ScaleRotateTranslateIsTheProductOfItsParts) {
  const Vec3 s{2, 3, 4};
  const Vec3 t{-1, 5, 7};
  const Matrix expected = base::scaling(s) * base::rotation_quaternion(kYawPitchRoll) * base::translation(t);
  EXPECT_TRUE(near(base::scale_rotate_translate(s, kYawPitchRoll, t), expected));
}

}  // namespace
