#include "render/bmp_file.h"

#include <gtest/gtest.h>

#include "render/image_bytes.h"

namespace {

using namespace image_test;
using render::PixelFormat;

std::vector<std::uint32_t> pixels_of(const Bytes& file) {
  const std::optional<render::Image> image = render::decode_bmp(file);
  if (!image) return {};
  return render::level_to_argb(image->format, image->levels[0]);
}

TEST(BmpFileTest, EightBitsWithAShortPalette) {
  // 3 x 2, bottom-up, three palette entries; rows padded to 4 bytes.
  BmpLayout layout{.width = 3, .height = 2, .bits = 8};
  layout.palette = {0x00FF0000, 0x0000FF00, 0x000000FF};
  layout.colours_used = 3;
  layout.rows = {2, 2, 1, 0,   // bottom row
               0, 1, 2, 0};  // top row
  EXPECT_EQ(pixels_of(bmp_file(layout)), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF,  //
                                                                   0xFF0000FF, 0xFF0000FF, 0xFF00FF00}));
  layout.rows[0] = 7;  // an index beyond the palette
  EXPECT_EQ(pixels_of(bmp_file(layout))[3], 0xFF000000u);
}

TEST(BmpFileTest, TwentyFourBitsBottomUpWithPaddedRows) {
  BmpLayout layout{.width = 1, .height = 2, .bits = 24};
  layout.rows = {0x30, 0x20, 0x10, 0xEE,   // bottom: 0x102030 and a padding byte
               0x03, 0x02, 0x01, 0xEE};  // top
  EXPECT_EQ(pixels_of(bmp_file(layout)), (std::vector<std::uint32_t>{0xFF010203, 0xFF102030}));
}

TEST(BmpFileTest, ThirtyTwoBitsTopDownIgnoreTheFourthByte) {
  BmpLayout layout{.width = 2, .height = -1, .bits = 32};
  layout.rows = {0x33, 0x22, 0x11, 0x00, 0x66, 0x55, 0x44, 0x80};
  const std::optional<render::Image> image = render::decode_bmp(bmp_file(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::X8R8G8B8);
  EXPECT_EQ(pixels_of(bmp_file(layout)), (std::vector<std::uint32_t>{0xFF112233, 0xFF445566}));
}

TEST(BmpFileTest, OneAndFourBitPixelsFromTheHighBitsFirst) {
  BmpLayout one{.width = 10, .height = 1, .bits = 1};
  one.palette = {0x000000, 0xFFFFFF};
  one.rows = {0b10100000, 0b01000000, 0, 0};
  const std::vector<std::uint32_t> ones = pixels_of(bmp_file(one));
  ASSERT_EQ(ones.size(), 10u);
  EXPECT_EQ(ones[0], 0xFFFFFFFFu);
  EXPECT_EQ(ones[1], 0xFF000000u);
  EXPECT_EQ(ones[2], 0xFFFFFFFFu);
  EXPECT_EQ(ones[9], 0xFFFFFFFFu);

  BmpLayout four{.width = 3, .height = 1, .bits = 4};
  four.palette.assign(16, 0);
  four.palette[1] = 0x111111;
  four.palette[15] = 0xABCDEF;
  four.rows = {0xF1, 0x10, 0, 0};
  EXPECT_EQ(pixels_of(bmp_file(four)), (std::vector<std::uint32_t>{0xFFABCDEF, 0xFF111111, 0xFF111111}));
}

TEST(BmpFileTest, SixteenBitsAsFiveFiveFiveOrByMasks) {
  BmpLayout plain{.width = 2, .height = 1, .bits = 16};
  plain.rows = {0x00, 0x7C, 0x1F, 0x00};  // red, blue in 5-5-5
  EXPECT_EQ(pixels_of(bmp_file(plain)), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}));

  BmpLayout masked{.width = 2, .height = 1, .bits = 16, .compression = 3};
  masked.masks = {0xF800, 0x07E0, 0x001F};
  masked.rows = {0xE0, 0x07, 0x00, 0xF8};  // green, red in 5-6-5
  EXPECT_EQ(pixels_of(bmp_file(masked)), (std::vector<std::uint32_t>{0xFF00FF00, 0xFFFF0000}));
}

TEST(BmpFileTest, BitfieldsWithAnAlphaMaskInALaterHeader) {
  BmpLayout layout{.width = 1, .height = 1, .bits = 32, .compression = 3, .header_size = 56};
  layout.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};  // R, G, B, A from the low byte up
  layout.rows = {0x10, 0x20, 0x30, 0x40};
  const std::optional<render::Image> image = render::decode_bmp(bmp_file(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::A8R8G8B8);
  EXPECT_EQ(pixels_of(bmp_file(layout)), (std::vector<std::uint32_t>{0x40102030}));
}

TEST(BmpFileTest, ThePixelOffsetOfTheFileHeaderIsHonoured) {
  BmpLayout layout{.width = 1, .height = 1, .bits = 24};
  layout.rows = {0x01, 0x02, 0x03, 0x00};
  Bytes file = bmp_file(layout);
  // Four bytes of gap between the header and the rows.
  file.insert(file.begin() + 54, {9, 9, 9, 9});
  set_u32(file, 10, 58);
  EXPECT_EQ(pixels_of(file), (std::vector<std::uint32_t>{0xFF030201}));
}

}  // namespace
