#include "render/pixel_format.h"

#include <gtest/gtest.h>

namespace {

using render::PixelFormat;

TEST(PixelFormatTest, CatalogueNamesAndBitCounts) {
  struct Case {
    std::uint32_t code;
    const char* name;
    int bits, alpha, depth, stencil;
  };
  const Case cases[] = {
      {0, "UNKNOWN", 0, 0, 0, 0},
      {20, "R8G8B8", 24, 0, 0, 0},
      {21, "A8R8G8B8", 32, 8, 0, 0},
      {22, "X8R8G8B8", 32, 0, 0, 0},
      {23, "R5G6B5", 16, 0, 0, 0},
      {25, "A1R5G5B5", 16, 1, 0, 0},
      {26, "A4R4G4B4", 16, 4, 0, 0},
      {28, "A8", 0, 0, 0, 0},
      {29, "A8R3G3B2", 16, 8, 0, 0},
      {31, "A2B10G10R10", 32, 2, 0, 0},
      {36, "A16B16G16R16", 0, 16, 0, 0},
      {70, "D16_LOCKABLE", 0, 0, 16, 0},
      {71, "D32", 0, 0, 32, 0},
      {73, "D15S1", 0, 0, 15, 1},
      {75, "D24S8", 0, 0, 24, 8},
      {77, "D24X8", 0, 0, 24, 0},
      {79, "D24X4S4", 0, 0, 24, 4},
      {80, "D16", 0, 0, 16, 0},
      {81, "L16", 0, 0, 0, 0},
      {82, "Unknown format", 0, 0, 32, 0},
      {83, "Unknown format", 0, 0, 24, 8},
      {117, "CxV8U8", 0, 0, 0, 0},
      {render::fourcc('M', 'E', 'T', '1'), "MULTI2_ARGB8", 0, 0, 0, 0},
      {render::fourcc('D', 'X', 'T', '1'), "DXT1", 0, 1, 0, 0},
      {render::fourcc('D', 'X', 'T', '2'), "DXT2", 0, 1, 0, 0},
      {render::fourcc('D', 'X', 'T', '3'), "DXT3", 0, 4, 0, 0},
      {render::fourcc('D', 'X', 'T', '4'), "DXT4", 0, 4, 0, 0},
      {render::fourcc('D', 'X', 'T', '5'), "DXT5", 0, 8, 0, 0},
      {render::fourcc('U', 'Y', 'V', 'Y'), "UYVY", 0, 0, 0, 0},
      {99, "Unknown format", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const auto format = static_cast<PixelFormat>(c.code);
    EXPECT_EQ(render::pixel_format_name(format), c.name);
    EXPECT_EQ(render::bits_per_pixel(format), c.bits);
    EXPECT_EQ(render::alpha_bits(format), c.alpha);
    EXPECT_EQ(render::depth_bits(format), c.depth);
    EXPECT_EQ(render::stencil_bits(format), c.stencil);
  }
  EXPECT_EQ(static_cast<std::uint32_t>(PixelFormat::Dxt1), 0x31545844u);
}

TEST(PixelFormatTest, DdsPixelFormatFromMasks) {
  constexpr std::uint32_t kAlpha = render::kDdsAlphaPixels;
  constexpr std::uint32_t kRgb = render::kDdsRgb;
  struct Case {
    const char* what;
    render::DdsPixelFormatFields fields;
    PixelFormat expected;
  };
  const Case cases[] = {
      {"5-5-5 without alpha", {kRgb, 0, 16, 0x7C00, 0x3E0, 0x1F, 0}, PixelFormat::X1R5G5B5},
      {"5-5-5 with a 1-bit alpha",
       {kRgb | kAlpha, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
       PixelFormat::A1R5G5B5},
      {"5-5-5, alpha mask but no alpha flag",
       {kRgb, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
       PixelFormat::X1R5G5B5},
      {"5-6-5", {kRgb, 0, 16, 0xF800, 0x7E0, 0x1F, 0}, PixelFormat::R5G6B5},
      {"4-4-4-4", {kRgb | kAlpha, 0, 16, 0xF00, 0xF0, 0xF, 0xF000}, PixelFormat::A4R4G4B4},
      {"4-4-4", {kRgb, 0, 16, 0xF00, 0xF0, 0xF, 0}, PixelFormat::X4R4G4B4},
      {"3-3-2", {kRgb, 0, 8, 0xE0, 0x1C, 0x3, 0}, PixelFormat::R3G3B2},
      {"alpha only", {0x2, 0, 8, 0, 0, 0, 0xFF}, PixelFormat::A8},
      {"8-8-8", {kRgb, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, PixelFormat::R8G8B8},
      {"8-8-8-8", {kRgb | kAlpha, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, PixelFormat::A8R8G8B8},
      {"8-8-8-8 without the flag", {kRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, PixelFormat::X8R8G8B8},
      {"blue first", {kRgb | kAlpha, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}, PixelFormat::A8B8G8R8},
      {"channels elsewhere", {kRgb, 0, 32, 0xFF00, 0xFF0000, 0xFF, 0}, PixelFormat::Unknown},
      {"16 bits of 8-8-8 masks", {kRgb, 0, 16, 0xFF0000, 0xFF00, 0xFF, 0}, PixelFormat::Unknown},
      {"luminance", {0x20000, 0, 8, 0xFF, 0, 0, 0}, PixelFormat::Unknown},
      {"DXT1", {render::kDdsFourcc, render::fourcc('D', 'X', 'T', '1'), 0, 0, 0, 0, 0}, PixelFormat::Dxt1},
      {"DXT5", {render::kDdsFourcc, render::fourcc('D', 'X', 'T', '5'), 0, 0, 0, 0, 0}, PixelFormat::Dxt5},
      {"another FourCC",
       {render::kDdsFourcc, render::fourcc('D', 'X', '1', '0'), 0, 0, 0, 0, 0},
       PixelFormat::Unknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(render::dds_pixel_format(c.fields), c.expected);
  }
}

TEST(PixelFormatTest, PitchesAndLevelSizes) {
  struct Case {
    PixelFormat format;
    std::uint32_t width, height;
    std::uint64_t pitch, size;
  };
  const Case cases[] = {
      {PixelFormat::A8R8G8B8, 3, 2, 12, 24},
      {PixelFormat::R8G8B8, 5, 3, 16, 48},  // 15 bytes of pixels, rows of whole 4-byte words
      {PixelFormat::R5G6B5, 1, 1, 4, 4},
      {PixelFormat::R5G6B5, 2, 3, 4, 12},
      {PixelFormat::A8, 3, 1, 4, 4},
      {PixelFormat::Dxt1, 4, 4, 8, 8},
      {PixelFormat::Dxt1, 6, 6, 16, 32},  // 2 x 2 blocks, not 1
      {PixelFormat::Dxt1, 1, 1, 8, 8},
      {PixelFormat::Dxt5, 2, 9, 16, 48},  // 1 x 3 blocks
      {PixelFormat::Dxt3, 8, 4, 32, 32},
      {PixelFormat::P8, 4, 4, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(render::pixel_format_name(c.format)) + " " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    EXPECT_EQ(render::surface_pitch(c.format, c.width), c.pitch);
    EXPECT_EQ(render::level_size(c.format, c.width, c.height), c.size);
  }
  EXPECT_EQ(render::full_chain_levels(256, 256), 9u);
  EXPECT_EQ(render::full_chain_levels(300, 200), 9u);
  EXPECT_EQ(render::full_chain_levels(1, 1), 1u);
  EXPECT_EQ(render::full_chain_levels(1, 2), 2u);
}

}  // namespace
