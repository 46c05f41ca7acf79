#include "render/dds_file.h"

#include <gtest/gtest.h>

#include "render/image_bytes.h"

namespace {

using namespace image_test;
using render::Image;
using render::PixelFormat;

std::vector<std::uint32_t> argb_of(const Image& image, std::size_t level = 0) {
  return render::level_to_argb(image.format, image.levels.at(level));
}

void put_argb(Bytes& out, std::uint32_t argb) { put_u32(out, argb); }  // B, G, R, A

// A 4 x 2 A8R8G8B8 texture with its chain 2 x 1 and 1 x 1.
Bytes argb_chain_file() {
  DdsLayout layout;
  layout.width = 4;
  layout.height = 2;
  layout.mip_count = 3;
  layout.pf_flags = render::kDdsRgb | render::kDdsAlphaPixels;
  layout.masks[3] = 0xFF000000;
  Bytes file = dds_header(layout);
  for (std::uint32_t p : {0xFF102030u, 0x80405060u, 0x00708090u, 0xFFA0B0C0u,  //
                          0x11223344u, 0x55667788u, 0x99AABBCCu, 0xDDEEFF00u}) {
    put_argb(file, p);
  }
  put_argb(file, 0xFF0000FFu);
  put_argb(file, 0xFF00FF00u);
  put_argb(file, 0x7FFF0000u);
  return file;
}

TEST(DdsFileTest, ReadsAnArgbChainLevelByLevel) {
  const std::optional<Image> image = render::decode_dds(argb_chain_file());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::A8R8G8B8);
  ASSERT_EQ(image->level_count(), 3u);
  EXPECT_EQ(image->levels[1].width, 2u);
  EXPECT_EQ(image->levels[1].height, 1u);
  EXPECT_EQ(image->levels[2].width, 1u);
  EXPECT_EQ(argb_of(*image, 0), (std::vector<std::uint32_t>{0xFF102030, 0x80405060, 0x00708090, 0xFFA0B0C0,
                                                            0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00}));
  EXPECT_EQ(argb_of(*image, 1), (std::vector<std::uint32_t>{0xFF0000FF, 0xFF00FF00}));
  EXPECT_EQ(argb_of(*image, 2), (std::vector<std::uint32_t>{0x7FFF0000}));
}

TEST(DdsFileTest, ExtraBytesAfterTheLevelsAreIgnoredAndAMissingMipFlagMeansOneLevel) {
  Bytes file = argb_chain_file();
  file.push_back(0xAB);
  EXPECT_EQ(render::decode_dds(file)->level_count(), 3u);

  Bytes no_flag = argb_chain_file();
  set_u32(no_flag, 8, 0x1 | 0x2 | 0x4 | 0x1000);  // flags without the mip count
  const std::optional<Image> one = render::decode_dds(no_flag);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->level_count(), 1u);
}

Bytes dxt_header(std::uint32_t width, std::uint32_t height, const char (&fourcc)[5]) {
  DdsLayout layout;
  layout.width = width;
  layout.height = height;
  layout.pf_flags = render::kDdsFourcc;
  layout.fourcc = fourcc_of(fourcc);
  layout.bit_count = 0;
  layout.masks[0] = layout.masks[1] = layout.masks[2] = 0;
  return dds_header(layout);
}

TEST(DdsFileTest, Dxt1BlocksOfFourColoursAndOfThreeWithTransparency) {
  Bytes file = dxt_header(8, 4, "DXT1");
  // Red above blue: four colours. Row 0 uses indices 0, 1, 2, 3; the rest 0.
  put_u16(file, 0xF800);
  put_u16(file, 0x001F);
  put_u32(file, 0x000000E4);
  // Blue below red: three colours and transparent black. Row 0: 2, 3, 0, 1.
  put_u16(file, 0x001F);
  put_u16(file, 0xF800);
  put_u32(file, 0x0000004E);
  const std::optional<Image> image = render::decode_dds(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::Dxt1);
  const std::vector<std::uint32_t> argb = argb_of(*image);
  ASSERT_EQ(argb.size(), 32u);
  const std::uint32_t row0[8] = {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA,
                                 0xFF7F007F, 0x00000000, 0xFF0000FF, 0xFFFF0000};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(argb[x], row0[x]) << "x " << x;
  EXPECT_EQ(argb[3 * 8 + 0], 0xFFFF0000u);
  EXPECT_EQ(argb[3 * 8 + 7], 0xFF0000FFu);
}

TEST(DdsFileTest, Dxt5AlphaInBothInterpolationModes) {
  Bytes file = dxt_header(8, 4, "DXT5");
  // Block 1: alpha 255 and 0 (eight values); row 0 indices 0, 1, 2, 3.
  put_bytes(file, {255, 0, 0x88, 0x06, 0, 0, 0, 0});
  put_u16(file, 0x07E0);
  put_u16(file, 0x07E0);
  put_u32(file, 0);
  // Block 2: alpha 0 and 255 (six values, then 0 and 255); row 0: 2, 5, 6, 7.
  put_bytes(file, {0, 255, 0xAA, 0x0F, 0, 0, 0, 0});
  put_u16(file, 0x001F);
  put_u16(file, 0x001F);
  put_u32(file, 0);
  const std::optional<Image> image = render::decode_dds(file);
  ASSERT_TRUE(image);
  const std::vector<std::uint32_t> argb = argb_of(*image);
  const std::uint32_t row0[8] = {0xFF00FF00, 0x0000FF00, 0xDA00FF00, 0xB600FF00,
                                 0x330000FF, 0xCC0000FF, 0x000000FF, 0xFF0000FF};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(argb[x], row0[x]) << "x " << x;
  EXPECT_EQ(argb[8], 0xFF00FF00u) << "the other rows use index 0";
}

