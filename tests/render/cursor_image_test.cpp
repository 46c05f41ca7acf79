#include "render/cursor_image.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorImageTest, ColourIconsAreMaskedAndOpaque) {
  render::IconBitmaps icon;
  icon.width = 2;
  icon.height = 1;
  icon.mask = {0, 1};
  icon.colour = {0x80123456, 0xFFFFFF};
  icon.hot_x = 1;
  const std::optional<render::IconImage> image = render::icon_image(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->argb, (std::vector<std::uint32_t>{0xFF123456, 0}));
  EXPECT_EQ(image->hot_x, 1);

  icon.colour.pop_back();
  EXPECT_FALSE(render::icon_image(icon)) << "pictures of the wrong size";
}

TEST(CursorImageTest, MonochromeIconsTakeTheLowerHalfOfTheMask) {
  render::IconBitmaps icon;
  icon.width = 1;
  icon.height = 2;
  icon.mask = {0, 1, 0xFFFFFF, 0};
  const std::optional<render::IconImage> image = render::icon_image(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->argb, (std::vector<std::uint32_t>{0xFFFFFFFF, 0}));
}

TEST(CursorImageTest, TheArrowStandsInForAWindowWithoutACursor) {
  const std::optional<render::IconImage> arrow = render::cursor_image(nullptr);
  ASSERT_TRUE(arrow);
  EXPECT_EQ(arrow->width, 32);
  EXPECT_EQ(arrow->height, 32);
  EXPECT_EQ(arrow->hot_x, 0);
  EXPECT_EQ(arrow->argb[0], 0xFF000000u) << "the tip is black";
  EXPECT_EQ(arrow->argb[2 * 32 + 1], 0xFFFFFFFFu) << "the inside is white";
  EXPECT_EQ(arrow->argb[31], 0u) << "the rest is transparent";

  const render::CursorPixels pixels = render::cursor_pixels(*arrow);
  EXPECT_TRUE(std::equal(arrow->argb.begin(), arrow->argb.end(), std::begin(pixels.pixels)));
}

TEST(CursorImageTest, CursorFramesFromAStackedBitmap) {
  // Two 2 x 2 frames; green is the colour key.
  render::PackedDib bitmap;
  ASSERT_TRUE(bitmap.create(2, 4, 24));
  bitmap.set_pixel(0, 0, 0x00FF00);
  bitmap.set_pixel(1, 0, 0x112233);
  bitmap.set_pixel(0, 2, 0x445566);
  const std::optional<render::IconImage> normal = render::cursor_frame_image(bitmap, 0, 2, 0xFF00FF00);
  ASSERT_TRUE(normal);
  EXPECT_EQ(normal->width, 32);
  EXPECT_EQ(normal->height, 32);
  EXPECT_EQ(normal->argb[0], 0u);
  EXPECT_EQ(normal->argb[1], 0xFF112233u);
  EXPECT_EQ(normal->argb[32], 0xFF000000u);
  EXPECT_EQ(normal->argb[2 * 32], 0u) << "below the frame";
  EXPECT_EQ(normal->argb[2], 0u) << "right of the frame";

  const std::optional<render::IconImage> pressed = render::cursor_frame_image(bitmap, 5, 2, 0xFF00FF00);
  ASSERT_TRUE(pressed);
  EXPECT_EQ(pressed->argb[0], 0xFF445566u);
  EXPECT_FALSE(render::cursor_frame_image(bitmap, 0, 0, 0));
  EXPECT_FALSE(render::cursor_frame_image(bitmap, 0, 5, 0));

  render::PackedDib wide;
  ASSERT_TRUE(wide.create(40, 2, 24));
  wide.set_pixel(39, 0, 0x010101);
  const std::optional<render::IconImage> big = render::cursor_frame_image(wide, 0, 1, 0);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->width, 40);
  const render::CursorPixels cut = render::cursor_pixels(*big);
  EXPECT_EQ(cut.pixels[31], 0xFF000000u);
  EXPECT_EQ(cut.pixels[32], 0xFF000000u) << "the second row starts at 32";
}

}  // namespace
