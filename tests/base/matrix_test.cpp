#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "base/maths_expect.h"

namespace {

using base::Matrix;
using base::Vec3;
using base::Vec4;
using base_test::near;
using base_test::rows;

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

const Matrix kA = rows({{2, 0, 1, 0}, {1, 3, 0, 0}, {0, 1, 4, 0}, {5, -2, 3, 1}});
const Matrix kB = rows({{1, 2, 0, 0}, {0, 1, 0, 3}, {2, 0, 1, 0}, {1, 1, 1, 1}});

TEST(MatrixTest, IdentityAndTranspose) {
  EXPECT_EQ(base::identity(), rows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}));
  EXPECT_EQ(base::transpose(kB), rows({{1, 0, 2, 1}, {2, 1, 0, 1}, {0, 0, 1, 1}, {0, 3, 0, 1}}));
}

TEST(MatrixTest, MultiplyTable) {
  struct Case {
    const char* what;
    Matrix a, b, product;
  };
  const Case cases[] = {
      {"general", kA, kB, rows({{4, 4, 1, 0}, {1, 5, 0, 9}, {8, 1, 4, 3}, {12, 9, 4, -5}})},
      {"identity on the left", base::identity(), kA, kA},
      {"identity on the right", kA, base::identity(), kA},
      // Scale first, then move: the translation row is not scaled.
      {"scale then translate", base::scaling(2, 3, 4), base::translation(1, 2, 3),
       rows({{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {1, 2, 3, 1}})},
      // Move first, then scale: the translation is scaled too.
      {"translate then scale", base::translation(1, 2, 3), base::scaling(2, 3, 4),
       rows({{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {2, 6, 12, 1}})},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(near(base::multiply(c.a, c.b), c.product)) << c.what;
    EXPECT_EQ(c.a * c.b, base::multiply(c.a, c.b)) << c.what;
  }
}

TEST(MatrixTest, ChainAppliesLeftToRight) {
  // world = local x parent: a point is first turned by local, then moved by
  // the parent.
  const Matrix world = base::rotation_z(kHalfPi) * base::translation(10, 0, 0);
  EXPECT_TRUE(near(base::transform_coord(Vec3{1, 0, 0}, world), Vec3{10, 1, 0}));
}

TEST(MatrixTest, DeterminantTable) {
  struct Case {
    const char* what;
    Matrix m;
    float det;
  };
  const Case cases[] = {
      {"identity", base::identity(), 1},
      {"scaling", base::scaling(2, 3, 4), 24},
      {"rotation", base::rotation_axis(Vec3{1, 2, 3}, 0.7f), 1},
      {"general A", kA, 25},
      {"general B", kB, -8},
      {"two equal rows", rows({{1, 2, 3, 4}, {1, 2, 3, 4}, {0, 1, 0, 0}, {0, 0, 0, 1}}), 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(base::determinant(c.m), c.det, 1e-5f) << c.what;
}

TEST(MatrixTest, InverseTable) {
  struct Case {
    const char* what;
    Matrix m, inverse;
    float det;
  };
  const Case cases[] = {
      {"identity", base::identity(), base::identity(), 1},
      {"translation", base::translation(1, -2, 3), base::translation(-1, 2, -3), 1},
      {"scaling", base::scaling(2, 4, -8), base::scaling(0.5f, 0.25f, -0.125f), -64},
      {"rotation is its transpose", base::rotation_x(0.3f), base::transpose(base::rotation_x(0.3f)), 1},
      {"general A", kA,
       rows({{12 / 25.f, 1 / 25.f, -3 / 25.f, 0},
             {-4 / 25.f, 8 / 25.f, 1 / 25.f, 0},
             {1 / 25.f, -2 / 25.f, 6 / 25.f, 0},
             {-71 / 25.f, 17 / 25.f, -1 / 25.f, 1}}),
       25},
      {"general B, projective column", kB,
       rows({{0.25f, 0.25f, 0.75f, -0.75f},
             {0.375f, -0.125f, -0.375f, 0.375f},
             {-0.5f, -0.5f, -0.5f, 1.5f},
             {-0.125f, 0.375f, 0.125f, -0.125f}}),
       -8},
      {"needs row exchange", rows({{1, 2, 3, 4}, {0, 1, 0, 2}, {3, 0, 1, 0}, {2, 1, 0, 1}}),
       rows({{-0.125f, 0.25f, 0.375f, 0},
             {0.5f, -2, -1.5f, 2},
             {0.375f, -0.75f, -0.125f, 0},
             {-0.25f, 1.5f, 0.75f, -1}}),
       8},
  };
  for (const Case& c : cases) {
    float det = 0;
    const std::optional<Matrix> inv = base::inverse(c.m, &det);
    ASSERT_TRUE(inv.has_value()) << c.what;
    EXPECT_TRUE(near(*inv, c.inverse)) << c.what;
    EXPECT_NEAR(det, c.det, 1e-4f) << c.what;
    EXPECT_TRUE(near(*inv * c.m, base::identity())) << c.what;
  }
}

TEST(MatrixTest, SingularMatrixHasNoInverse) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    Matrix m;
  };
  const Case cases[] = {
      {"zero", Matrix{}},
      {"flattened axis", base::scaling(1, 0, 1)},
      {"two equal rows", rows({{1, 2, 3, 4}, {1, 2, 3, 4}, {0, 1, 0, 0}, {0, 0, 0, 1}})},
      {"row a multiple of another", rows({{1, 2, 3, 0}, {0, 1, 0, 0}, {2, 4, 6, 0}, {5, 6, 7, 1}})},
      {"NaN element", rows({{nan, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}})},
      // Invertible in exact arithmetic, but the inverse overflows float.
      {"inverse beyond float range", base::scaling(1e-39f, 1, 1)},
  };
  for (const Case& c : cases) EXPECT_FALSE(base::inverse(c.m).has_value()) << c.what;

  float det = 5;
  EXPECT_FALSE(base::inverse(base::scaling(0, 1, 1), &det).has_value());
  EXPECT_EQ(det, 0.0f);
}

TEST(MatrixTest, RotationsTurnAxesTable) {
  struct Case {
    const char* what;
    Matrix m;
    Vec3 in, out;
  };
  const Case cases[] = {
      {"x: y to z", base::rotation_x(kHalfPi), {0, 1, 0}, {0, 0, 1}},
      {"x: z to -y", base::rotation_x(kHalfPi), {0, 0, 1}, {0, -1, 0}},
      {"y: z to x", base::rotation_y(kHalfPi), {0, 0, 1}, {1, 0, 0}},
      {"y: x to -z", base::rotation_y(kHalfPi), {1, 0, 0}, {0, 0, -1}},
      {"z: x to y", base::rotation_z(kHalfPi), {1, 0, 0}, {0, 1, 0}},
      {"z: y to -x", base::rotation_z(kHalfPi), {0, 1, 0}, {-1, 0, 0}},
      {"z negative angle", base::rotation_z(-kHalfPi), {1, 0, 0}, {0, -1, 0}},
      {"axis need not be unit", base::rotation_axis({0, 0, 2}, kHalfPi), {1, 0, 0}, {0, 1, 0}},
      {"axis (1,1,1) a third turn: x to y",
       base::rotation_axis({1, 1, 1}, 2 * std::numbers::pi_v<float> / 3),
       {1, 0, 0},
       {0, 1, 0}},
      {"axis (1,1,1) a third turn: y to z",
       base::rotation_axis({1, 1, 1}, 2 * std::numbers::pi_v<float> / 3),
       {0, 1, 0},
       {0, 0, 1}},
      {"zero axis is no rotation", base::rotation_axis({0, 0, 0}, 1.0f), {1, 2, 3}, {1, 2, 3}},
      // Roll about z, then pitch about x, then yaw about y.
      {"roll and pitch", base::rotation_yaw_pitch_roll(0, kHalfPi, kHalfPi), {1, 0, 0}, {0, 0, 1}},
      {"roll, pitch and yaw", base::rotation_yaw_pitch_roll(kHalfPi, kHalfPi, kHalfPi), {1, 0, 0}, {1, 0, 0}},
      {"roll, pitch and yaw on z",
       base::rotation_yaw_pitch_roll(kHalfPi, kHalfPi, kHalfPi),
       {0, 0, 1},
       {0, -1, 0}},
      {"yaw alone", base::rotation_yaw_pitch_roll(kHalfPi, 0, 0), {0, 0, 1}, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(near(base::transform_normal(c.in, c.m), c.out)) << c.what;
  }
}

TEST(MatrixTest, RotationAxisMatchesTheAxisRotations) {
  EXPECT_TRUE(near(base::rotation_axis({1, 0, 0}, 0.4f), base::rotation_x(0.4f)));
  EXPECT_TRUE(near(base::rotation_axis({0, 1, 0}, 0.4f), base::rotation_y(0.4f)));
  EXPECT_TRUE(near(base::rotation_axis({0, 0, 1}, 0.4f), base::rotation_z(0.4f)));
}

TEST(MatrixTest, YawPitchRollGeneralAngles) {
  // Rz(1.2) Rx(-0.3) Ry(0.5), multiplied out by hand.
  const Matrix expected = rows({{0.1859476f, 0.8904109f, -0.4154417f, 0},
                                {-0.8692801f, 0.3461736f, 0.3528683f, 0},
                                {0.4580127f, 0.2955202f, 0.8383866f, 0},
                                {0, 0, 0, 1}});
  EXPECT_TRUE(near(base::rotation_yaw_pitch_roll(0.5f, -0.3f, 1.2f), expected));
}

TEST(MatrixTest, ViewAndProjectionMatrices) {
  struct Case {
    const char* what;
    Matrix actual, expected;
  };
  const Case cases[] = {
      {"look along +z", base::look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}), base::translation(0, 0, 5)},
      {"look along -x", base::look_at_lh({5, 0, 0}, {0, 0, 0}, {0, 1, 0}),
       rows({{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 5, 1}})},
      {"look down with z up", base::look_at_lh({0, 5, 0}, {0, 0, 0}, {0, 0, 1}),
       rows({{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 5, 1}})},
      {"perspective", base::perspective_fov_lh(kHalfPi, 2, 1, 101),
       rows({{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.01f, 1}, {0, 0, -1.01f, 0}})},
      {"ortho", base::ortho_lh(4, 2, 1, 5),
       rows({{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0.25f, 0}, {0, 0, -0.25f, 1}})},
      {"gl depth remap", base::gl_depth_remap(),
       rows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 2, 0}, {0, 0, -1, 1}})},
  };
  for (const Case& c : cases) EXPECT_TRUE(near(c.actual, c.expected)) << c.what;
}