TEST(DdsFileTest, Dxt3ExplicitAlpha) {
  Bytes file = dxt_header(4, 4, "DXT3");
  put_bytes(file, {0xF0, 0x18, 0, 0, 0, 0, 0, 0});
  put_u16(file, 0xFFFF);
  put_u16(file, 0xFFFF);
  put_u32(file, 0);
  const std::vector<std::uint32_t> argb = argb_of(*render::decode_dds(file));
  EXPECT_EQ(argb[0], 0x00FFFFFFu);
  EXPECT_EQ(argb[1], 0xFFFFFFFFu);
  EXPECT_EQ(argb[2], 0x88FFFFFFu);
  EXPECT_EQ(argb[3], 0x11FFFFFFu);
}

// A 6 x 6 DXT1 level is 2 x 2 blocks: each block's solid colour shows in its
// own corner, and a file holding one block only is refused.
TEST(DdsFileTest, DxtLevelsCountPartialBlocks) {
  Bytes file = dxt_header(6, 6, "DXT1");
  for (const std::uint32_t colour : {0xF800u, 0x07E0u, 0x001Fu, 0xFFFFu}) {
    put_u16(file, colour);
    put_u16(file, colour);
    put_u32(file, 0);
  }
  const std::optional<Image> image = render::decode_dds(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->levels[0].bytes.size(), 32u);
  const std::vector<std::uint32_t> argb = argb_of(*image);
  EXPECT_EQ(argb[0], 0xFFFF0000u);
  EXPECT_EQ(argb[5], 0xFF00FF00u);
  EXPECT_EQ(argb[5 * 6], 0xFF0000FFu);
  EXPECT_EQ(argb[5 * 6 + 5], 0xFFFFFFFFu);

  Bytes one_block(file.begin(), file.begin() + 128 + 8);
  EXPECT_FALSE(render::decode_dds(one_block));
}

TEST(DdsFileTest, SixteenBitLevelsUseWholeWordRows) {
  // 3 x 1 R5G6B5: 6 bytes of pixels in an 8-byte row, then the 1 x 1 level
  // in a 4-byte row.
  DdsLayout layout;
  layout.width = 3;
  layout.height = 1;
  layout.mip_count = 2;
  layout.bit_count = 16;
  layout.masks[0] = 0xF800;
  layout.masks[1] = 0x07E0;
  layout.masks[2] = 0x001F;
  Bytes file = dds_header(layout);
  put_u16(file, 0xF800);
  put_u16(file, 0x07E0);
  put_u16(file, 0x001F);
  put_u16(file, 0xDEAD);  // padding
  put_u16(file, 0xFFFF);
  put_u16(file, 0xBEEF);  // padding
  const std::optional<Image> image = render::decode_dds(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::R5G6B5);
  EXPECT_EQ(argb_of(*image, 0), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
  EXPECT_EQ(argb_of(*image, 1), (std::vector<std::uint32_t>{0xFFFFFFFF}));
}

TEST(DdsFileTest, WrittenFilesReadBack) {
  const std::optional<Image> chain = render::decode_dds(argb_chain_file());
  ASSERT_TRUE(chain);
  const Bytes written = render::encode_dds(*chain);
  const std::optional<Image> again = render::decode_dds(written);
  ASSERT_TRUE(again);
  ASSERT_EQ(again->level_count(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(again->levels[i].bytes, chain->levels[i].bytes);

  for (const PixelFormat format :
       {PixelFormat::R8G8B8, PixelFormat::A8R8G8B8, PixelFormat::X8R8G8B8, PixelFormat::R5G6B5,
        PixelFormat::X1R5G5B5, PixelFormat::A1R5G5B5, PixelFormat::A4R4G4B4, PixelFormat::X4R4G4B4,
        PixelFormat::R3G3B2, PixelFormat::A8, PixelFormat::A8B8G8R8, PixelFormat::X8B8G8R8}) {
    SCOPED_TRACE(render::pixel_format_name(format));
    const std::optional<Image> image =
        render::image_from_argb(format, 3, 1, std::vector<std::uint32_t>{0x80FF0000, 0xFF00FF00, 0x000000FF});
    ASSERT_TRUE(image);
    const std::optional<Image> read = render::decode_dds(render::encode_dds(*image));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->format, format);
    EXPECT_EQ(read->levels[0].bytes, image->levels[0].bytes);
  }
  const std::optional<Image> ten_bits =
      render::image_from_argb(PixelFormat::A2R10G10B10, 1, 1, std::vector<std::uint32_t>{0});
  ASSERT_TRUE(ten_bits);
  EXPECT_TRUE(render::encode_dds(*ten_bits).empty()) << "no file the reader would refuse";

  Bytes dxt = dxt_header(4, 4, "DXT5");
  put_bytes(dxt, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  EXPECT_EQ(render::encode_dds(*render::decode_dds(dxt)).size(), dxt.size());
  EXPECT_EQ(render::decode_dds(render::encode_dds(*render::decode_dds(dxt)))->levels[0].bytes,
            render::decode_dds(dxt)->levels[0].bytes);
}

}  // namespace
