#include "render/texture_plan.h"

#include <gtest/gtest.h>

namespace {

using render::Image;
using render::PixelFormat;
using render::TextureCaps;
using render::TexturePlan;
using F = PixelFormat;

TEST(TexturePlanTest, FormatTableFallsBackInOrder) {
  struct Case {
    const char* what;
    std::vector<PixelFormat> formats;
    render::TextureFormatTable expected;
  };
  const Case cases[] = {
      {"everything",
       {F::X8R8G8B8, F::R5G6B5, F::A1R5G5B5, F::A4R4G4B4, F::A8R8G8B8, F::Dxt1, F::Dxt2, F::Dxt3, F::Dxt4,
        F::Dxt5},
       {F::X8R8G8B8, F::A1R5G5B5, F::A4R4G4B4, F::A8R8G8B8, F::Dxt1, F::Dxt2, F::Dxt3, F::Dxt4, F::Dxt5}},
      {"no compression",
       {F::X8R8G8B8, F::A8R8G8B8},
       {F::X8R8G8B8, F::A8R8G8B8, F::A8R8G8B8, F::A8R8G8B8, F::A8R8G8B8, F::Unknown, F::A8R8G8B8, F::Unknown,
        F::A8R8G8B8}},
      {"sixteen bits only",
       {F::R5G6B5, F::A4R4G4B4},
       {F::R5G6B5, F::A4R4G4B4, F::A4R4G4B4, F::A4R4G4B4, F::A4R4G4B4, F::Unknown, F::A4R4G4B4, F::Unknown,
        F::A4R4G4B4}},
      {"one-bit alpha only",
       {F::X1R5G5B5, F::A1R5G5B5},
       {F::X1R5G5B5, F::A1R5G5B5, F::A1R5G5B5, F::A1R5G5B5, F::A1R5G5B5, F::Unknown, F::A1R5G5B5, F::Unknown,
        F::A1R5G5B5}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const render::TextureFormatTable t =
        render::build_texture_format_table(TextureCaps{.formats = c.formats});
    const render::TextureFormatTable& e = c.expected;
    EXPECT_EQ(t.opaque, e.opaque);
    EXPECT_EQ(t.alpha, e.alpha);
    EXPECT_EQ(t.alpha4, e.alpha4);
    EXPECT_EQ(t.alpha8, e.alpha8);
    EXPECT_EQ(t.dxt1, e.dxt1);
    EXPECT_EQ(t.dxt2, e.dxt2);
    EXPECT_EQ(t.dxt3, e.dxt3);
    EXPECT_EQ(t.dxt4, e.dxt4);
    EXPECT_EQ(t.dxt5, e.dxt5);
  }
}

TEST(TexturePlanTest, ImageFormatsChooseTheirEntry) {
  const render::TextureFormatTable table{F::X8R8G8B8, F::A1R5G5B5, F::A4R4G4B4, F::A8R8G8B8, F::Dxt1,
                                         F::Unknown,  F::Dxt3,     F::Unknown,  F::Dxt5};
  EXPECT_EQ(render::texture_format_for(table, F::R8G8B8, false), F::X8R8G8B8);
  EXPECT_EQ(render::texture_format_for(table, F::R8G8B8, true), F::A1R5G5B5);
  EXPECT_EQ(render::texture_format_for(table, F::X8R8G8B8, true), F::A1R5G5B5);
  EXPECT_EQ(render::texture_format_for(table, F::A1R5G5B5, false), F::A1R5G5B5);
  EXPECT_EQ(render::texture_format_for(table, F::A4R4G4B4, false), F::A4R4G4B4);
  EXPECT_EQ(render::texture_format_for(table, F::A8R8G8B8, false), F::A8R8G8B8);
  EXPECT_EQ(render::texture_format_for(table, F::Dxt2, true), F::Unknown);
  EXPECT_EQ(render::texture_format_for(table, F::Dxt5, false), F::Dxt5);
}

TEST(TexturePlanTest, SizesFitTheDevice) {
  struct Case {
    const char* what;
    TextureCaps caps;
    std::uint32_t width, height;
    render::TextureExtent expected;
  };
  const Case cases[] = {
      {"powers of two, 256 at most",
       {.max_width = 256, .max_height = 256, .pow2_required = true},
       300,
       200,
       {256, 256}},
      {"square only", {.max_width = 512, .max_height = 512, .square_required = true}, 300, 200, {300, 300}},
      {"square, limited first",
       {.max_width = 256, .max_height = 512, .square_required = true},
       300,
       200,
       {256, 256}},
      {"no limit named: 256", {}, 300, 200, {256, 200}},
      {"powers of two", {.max_width = 4096, .max_height = 4096, .pow2_required = true}, 33, 1, {64, 1}},
      {"as it is", {.max_width = 4096, .max_height = 4096}, 33, 7, {33, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(render::fit_texture_size(c.caps, c.width, c.height), c.expected);
  }
}

Image argb_image(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                 PixelFormat format = F::A8R8G8B8) {
  std::vector<std::uint32_t> pixels(std::size_t{width} * height);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = 0xFF000000 | static_cast<std::uint32_t>(i * 0x010203);
  Image image = *render::image_from_argb(format, width, height, pixels);
  if (levels != 1) render::build_mip_chain(image, levels);
  return image;
}

const TextureCaps kModern{
    .max_width = 4096, .max_height = 4096, .formats = {F::X8R8G8B8, F::A8R8G8B8, F::Dxt1, F::Dxt5}};

TEST(TexturePlanTest, AChainIsCopiedLevelByLevel) {
  const Image image = argb_image(256, 256, 9);
  const auto table = render::build_texture_format_table(kModern);
  const std::optional<TexturePlan> plan = render::plan_texture(kModern, table, image, {.mip_levels = 1});
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->copy_chain);
  EXPECT_EQ(plan->levels, 9u);
  EXPECT_EQ(plan->first_level, 0u);
  const std::optional<Image> texture = render::build_texture_image(image, *plan);
  ASSERT_TRUE(texture);
  ASSERT_EQ(texture->level_count(), 9u);
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(texture->levels[i].bytes, image.levels[i].bytes);
}

TEST(TexturePlanTest, OneLevelGetsTheRequestedLevels) {
  const Image image = argb_image(16, 8, 1);
  const auto table = render::build_texture_format_table(kModern);
  struct Case {
    int mip_levels;
    std::uint32_t expected;
  };
  for (const Case c : {Case{1, 1}, Case{render::kDefaultMipLevels, 1}, Case{0, 5}, Case{3, 3}, Case{40, 5}}) {
    SCOPED_TRACE(c.mip_levels);
    const std::optional<TexturePlan> plan =
        render::plan_texture(kModern, table, image, {.mip_levels = c.mip_levels});
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->copy_chain);
    EXPECT_EQ(plan->levels, c.expected);
    const std::optional<Image> texture = render::build_texture_image(image, *plan);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->level_count(), c.expected);
    EXPECT_EQ(texture->levels[0].bytes, image.levels[0].bytes);
  }
}

// A 512 chain on a device of 256 at most starts at its second level instead
// of failing.
TEST(TexturePlanTest, ATopLevelTooLargeForTheDeviceIsLeftOut) {
  const Image image = argb_image(512, 256, 0);
  const TextureCaps small{.max_width = 256, .max_height = 256, .formats = {F::A8R8G8B8}};
  const std::optional<TexturePlan> plan =
      render::plan_texture(small, render::build_texture_format_table(small), image, {});
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->copy_chain);
  EXPECT_EQ(plan->first_level, 1u);
  EXPECT_EQ(plan->width, 256u);
  EXPECT_EQ(plan->height, 128u);
  EXPECT_EQ(plan->levels, 9u);
  const std::optional<Image> texture = render::build_texture_image(image, *plan);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->levels[0].bytes, image.levels[1].bytes);
  EXPECT_EQ(texture->levels[8].bytes, image.levels[9].bytes);
}

