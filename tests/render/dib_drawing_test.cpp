#include "render/dib_drawing.h"

#include <gtest/gtest.h>

namespace {

using render::GdiBitmap;
using render::PackedDib;

TEST(DibDrawingTest, Blend) {
  EXPECT_EQ(render::blend(0xFF102030, 0x80FFFFFF), 0xFF878F97u);
  EXPECT_EQ(render::blend(0x12345678, 0x00FFFFFF), 0x12345678u) << "alpha 0 keeps what is under";
  EXPECT_EQ(render::blend(0x12345678, 0xFFABCDEF), 0xFFABCDEFu) << "alpha 255 replaces it";
  EXPECT_EQ(render::blend(0x00000000, 0x01FF0000), 0xFF000000u) << "255 x 1 / 256 rounds down";
}

// A 2-wide strip of `frames` frames of 1 row: frame k is solid 0xFF0000kk.
PackedDib strip_of(int frames, int bits = 32) {
  PackedDib strip;
  strip.create(2, frames, bits);
  for (int k = 0; k < frames; ++k) {
    for (std::uint32_t x = 0; x < 2; ++x)
      strip.set_pixel(x, static_cast<std::uint32_t>(k), 0xFF000000u | static_cast<std::uint32_t>(k + 1));
  }
  return strip;
}

TEST(DibDrawingTest, StripFramesAreClampedAndClipped) {
  struct Case {
    const char* what;
    int frame_count, frame, x, y;
    std::vector<std::uint32_t> expected;  // the 3 x 2 target afterwards, which starts grey
  };
  constexpr std::uint32_t g = 0x808080;
  const Case cases[] = {
      {"frame 1", 4, 1, 0, 0, {0xFF000002, 0xFF000002, g, g, g, g}},
      {"frame 9 of 4 shows frame 3", 4, 9, 1, 1, {g, g, g, g, 0xFF000004, 0xFF000004}},
      {"a negative frame shows frame 0", 4, -2, 0, 1, {g, g, g, 0xFF000001, 0xFF000001, g}},
      {"no frames", 0, 0, 0, 0, {g, g, g, g, g, g}},
      {"more frames than rows", 5, 0, 0, 0, {g, g, g, g, g, g}},
      {"past the right edge", 4, 0, 2, 0, {g, g, 0xFF000001, g, g, g}},
      {"above the top", 4, 0, -1, -1, {g, g, g, g, g, g}},
      {"far outside", 4, 0, -2147483647, 2147483647, {g, g, g, g, g, g}},
  };
  const PackedDib strip = strip_of(4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GdiBitmap target;
    ASSERT_TRUE(target.dib_section(3, 2, 32));
    target.fill({0, 0, 3, 2}, g);
    render::draw_strip_frame(strip, c.frame_count, target, c.x, c.y, c.frame);
    const std::vector<std::uint32_t> got(target.pixels().begin(), target.pixels().end());
    EXPECT_EQ(got, c.expected);
  }
}

TEST(DibDrawingTest, ThirtyTwoBitStripsBlendOtherDepthsCopy) {
  PackedDib strip;
  ASSERT_TRUE(strip.create(1, 2, 32));
  strip.set_pixel(0, 0, 0x80FFFFFF);
  strip.set_pixel(0, 1, 0x00FFFFFF);
  GdiBitmap target;
  ASSERT_TRUE(target.dib_section(1, 1, 24));
  target.fill({0, 0, 1, 1}, 0x302010);  // 0x102030
  render::draw_strip_frame(strip, 2, target, 0, 0, 0);
  EXPECT_EQ(target.pixel(0, 0), 0x878F97u) << "composed, and the 24-bit target drops the alpha";
  render::draw_strip_frame(strip, 2, target, 0, 0, 1);
  EXPECT_EQ(target.pixel(0, 0), 0x878F97u) << "a transparent frame leaves it";

  const PackedDib opaque = strip_of(2, 24);
  render::draw_strip_frame(opaque, 2, target, 0, 0, 1);
  EXPECT_EQ(target.pixel(0, 0), 0x000002u);
}

TEST(DibDrawingTest, ThreeSliceColumns) {
  struct Case {
    const char* what;
    int frame, target;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"odd frame", 5, 9, {0, 1, 2, 2, 2, 2, 2, 3, 4}},
      {"even frame: the right is the last columns", 4, 9, {0, 1, 2, 2, 2, 2, 2, 2, 3}},
      {"narrower than the frame", 9, 3, {0, 1, 8}},
      {"narrower, even", 9, 4, {0, 1, 7, 8}},
      {"as wide as the frame", 5, 5, {0, 1, 2, 3, 4}},
      {"one-column frame", 1, 4, {0, 0, 0, 0}},
      {"two-column frame", 2, 5, {0, 1, 1, 1, 1}},
      {"target of one", 6, 1, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int> got;
    for (int i = 0; i < c.target; ++i) {
      const int column = render::three_slice_source(i, c.target, c.frame);
      EXPECT_GE(column, 0);
      EXPECT_LT(column, c.frame);
      got.push_back(column);
    }
    EXPECT_EQ(got, c.expected);
  }
}

TEST(DibDrawingTest, ThreeSliceStretchComposesClipsAndKeys) {
  // A 4 x 1 frame in the second row of a 32-bit bitmap: opaque red, half
  // transparent white, opaque green, key-coloured blue.
  PackedDib image;
  ASSERT_TRUE(image.create(4, 2, 32));
  image.set_pixel(0, 1, 0xFFFF0000);
  image.set_pixel(1, 1, 0x80FFFFFF);
  image.set_pixel(2, 1, 0xFF00FF00);
  image.set_pixel(3, 1, 0xFF0000FF);
  const base::Rect frame{0, 1, 4, 2};

  GdiBitmap target;
  ASSERT_TRUE(target.dib_section(6, 2, 24));
  target.fill({0, 0, 6, 2}, 0x302010);
  // Columns 0 1 2 2 2 3 of the frame; the key (blue) leaves the target.
  ASSERT_TRUE(render::draw_three_slice(image, frame, target, 0, 1, 6, 1, 0xFF0000));
  const std::vector<std::uint32_t> row = {0xFF0000, 0x878F97, 0x00FF00, 0x00FF00, 0x00FF00, 0x102030};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(target.pixel(x, 1), row[x]) << "x " << x;
  EXPECT_EQ(target.pixel(0, 0), 0x102030u);

  // Hanging over every edge of the target: only what is inside changes.
  target.fill({0, 0, 6, 2}, 0x302010);
  ASSERT_TRUE(render::draw_three_slice(image, frame, target, -3, -1, 12, 5));
  EXPECT_EQ(target.pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(target.pixel(5, 1), 0x00FF00u);

  const base::Rect outside{10, 10, 14, 11};
  EXPECT_FALSE(render::draw_three_slice(image, outside, target, 0, 0, 6, 1));
  PackedDib opaque;
  ASSERT_TRUE(opaque.create(4, 1, 24));
  EXPECT_FALSE(render::draw_three_slice(opaque, {0, 0, 4, 1}, target, 0, 0, 6, 1));
}

TEST(DibDrawingTest, AlphaBlendOfAPartClippedToBothPictures) {
  PackedDib image;
  ASSERT_TRUE(image.create(2, 2, 32));
  image.set_pixel(0, 0, 0xFF000001);
  image.set_pixel(1, 0, 0xFF000002);
  image.set_pixel(0, 1, 0xFF000003);
  image.set_pixel(1, 1, 0xFF000004);
  GdiBitmap target;
  ASSERT_TRUE(target.dib_section(2, 2, 32));
  // The part reaches one pixel left of the image: the drawing moves with it.
  ASSERT_TRUE(render::alpha_blend(image, {-1, 0, 2, 2}, target, 0, 0));
  EXPECT_EQ(target.pixel(0, 0), 0u);
  EXPECT_EQ(target.pixel(1, 0), 0xFF000001u);
  EXPECT_EQ(target.pixel(1, 1), 0xFF000003u);
}

}  // namespace
