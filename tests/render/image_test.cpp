#include "render/image.h"

#include <gtest/gtest.h>

namespace {

using render::Image;
using render::PixelFormat;

TEST(ImageTest, ConversionsRoundToTheNearestStoredValue) {
  struct Case {
    PixelFormat format;
    std::uint32_t in, stored, out;
  };
  const Case cases[] = {
      {PixelFormat::R5G6B5, 0xFFFF8000, 0xFC00, 0xFFFF8200},    // green 128 -> 32 of 63 -> 130
      {PixelFormat::X1R5G5B5, 0x00FFFFFF, 0x7FFF, 0xFFFFFFFF},  // alpha is dropped and reads 255
      {PixelFormat::A1R5G5B5, 0x7F000000, 0x0000, 0x00000000},  // alpha below half rounds to 0
      {PixelFormat::A1R5G5B5, 0x80000000, 0x8000, 0xFF000000},
      {PixelFormat::A4R4G4B4, 0x88FF7700, 0x8F70, 0x88FF7700},
      {PixelFormat::R3G3B2, 0xFFFFFFFF, 0xFF, 0xFFFFFFFF},
      {PixelFormat::A8, 0x5AFFFFFF, 0x5A, 0x5A000000},
      {PixelFormat::A8B8G8R8, 0x11223344, 0x11443322, 0x11223344},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(render::pixel_format_name(c.format));
    const std::optional<Image> image =
        render::image_from_argb(c.format, 1, 1, std::vector<std::uint32_t>{c.in});
    ASSERT_TRUE(image);
    std::uint32_t stored = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(render::storage_bits(c.format) / 8); ++i) {
      stored |= std::uint32_t{image->levels[0].bytes[i]} << (8 * i);
    }
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(render::level_to_argb(c.format, image->levels[0])[0], c.out);
  }
}

TEST(ImageTest, ConvertImageDecodesEveryLevelAndRefusesToCompress) {
  Image dxt;
  dxt.format = PixelFormat::Dxt1;
  dxt.levels.push_back(*render::make_level(PixelFormat::Dxt1, 4, 4));
  dxt.levels.push_back(*render::make_level(PixelFormat::Dxt1, 2, 2));
  const std::optional<Image> argb = render::convert_image(dxt, PixelFormat::A8R8G8B8);
  ASSERT_TRUE(argb);
  ASSERT_EQ(argb->level_count(), 2u);
  EXPECT_EQ(argb->levels[1].bytes.size(), 16u);
  // Zero blocks: colour 0 of 0 and 0 (three-colour mode), opaque black.
  EXPECT_EQ(render::level_to_argb(PixelFormat::A8R8G8B8, argb->levels[0])[5], 0xFF000000u);
  EXPECT_FALSE(render::convert_image(*argb, PixelFormat::Dxt1));
  EXPECT_FALSE(render::convert_image(*argb, PixelFormat::P8));
}

TEST(ImageTest, BoxFiltersAverageWhatTheyCover) {
  const std::vector<std::uint32_t> four = {0xFF000000, 0xFF0000FF, 0x00FF0000, 0x80000000};
  EXPECT_EQ(render::half_level(four, 2, 2), (std::vector<std::uint32_t>{0xA0400040}));
  // A 3 x 1 row halves to its first two pixels; a 1 x 1 level stays.
  EXPECT_EQ(render::half_level(std::vector<std::uint32_t>{0xFF000000, 0xFF0000FE, 0xFFFFFFFF}, 3, 1),
            (std::vector<std::uint32_t>{0xFF00007F}));
  EXPECT_EQ(render::half_level(std::vector<std::uint32_t>{0x12345678}, 1, 1),
            (std::vector<std::uint32_t>{0x12345678}));

  // Shrinking 4 -> 2 averages pairs; growing 2 -> 4 repeats.
  const std::vector<std::uint32_t> row = {0xFF000000, 0xFF000010, 0xFF000020, 0xFF000040};
  EXPECT_EQ(render::box_resample(row, 4, 1, 2, 1), (std::vector<std::uint32_t>{0xFF000008, 0xFF000030}));
  EXPECT_EQ(render::box_resample(std::vector<std::uint32_t>{1, 2}, 2, 1, 4, 1),
            (std::vector<std::uint32_t>{1, 1, 2, 2}));
  EXPECT_TRUE(render::box_resample(row, 4, 1, 0, 1).empty());
  EXPECT_TRUE(render::box_resample(row, 4, 2, 2, 1).empty()) << "too few pixels for the size";
}

TEST(ImageTest, MipChainsGoDownToOnePixel) {
  std::vector<std::uint32_t> pixels(8 * 2, 0xFF204060);
  pixels[0] = 0xFFFFFFFF;
  std::optional<Image> image = render::image_from_argb(PixelFormat::X8R8G8B8, 8, 2, pixels);
  ASSERT_TRUE(image);
  ASSERT_TRUE(render::build_mip_chain(*image, 0));
  ASSERT_EQ(image->level_count(), 4u);  // 8x2, 4x1, 2x1, 1x1
  EXPECT_EQ(image->levels[1].width, 4u);
  EXPECT_EQ(image->levels[1].height, 1u);
  EXPECT_EQ(image->levels[3].width, 1u);
  EXPECT_EQ(image->levels[3].height, 1u);
  EXPECT_EQ(render::level_to_argb(image->format, image->levels[1])[0], 0xFF587088u);
  EXPECT_EQ(render::level_to_argb(image->format, image->levels[1])[1], 0xFF204060u);

  ASSERT_TRUE(render::build_mip_chain(*image, 2));
  EXPECT_EQ(image->level_count(), 2u);
  ASSERT_TRUE(render::build_mip_chain(*image, 99));
  EXPECT_EQ(image->level_count(), 4u);

  Image dxt;
  dxt.format = PixelFormat::Dxt5;
  dxt.levels.push_back(*render::make_level(PixelFormat::Dxt5, 4, 4));
  EXPECT_FALSE(render::build_mip_chain(dxt, 0));
  EXPECT_EQ(dxt.level_count(), 1u);
}

}  // namespace
