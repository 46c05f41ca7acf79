#include "render/image_loader.h"

#include <gtest/gtest.h>

#include "base/png.h"
#include "render/hand_package.h"
#include "render/image_bytes.h"
#include "render/package_builder.h"
#include "render/tga_file.h"

namespace {

using image_test::Bytes;
using render::ImageFileFormat;

TEST(ImageLoaderTest, CompanionNames) {
  struct Case {
    const char* path;
    const char* suffix;
    const char* expected;  // nullptr: none
  };
  const Case cases[] = {
      {"Fish-d.dds", "-b.dds", "Fish-b.dds"},
      {"Sand-d.dds", "-b.dds", "Sand-b.dds"},
      {"Rock.bmp", "-b.dds", "Rock-b.dds"},
      {"-d.dds", "-b.dds", "-d-b.dds"},
      {"x-d.dds", "-b.dds", "x-b.dds"},
      {"Sand-D.dds", "-b.dds", "Sand-D-b.dds"},
      {"Fish/Tang-d.tga", "-b.dds", "Fish/Tang-b.dds"},
      {"my.folder/Plain", "-b.dds", "my.folder/Plain-b.dds"},
      {"Fish-d.dds", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const std::optional<std::string> name = render::companion_name(c.path, c.suffix);
    if (c.expected == nullptr) {
      EXPECT_FALSE(name);
    } else {
      ASSERT_TRUE(name);
      EXPECT_EQ(*name, c.expected);
    }
  }
  EXPECT_FALSE(render::companion_name(std::string(256, 'a') + ".dds")) << "past 260 characters";
}

TEST(ImageLoaderTest, PlaceholderAndCacheNames) {
  EXPECT_TRUE(render::is_placeholder_texture_name("0000-Picture.dds"));
  EXPECT_TRUE(render::is_placeholder_texture_name("Tank0000-Frame.bmp"));
  EXPECT_FALSE(render::is_placeholder_texture_name("000-Picture.dds"));
  EXPECT_EQ(render::placeholder_base_name("0000-Picture.dds"), "0000-Picture");
  EXPECT_EQ(render::placeholder_node_name("0000-Picture.dds"), "Picture");
  EXPECT_EQ(render::placeholder_node_name("0000-"), "");
  EXPECT_EQ(render::texture_cache_name("Scene/Tank1/Sand-d.dds"), "Sand-d.dds");
}

Bytes tga_of(std::uint32_t argb) {
  return render::encode_tga(1, 1, std::vector<std::uint32_t>{argb}, 32, false, false);
}

TEST(ImageLoaderTest, TheReaderIsChosenByTheFirstBytes) {
  const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(render::image_file_format(Bytes{'D', 'D', 'S', ' '}), ImageFileFormat::Dds);
  EXPECT_EQ(render::image_file_format(Bytes{'B', 'M'}), ImageFileFormat::Bmp);
  EXPECT_EQ(render::image_file_format(png), ImageFileFormat::Png);
  EXPECT_EQ(render::image_file_format(tga_of(0)), ImageFileFormat::Tga);
  EXPECT_EQ(render::image_file_format(Bytes(5, 0)), ImageFileFormat::Unknown);

  const std::vector<std::uint8_t> rgba = {0x10, 0x20, 0x30, 0x40};
  const std::optional<render::Image> from_png = render::decode_image(base::encode_png(1, 1, 4, rgba, 4));
  ASSERT_TRUE(from_png);
  EXPECT_EQ(from_png->format, render::PixelFormat::A8R8G8B8);
  EXPECT_EQ(render::level_to_argb(from_png->format, from_png->levels[0])[0], 0x40102030u);
}

TEST(ImageLoaderTest, TexturesAndCompanionsFromFiles) {
  render_test::TempFolder folder;
  render_test::write_bytes(folder.file("Fish-d.tga"), tga_of(0xFF112233));
  render_test::write_bytes(folder.file("Fish-b.dds"), Bytes{'D', 'D', 'S', ' ', 1, 2});  // damaged
  render_test::write_bytes(folder.file("Rock.tga"), tga_of(0xFF445566));
  render_test::write_bytes(folder.file("Rock-b.dds"), tga_of(0xFF778899));  // any readable image

  const std::optional<render::TextureImages> fish =
      render::load_texture_images(folder.file("Fish-d.tga").c_str());
  ASSERT_TRUE(fish);
  EXPECT_EQ(fish->name, "Fish-d.tga");
  EXPECT_FALSE(fish->companion) << "a companion that does not read is no companion";

  const std::optional<render::TextureImages> rock =
      render::load_texture_images(folder.file("Rock.tga").c_str());
  ASSERT_TRUE(rock);
  ASSERT_TRUE(rock->companion);
  EXPECT_EQ(render::level_to_argb(rock->companion->format, rock->companion->levels[0])[0], 0xFF778899u);
  EXPECT_FALSE(render::load_texture_images(folder.file("Rock.tga").c_str(), "")->companion);

  EXPECT_FALSE(render::load_texture_images(folder.file("Missing.tga").c_str()));
  EXPECT_FALSE(render::load_texture_images(folder.file("Fish-b.dds").c_str()));
}

TEST(ImageLoaderTest, TexturesAndCompanionsFromAPackage) {
  render::PackageBuilder builder;
  builder.add(tga_of(0xFF010203), "Sand-d.tga", true);
  builder.add(tga_of(0xFF040506), "Sand-b.dds", false);
  builder.add(tga_of(0xFF070809), "Lone.tga", true);
  const std::optional<Bytes> bytes = builder.encode("");
  ASSERT_TRUE(bytes);
  render::PackageReader package;
  ASSERT_TRUE(package.open_memory(*bytes));

  const std::optional<render::TextureImages> sand = render::load_texture_images(package, "sand-d.tga");
  ASSERT_TRUE(sand);
  EXPECT_EQ(sand->name, "sand-d.tga");
  EXPECT_EQ(render::level_to_argb(sand->main.format, sand->main.levels[0])[0], 0xFF010203u);
  ASSERT_TRUE(sand->companion);
  EXPECT_EQ(render::level_to_argb(sand->companion->format, sand->companion->levels[0])[0], 0xFF040506u);

  const std::optional<render::TextureImages> lone = render::load_texture_images(package, "Lone.tga");
  ASSERT_TRUE(lone);
  EXPECT_FALSE(lone->companion);
  EXPECT_FALSE(render::load_texture_images(package, "Other.tga"));
}

}  // namespace
