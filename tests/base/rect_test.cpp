#include "base/rect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using base::Rect;

TEST(RectTest, SizeEmptyAndContains) {
  const Rect r{10, 20, 30, 60};
  EXPECT_EQ(r.width(), 20);
  EXPECT_EQ(r.height(), 40);
  EXPECT_FALSE(r.empty());

  struct EmptyCase {
    Rect r;
    bool empty;
  };
  const EmptyCase empties[] = {
      {{0, 0, 0, 0}, true},  {{0, 0, 1, 1}, false}, {{5, 0, 5, 10}, true},       {{0, 5, 10, 5}, true},
      {{6, 0, 5, 10}, true}, {{0, 6, 10, 5}, true}, {{-10, -10, -9, -9}, false},
  };
  for (const EmptyCase& c : empties) {
    EXPECT_EQ(c.r.empty(), c.empty) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
  }

  struct PointCase {
    std::int32_t x, y;
    bool inside;
  };
  // Left and top are inside, right and bottom are not.
  const PointCase points[] = {
      {10, 20, true}, {29, 59, true},  {30, 20, false}, {10, 60, false},
      {9, 30, false}, {15, 19, false}, {20, 40, true},
  };
  for (const PointCase& c : points) EXPECT_EQ(r.contains(c.x, c.y), c.inside) << c.x << "," << c.y;
  EXPECT_FALSE((Rect{5, 5, 5, 10}.contains(5, 5)));
}

TEST(RectTest, IntersectAndUniteTable) {
  struct Case {
    const char* what;
    Rect a, b, intersection, both;
  };
  const Case cases[] = {
      {"overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, {0, 0, 15, 15}},
      {"one inside the other", {0, 0, 100, 100}, {10, 20, 30, 40}, {10, 20, 30, 40}, {0, 0, 100, 100}},
      {"touching edges do not overlap", {0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, {0, 0, 20, 10}},
      {"apart", {0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 0, 0}, {0, 0, 30, 30}},
      {"negative coordinates", {-20, -20, -5, -5}, {-10, -30, 0, -8}, {-10, -20, -5, -8}, {-20, -30, 0, -5}},
      {"empty operand is ignored by the union", {3, 3, 3, 50}, {5, 5, 8, 9}, {0, 0, 0, 0}, {5, 5, 8, 9}},
      {"empty on the other side", {5, 5, 8, 9}, {100, 100, 90, 90}, {0, 0, 0, 0}, {5, 5, 8, 9}},
      {"both empty", {3, 3, 3, 3}, {7, 9, 1, 2}, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base::intersect(c.a, c.b), c.intersection) << c.what;
    EXPECT_EQ(base::intersect(c.b, c.a), c.intersection) << c.what;
    EXPECT_EQ(base::unite(c.a, c.b), c.both) << c.what;
    EXPECT_EQ(base::unite(c.b, c.a), c.both) << c.what;
  }
}

TEST(RectTest, OffsetInflateEqual) {
  const Rect r{10, 20, 30, 40};
  EXPECT_EQ(base::offset(r, 5, -25), (Rect{15, -5, 35, 15}));
  EXPECT_EQ(base::inflate(r, 2, 3), (Rect{8, 17, 32, 43}));
  EXPECT_EQ(base::inflate(r, -1, -1), (Rect{11, 21, 29, 39}));
  // Shrinking past nothing gives an inverted, hence empty, rectangle.
  EXPECT_TRUE(base::inflate(r, -15, 0).empty());
  EXPECT_TRUE(base::equal(r, Rect{10, 20, 30, 40}));
  EXPECT_FALSE(base::equal(r, Rect{10, 20, 30, 41}));
}

TEST(RectTest, ExtremeCoordinatesWrapInsteadOfOverflowing) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const Rect wide{kMin, 0, kMax, 1};
  EXPECT_EQ(wide.width(), -1);
  EXPECT_EQ(base::offset(Rect{kMax, 0, kMax, 0}, 1, 0).left, kMin);
  EXPECT_EQ(base::inflate(Rect{kMin, kMin, kMax, kMax}, 1, 1), (Rect{kMax, kMax, kMin, kMin}));
}

}  // namespace