TEST(TexturePlanTest, AChainThatBreaksTheSizeRulesIsRebuilt) {
  const Image image = argb_image(12, 12, 0);  // 12, 6, 3, 1
  const TextureCaps pow2{.max_width = 64, .max_height = 64, .pow2_required = true, .formats = {F::A8R8G8B8}};
  const std::optional<TexturePlan> plan =
      render::plan_texture(pow2, render::build_texture_format_table(pow2), image, {});
  ASSERT_TRUE(plan);
  EXPECT_FALSE(plan->copy_chain);
  EXPECT_EQ(plan->width, 16u);
  EXPECT_EQ(plan->levels, 4u);
  const std::optional<Image> texture = render::build_texture_image(image, *plan);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->width(), 16u);
  EXPECT_EQ(texture->levels[3].width, 2u);
}

TEST(TexturePlanTest, DxtWithoutCompressedTexturesIsDecoded) {
  Image dxt;
  dxt.format = F::Dxt1;
  dxt.levels.push_back(*render::make_level(F::Dxt1, 4, 4));
  dxt.levels[0].bytes = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};  // solid red

  const TextureCaps plain{.max_width = 64, .max_height = 64, .formats = {F::X8R8G8B8, F::A8R8G8B8}};
  const std::optional<TexturePlan> plan =
      render::plan_texture(plain, render::build_texture_format_table(plain), dxt, {});
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->format, F::A8R8G8B8);
  const std::optional<Image> texture = render::build_texture_image(dxt, *plan);
  ASSERT_TRUE(texture);
  EXPECT_EQ(render::level_to_argb(texture->format, texture->levels[0])[15], 0xFFFF0000u);

  // With compressed textures the blocks are kept, unless new levels are
  // asked for, which need the uncompressed fallback.
  const auto table = render::build_texture_format_table(kModern);
  EXPECT_EQ(render::plan_texture(kModern, table, dxt, {})->format, F::Dxt1);
  EXPECT_EQ(render::build_texture_image(dxt, *render::plan_texture(kModern, table, dxt, {}))->levels[0].bytes,
            dxt.levels[0].bytes);
  EXPECT_EQ(render::plan_texture(kModern, table, dxt, {.mip_levels = 0})->format, F::A8R8G8B8);

  Image dxt2 = dxt;
  dxt2.format = F::Dxt2;
  EXPECT_FALSE(render::plan_texture(kModern, table, dxt2, {})) << "no entry for DXT2";
}

TEST(TexturePlanTest, ConversionAndAnExplicitSize) {
  const Image image = argb_image(4, 4, 1, F::X8R8G8B8);
  const TextureCaps caps{.max_width = 64, .max_height = 64, .formats = {F::R5G6B5}};
  const std::optional<TexturePlan> plan =
      render::plan_texture(caps, render::build_texture_format_table(caps), image, {.size = {8, 2}});
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->format, F::R5G6B5);
  const std::optional<Image> texture = render::build_texture_image(image, *plan);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->format, F::R5G6B5);
  EXPECT_EQ(texture->width(), 8u);
  EXPECT_EQ(texture->height(), 2u);
  EXPECT_EQ(texture->levels[0].bytes.size(), 32u);
}

}  // namespace