TEST(MatrixTest, TransformTable) {
  const Matrix perspective = base::perspective_fov_lh(kHalfPi, 2, 1, 101);
  const Matrix gl_perspective = perspective * base::gl_depth_remap();
  struct Case {
    const char* what;
    Matrix m;
    Vec3 point, coord, normal;
    Vec4 homogeneous;
  };
  const Case cases[] = {
      {"translation moves points, not normals",
       base::translation(1, 2, 3),
       {1, 2, 3},
       {2, 4, 6},
       {1, 2, 3},
       {2, 4, 6, 1}},
      {"scaling", base::scaling(2, 3, 4), {1, 1, 1}, {2, 3, 4}, {2, 3, 4}, {2, 3, 4, 1}},
      {"near plane goes to depth 0", perspective, {1, 1, 1}, {0.5f, 1, 0}, {0.5f, 1, 1.01f}, {0.5f, 1, 0, 1}},
      {"far plane goes to depth 1", perspective, {0, 0, 101}, {0, 0, 1}, {0, 0, 102.01f}, {0, 0, 101, 101}},
      {"halfway in depth", perspective, {0, 0, 2}, {0, 0, 1.01f / 2}, {0, 0, 2.02f}, {0, 0, 1.01f, 2}},
      // On the eye plane w is 0: the undivided values come back.
      {"w of zero is not divided by", perspective, {2, 3, 0}, {1, 3, -1.01f}, {1, 3, 0}, {1, 3, -1.01f, 0}},
      {"gl: near plane to -1", gl_perspective, {0, 0, 1}, {0, 0, -1}, {0, 0, 1.02f}, {0, 0, -1, 1}},
      {"gl: far plane to +1", gl_perspective, {0, 0, 101}, {0, 0, 1}, {0, 0, 103.02f}, {0, 0, 101, 101}},
      {"ortho near corner", base::ortho_lh(4, 2, 1, 5), {2, 1, 1}, {1, 1, 0}, {1, 1, 0.25f}, {1, 1, 0, 1}},
      {"ortho far corner",
       base::ortho_lh(4, 2, 1, 5),
       {-2, -1, 5},
       {-1, -1, 1},
       {-1, -1, 1.25f},
       {-1, -1, 1, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(near(base::transform_coord(c.point, c.m), c.coord, 1e-4f)) << c.what;
    EXPECT_TRUE(near(base::transform_normal(c.point, c.m), c.normal, 1e-4f)) << c.what;
    EXPECT_TRUE(near(base::transform(c.point, c.m), c.homogeneous, 1e-4f)) << c.what;
  }
  EXPECT_TRUE(near(base::transform(Vec4{1, 2, 3, 0}, base::translation(5, 5, 5)), Vec4{1, 2, 3, 0}));
  EXPECT_TRUE(near(base::transform(Vec4{1, 2, 3, 2}, base::translation(5, 5, 5)), Vec4{11, 12, 13, 2}));
}

TEST(MatrixTest, LookAtPutsTheTargetAheadOfTheEye) {
  const Vec3 eye{1, 2, -3};
  const Vec3 at{4, 6, -3};
  const Matrix view = base::look_at_lh(eye, at, {0, 1, 0});
  EXPECT_TRUE(near(base::transform_coord(eye, view), Vec3{0, 0, 0}));
  EXPECT_TRUE(near(base::transform_coord(at, view), Vec3{0, 0, 5}, 1e-4f));
}

}  // namespace
