#include "render/gdi_bitmap.h"

#include <gtest/gtest.h>

#include "render/packed_dib.h"

namespace {

using render::GdiBitmap;

TEST(GdiBitmapTest, RasterOperations) {
  const std::uint32_t p = 0xF0F0F0, s = 0xCCCCCC, d = 0xAAAAAA;
  struct Case {
    std::uint32_t rop, expected;
  };
  const Case cases[] = {
      {render::kSrcCopy, s},
      {render::kSrcPaint, s | d},
      {render::kSrcAnd, s & d},
      {render::kSrcInvert, s ^ d},
      {render::kSrcErase, s & ~d},
      {render::kNotSrcCopy, ~s},
      {render::kNotSrcErase, ~(s | d)},
      {render::kMergeCopy, p & s},
      {render::kMergePaint, ~s | d},
      {render::kPatCopy, p},
      {render::kPatInvert, p ^ d},
      {render::kDstInvert, ~d},
      {render::kBlackness, 0},
      {render::kWhiteness, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rop);
    EXPECT_EQ(render::apply_rop(c.rop, p, s, d) & 0xFFFFFF, c.expected & 0xFFFFFF);
  }
}

GdiBitmap two_by_two(int bits, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  GdiBitmap bitmap;
  if (bits == 1) {
    bitmap.create_mono(2, 2);
  } else {
    bitmap.dib_section(2, 2, bits);
  }
  bitmap.set_pixel(0, 0, a);
  bitmap.set_pixel(1, 0, b);
  bitmap.set_pixel(0, 1, c);
  bitmap.set_pixel(1, 1, d);
  return bitmap;
}

TEST(GdiBitmapTest, DepthsHoldWhatTheyCan) {
  GdiBitmap b24 = two_by_two(24, 0x80112233, 0, 0, 0);
  GdiBitmap b32 = two_by_two(32, 0x80112233, 0, 0, 0);
  GdiBitmap mono = two_by_two(1, 0xFFFFFF, 0xFFFFFE, 0, 0);
  EXPECT_EQ(b24.pixel(0, 0), 0x112233u);
  EXPECT_EQ(b32.pixel(0, 0), 0x80112233u);
  EXPECT_EQ(mono.pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(mono.pixel(1, 0), 0u);
  EXPECT_EQ(b24.pixel(-1, 0), 0u);
  EXPECT_FALSE(GdiBitmap().dib_section(2, 2, 16));
}

TEST(GdiBitmapTest, ColourToMonochromeAndBack) {
  GdiBitmap colour = two_by_two(24, 0x00FF00, 0x123456, 0x00FF00, 0x000000);
  colour.set_background_color(0x00FF00);  // a Windows colour value: green
  GdiBitmap mono;
  ASSERT_TRUE(mono.create_mono(2, 2));
  colour.draw(mono, 0, 0, 2, 2, 0, 0);
  EXPECT_EQ(mono.pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(mono.pixel(1, 0), 0u);
  EXPECT_EQ(mono.pixel(0, 1), 0xFFFFFFu);
  EXPECT_EQ(mono.pixel(1, 1), 0u);

  GdiBitmap target;
  ASSERT_TRUE(target.dib_section(2, 2, 24));
  target.set_text_color(0x0000FF);        // red
  target.set_background_color(0xFF0000);  // blue
  mono.draw(target, 0, 0, 2, 2, 0, 0);
  EXPECT_EQ(target.pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(target.pixel(1, 0), 0xFF0000u);
}

TEST(GdiBitmapTest, BlitsClipToBothPictures) {
  GdiBitmap source = two_by_two(24, 1, 2, 3, 4);
  struct Case {
    const char* what;
    std::int32_t x, y, w, h, sx, sy;
    std::vector<std::uint32_t> expected;  // the 3 x 3 target afterwards
  };
  const Case cases[] = {
      {"inside", 1, 1, 2, 2, 0, 0, {0, 0, 0, 0, 1, 2, 0, 3, 4}},
      {"past the target's right and bottom", 2, 2, 2, 2, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
      {"left of and above the target", -1, -1, 2, 2, 0, 0, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"past the source", 0, 0, 3, 3, 1, 1, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"before the source", 0, 0, 2, 2, -1, 0, {0, 1, 0, 0, 3, 0, 0, 0, 0}},
      {"negative size", 0, 0, -2, 2, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"far away", 2000000000, 0, 2000000000, 2, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GdiBitmap target;
    ASSERT_TRUE(target.dib_section(3, 3, 24));
    source.draw(target, c.x, c.y, c.w, c.h, c.sx, c.sy);
    const std::vector<std::uint32_t> got(target.pixels().begin(), target.pixels().end());
    EXPECT_EQ(got, c.expected);
  }
}

// Magenta is transparent: the target shows through there, whether the mask
// was prepared or is made while drawing.
TEST(GdiBitmapTest, TransparentColourKeepsTheTarget) {
  for (const bool prepared : {false, true}) {
    SCOPED_TRACE(prepared ? "prepared" : "made while drawing");
    GdiBitmap sprite = two_by_two(24, 0xFF00FF, 0x123456, 0x000000, 0xFF00FF);
    sprite.set_transparent_color(0xFF00FF);
    EXPECT_EQ(sprite.prepare_transparency(), true);
    if (!prepared) sprite.set_transparent_color(0xFF00FF);
    EXPECT_EQ(sprite.transparency_prepared(), prepared);

    GdiBitmap target;
    ASSERT_TRUE(target.dib_section(3, 2, 24));
    target.fill({0, 0, 3, 2}, 0x0A0B0C);                        // a Windows colour value: 0x0C0B0A
    sprite.draw(target, 1, 0, 2, 2, 0, 0, render::kSrcInvert);  // the operation is not used
    EXPECT_EQ(target.pixel(0, 0), 0x0C0B0Au);
    EXPECT_EQ(target.pixel(1, 0), 0x0C0B0Au);
    EXPECT_EQ(target.pixel(2, 0), 0x123456u);
    EXPECT_EQ(target.pixel(1, 1), 0x000000u);
    EXPECT_EQ(target.pixel(2, 1), 0x0C0B0Au);
  }
  GdiBitmap plain = two_by_two(24, 1, 2, 3, 4);
  EXPECT_FALSE(plain.prepare_transparency());
}

TEST(GdiBitmapTest, StretchingByModes) {
  GdiBitmap source;
  ASSERT_TRUE(source.dib_section(4, 1, 32));
  for (int x = 0; x < 4; ++x) source.set_pixel(x, 0, 0x10u * static_cast<std::uint32_t>(x));  // 00 10 20 30

  GdiBitmap target;
  ASSERT_TRUE(target.dib_section(2, 1, 32));
  source.draw_stretched(target, {0, 0, 2, 1}, {0, 0, 4, 1}, render::kSrcCopy, render::StretchMode::Halftone);
  EXPECT_EQ(target.pixel(0, 0), 0x08u);
  EXPECT_EQ(target.pixel(1, 0), 0x28u);
  source.draw_stretched(target, {0, 0, 2, 1}, {0, 0, 4, 1}, render::kSrcCopy,
                        render::StretchMode::ColorOnColor);
  EXPECT_EQ(target.pixel(0, 0), 0x00u);
  EXPECT_EQ(target.pixel(1, 0), 0x20u);
  // Equal sizes: a plain draw, here with the transparent colour.
  source.set_transparent_color(0x100000);  // a Windows colour value: 0x000010
  target.fill({0, 0, 2, 1}, 0xFFFFFF);
  source.draw_stretched(target, {0, 0, 2, 1}, {0, 0, 2, 1}, render::kSrcCopy, render::StretchMode::Halftone);
  EXPECT_EQ(target.pixel(0, 0), 0u);
  EXPECT_EQ(target.pixel(1, 0), 0xFFFFFFu);
}

TEST(GdiBitmapTest, CaptureOfABackBufferAndOfAnotherBitmap) {
  const std::vector<std::uint8_t> rgba = {0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0xFF,  //
                                          0x77, 0x88, 0x99, 0xFF, 0xAA, 0xBB, 0xCC, 0xFF};
  GdiBitmap shot;
  ASSERT_TRUE(shot.capture(render::ScreenPixels{2, 2, rgba}, 2, 2, 1, 0));
  EXPECT_EQ(shot.bits(), 32);
  EXPECT_EQ(shot.pixel(0, 0), 0x445566u);
  EXPECT_EQ(shot.pixel(0, 1), 0xAABBCCu);
  EXPECT_EQ(shot.pixel(1, 0), 0u) << "beyond the screen";

  GdiBitmap inverted;
  ASSERT_TRUE(inverted.capture(shot, 1, 1, 0, 0, render::kNotSrcCopy));
  EXPECT_EQ(inverted.pixel(0, 0) & 0xFFFFFF, 0xBBAA99u);

  // A picture too small for its size captures nothing.
  GdiBitmap nothing;
  ASSERT_TRUE(nothing.capture(render::ScreenPixels{2, 3, rgba}, 1, 1, 0, 0));
  EXPECT_EQ(nothing.pixel(0, 0), 0u);
}

TEST(GdiBitmapTest, RowsOfADibAndBack) {
  render::PackedDib strip;
  ASSERT_TRUE(strip.create(1, 3, 32));
  strip.set_pixel(0, 0, 0x80000001);
  strip.set_pixel(0, 1, 0x80000002);
  strip.set_pixel(0, 2, 0x80000003);

  GdiBitmap bitmap;
  ASSERT_TRUE(bitmap.from_dib(strip, 1, 5));  // clamped to the two rows left
  EXPECT_EQ(bitmap.height(), 2);
  EXPECT_EQ(bitmap.pixel(0, 0), 0x80000002u);
  EXPECT_EQ(bitmap.pixel(0, 1), 0x80000003u);
  ASSERT_TRUE(bitmap.from_dib(strip));
  EXPECT_EQ(bitmap.height(), 3);
  EXPECT_FALSE(bitmap.from_dib(strip, 3));
  EXPECT_FALSE(bitmap.from_dib(strip, -1));

  ASSERT_TRUE(bitmap.from_dib(strip));
  for (const bool top_down : {false, true}) {
    render::PackedDib copy;
    ASSERT_TRUE(bitmap.copy_to_dib(copy, top_down));
    EXPECT_EQ(copy.top_down(), top_down);
    EXPECT_EQ(copy.bits(), 32);
    EXPECT_EQ(copy.pixel(0, 0), 0x80000001u);
    EXPECT_EQ(copy.pixel(0, 2), 0x80000003u);
  }
  GdiBitmap mono = two_by_two(1, 0xFFFFFF, 0, 0, 0xFFFFFF);
  render::PackedDib one_bit;
  ASSERT_TRUE(mono.copy_to_dib(one_bit, false));
  EXPECT_EQ(one_bit.bits(), 1);
  EXPECT_EQ(one_bit.pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(one_bit.pixel(1, 0), 0u);
}

}  // namespace
