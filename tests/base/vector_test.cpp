#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/maths_expect.h"

namespace {

using base::Vec2;
using base::Vec3;
using base::Vec4;
using base_test::near;

TEST(VectorTest, ArithmeticOperators) {
  EXPECT_EQ((Vec3{1, 2, 3} + Vec3{4, 5, 6}), (Vec3{5, 7, 9}));
  EXPECT_EQ((Vec3{1, 2, 3} - Vec3{4, 5, 6}), (Vec3{-3, -3, -3}));
  EXPECT_EQ((Vec3{1, 2, 3} * 2.0f), (Vec3{2, 4, 6}));
  EXPECT_EQ((0.5f * Vec3{1, 2, 3}), (Vec3{0.5f, 1, 1.5f}));
  EXPECT_EQ(-(Vec3{1, -2, 3}), (Vec3{-1, 2, -3}));
  EXPECT_EQ((Vec2{1, 2} + Vec2{3, 4}), (Vec2{4, 6}));
  EXPECT_EQ((Vec4{1, 2, 3, 4} - Vec4{1, 1, 1, 1}) * 2.0f, (Vec4{0, 2, 4, 6}));
  EXPECT_FALSE((Vec3{1, 2, 3} == Vec3{1, 2, 4}));
}

TEST(VectorTest, DotCrossAndLength) {
  struct Case {
    Vec3 a, b;
    float dot;
    Vec3 cross;
  };
  const Case cases[] = {
      {{1, 0, 0}, {0, 1, 0}, 0, {0, 0, 1}}, {{0, 1, 0}, {0, 0, 1}, 0, {1, 0, 0}},
      {{0, 0, 1}, {1, 0, 0}, 0, {0, 1, 0}}, {{1, 2, 3}, {4, 5, 6}, 32, {-3, 6, -3}},
      {{2, 0, 0}, {3, 0, 0}, 6, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(base::dot(c.a, c.b), c.dot);
    EXPECT_EQ(base::cross(c.a, c.b), c.cross);
  }
  EXPECT_FLOAT_EQ(base::length(Vec3{2, 3, 6}), 7.0f);
  EXPECT_FLOAT_EQ(base::length_sq(Vec3{2, 3, 6}), 49.0f);
  EXPECT_FLOAT_EQ(base::length(Vec2{3, 4}), 5.0f);
  EXPECT_FLOAT_EQ(base::length(Vec4{1, 1, 1, 1}), 2.0f);
  EXPECT_FLOAT_EQ(base::dot(Vec4{1, 2, 3, 4}, Vec4{5, 6, 7, 8}), 70.0f);
}

TEST(VectorTest, NormalizeGivesUnitLengthAndKeepsZeroAtZero) {
  EXPECT_TRUE(near(base::normalize(Vec3{3, 0, 4}), Vec3{0.6f, 0, 0.8f}));
  EXPECT_TRUE(near(base::normalize(Vec2{0, -5}), Vec2{0, -1}));
  EXPECT_TRUE(near(base::normalize(Vec4{2, 2, 2, 2}), Vec4{0.5f, 0.5f, 0.5f, 0.5f}));
  // So short that its squared length underflows float.
  EXPECT_TRUE(near(base::normalize(Vec3{3e-23f, 0, 4e-23f}), Vec3{0.6f, 0, 0.8f}));

  EXPECT_EQ(base::normalize(Vec3{}), Vec3{});
  EXPECT_EQ(base::normalize(Vec2{}), Vec2{});
  EXPECT_EQ(base::normalize(Vec4{}), Vec4{});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(base::normalize(Vec3{nan, 0, 0}), Vec3{});
}

TEST(VectorTest, LerpMinimizeMaximize) {
  EXPECT_EQ(base::lerp(Vec3{0, 10, -4}, Vec3{10, 20, 4}, 0.25f), (Vec3{2.5f, 12.5f, -2}));
  EXPECT_EQ(base::lerp(Vec3{1, 1, 1}, Vec3{3, 3, 3}, 0.0f), (Vec3{1, 1, 1}));
  EXPECT_EQ(base::lerp(Vec3{1, 1, 1}, Vec3{3, 3, 3}, 1.0f), (Vec3{3, 3, 3}));
  EXPECT_EQ(base::lerp(Vec2{0, 0}, Vec2{2, 4}, 1.5f), (Vec2{3, 6}));
  EXPECT_EQ(base::minimize(Vec3{1, 5, -2}, Vec3{3, 4, -1}), (Vec3{1, 4, -2}));
  EXPECT_EQ(base::maximize(Vec3{1, 5, -2}, Vec3{3, 4, -1}), (Vec3{3, 5, -1}));
}

TEST(BoxProbeTest, RaysAgainstUnitBox) {
  const Vec3 lo{-1, -1, -1};
  const Vec3 hi{1, 1, 1};
  struct Case {
    const char* what;
    Vec3 origin, direction;
    bool hit;
  };
  const Case cases[] = {
      {"straight in along z", {0, 0, -5}, {0, 0, 1}, true},
      {"pointing away", {0, 0, -5}, {0, 0, -1}, false},
      {"parallel, outside the slab", {0, 2, -5}, {0, 0, 1}, false},
      {"parallel, on the face", {0, 1, -5}, {0, 0, 1}, true},
      {"diagonal through a corner region", {-3, -3, -3}, {1, 1, 1}, true},
      {"diagonal that passes beside a corner", {-3, 0, 0}, {1, 0, 1}, false},
      {"starts inside", {0.5f, 0.5f, 0.5f}, {0, 1, 0}, true},
      {"misses above after entering x range", {-5, 3, 0}, {1, 0.1f, 0}, false},
      {"long direction vector", {5, 0, 0}, {-100, 1, 0}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base::box_bound_probe(lo, hi, c.origin, c.direction), c.hit) << c.what;
  }
}

}  // namespace
