#include "render/packed_dib.h"

#include <gtest/gtest.h>

#include "render/bmp_file.h"
#include "render/gdi_bitmap.h"
#include "render/hand_package.h"
#include "render/image_bytes.h"
#include "render/package_builder.h"
#include "render/tga_file.h"

namespace {

using namespace image_test;
using render::PackedDib;

std::uint32_t u32_at(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}

TEST(PackedDibTest, CreateWritesTheInfoHeaderAndPaddedRows) {
  struct Case {
    std::int32_t width, height;
    int bits;
    std::size_t palette, stride;
  };
  for (const Case c : {Case{3, 2, 24, 0, 12}, Case{5, -4, 8, 256, 8}, Case{9, 1, 1, 2, 4},
                       Case{3, 3, 4, 16, 4}, Case{1, 1, 32, 0, 4}, Case{3, 1, 16, 0, 8}}) {
    SCOPED_TRACE(c.bits);
    PackedDib dib;
    ASSERT_TRUE(dib.create(c.width, c.height, c.bits));
    const std::span<const std::uint8_t> b = dib.block();
    const std::size_t rows = static_cast<std::size_t>(c.height < 0 ? -c.height : c.height);
    ASSERT_EQ(b.size(), 40 + c.palette * 4 + c.stride * rows);
    EXPECT_EQ(u32_at(b, 0), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(u32_at(b, 4)), c.width);
    EXPECT_EQ(static_cast<std::int32_t>(u32_at(b, 8)), c.height);
    EXPECT_EQ(b[12] | b[13] << 8, 1);
    EXPECT_EQ(b[14] | b[15] << 8, c.bits);
    EXPECT_EQ(u32_at(b, 16), 0u);
    EXPECT_EQ(u32_at(b, 20), c.stride * rows);
    EXPECT_EQ(u32_at(b, 24), 72u);
    EXPECT_EQ(u32_at(b, 28), 72u);
    EXPECT_EQ(dib.stride(), c.stride);
    EXPECT_EQ(dib.palette_size(), c.palette);
    EXPECT_EQ(dib.top_down(), c.height < 0);
  }
  PackedDib dib;
  EXPECT_FALSE(dib.create(0, 1, 24));
  EXPECT_FALSE(dib.create(1, 0, 24));
  EXPECT_FALSE(dib.create(1, 1, 2));
  EXPECT_FALSE(dib.create(100000, 1, 24));
  EXPECT_TRUE(dib.empty());
}

TEST(PackedDibTest, RowsAreStoredBottomUpUnlessTheHeightIsNegative) {
  for (const std::int32_t height : {2, -2}) {
    PackedDib dib;
    ASSERT_TRUE(dib.create(1, height, 24));
    dib.set_pixel(0, 0, 0x112233);  // the top row
    const std::span<const std::uint8_t> rows = dib.block().subspan(40);
    const std::size_t top = height > 0 ? 4 : 0;
    EXPECT_EQ(rows[top], 0x33);
    EXPECT_EQ(rows[top + 2], 0x11);
    EXPECT_EQ(dib.pixel(0, 0), 0x112233u);
  }
}

TEST(PackedDibTest, LoadBmpKeepsDepthPaletteAndRowOrder) {
  BmpLayout layout{.width = 2, .height = 2, .bits = 8};
  layout.palette = {0x00AABBCC, 0x00010203};
  layout.colours_used = 2;
  layout.rows = {1, 0, 0, 0, 0, 1, 0, 0};
  PackedDib dib;
  ASSERT_TRUE(dib.load_bmp(bmp_file(layout)));
  EXPECT_EQ(dib.bits(), 8);
  EXPECT_EQ(dib.palette_size(), 256u);
  EXPECT_EQ(dib.palette_entry(0), 0xAABBCCu);
  EXPECT_EQ(dib.palette_entry(1), 0x010203u);
  EXPECT_EQ(dib.palette_entry(2), 0u);
  EXPECT_EQ(dib.pixel(0, 0), 0xAABBCCu);
  EXPECT_EQ(dib.pixel(1, 0), 0x010203u);
  EXPECT_EQ(dib.pixel(0, 1), 0x010203u);
  // The block is the file less its 14-byte header, apart from the palette
  // grown to 256 entries.
  const Bytes written = dib.encode_bmp();
  PackedDib again;
  ASSERT_TRUE(again.load_bmp(written));
  EXPECT_TRUE(std::equal(again.block().begin(), again.block().end(), dib.block().begin(), dib.block().end()));

  BmpLayout masked{.width = 1, .height = -1, .bits = 16, .compression = 3};
  masked.masks = {0xF800, 0x07E0, 0x001F};
  masked.rows = {0x1F, 0x00, 0, 0};
  ASSERT_TRUE(dib.load_bmp(bmp_file(masked)));
  EXPECT_EQ(dib.bits(), 32) << "bit fields become plain 32-bit rows";
  EXPECT_TRUE(dib.top_down());
  EXPECT_EQ(dib.pixel(0, 0), 0x0000FFu);
}

TEST(PackedDibTest, LoadTgaTakesThirtyTwoBitTrueColourOnly) {
  const std::vector<std::uint32_t> picture = {0x80FF0000, 0x4000FF00};  // top, bottom
  for (const bool top_first : {false, true}) {
    for (const bool rle : {false, true}) {
      PackedDib dib;
      ASSERT_TRUE(dib.load_tga(render::encode_tga(1, 2, picture, 32, rle, top_first)));
      EXPECT_EQ(dib.bits(), 32);
      EXPECT_FALSE(dib.top_down());
      EXPECT_EQ(dib.pixel(0, 0), 0x80FF0000u);
      EXPECT_EQ(dib.pixel(0, 1), 0x4000FF00u);
    }
  }
  PackedDib dib;
  EXPECT_FALSE(dib.load_tga(render::encode_tga(1, 2, picture, 24, false, false)));
  Bytes grey = tga_header({.image_type = 3, .width = 1, .height = 1, .bits = 8});
  grey.push_back(7);
  EXPECT_FALSE(dib.load_tga(grey));
  EXPECT_TRUE(dib.empty());
}

TEST(PackedDibTest, LoadImageChoosesByExtensionFromFilesAndPackages) {
  const Bytes tga = render::encode_tga(1, 1, std::vector<std::uint32_t>{0x12345678}, 32, false, false);
  BmpLayout layout{.width = 1, .height = 1, .bits = 24};
  layout.rows = {0x03, 0x02, 0x01, 0x00};
  const Bytes bmp = bmp_file(layout);

  PackedDib dib;
  EXPECT_TRUE(dib.load_image("Cursor0.TGA", tga));
  EXPECT_FALSE(dib.load_image("Cursor0.bmp", tga));
  EXPECT_TRUE(dib.load_image("Skin.msk", bmp));

  render_test::TempFolder folder;
  render_test::write_bytes(folder.file("Pop.tga"), tga);
  ASSERT_TRUE(dib.load_image_file(folder.file("Pop.tga").c_str()));
  EXPECT_EQ(dib.pixel(0, 0), 0x12345678u);
  EXPECT_FALSE(dib.load_image_file(folder.file("None.tga").c_str()));

  render::PackageBuilder builder;
  builder.add(bmp, "Button.bmp", true);
  render::PackageReader package;
  const std::optional<Bytes> bytes = builder.encode("");
  ASSERT_TRUE(package.open_memory(*bytes));
  ASSERT_TRUE(dib.load_image_entry(package, "button.bmp"));
  EXPECT_EQ(dib.pixel(0, 0), 0x010203u);
  EXPECT_FALSE(dib.load_image_entry(package, "Missing.bmp"));
}

TEST(PackedDibTest, DrawCopiesOrStretchesAndClips) {
  PackedDib dib;
  ASSERT_TRUE(dib.create(2, 1, 24));
  dib.set_pixel(0, 0, 0x000000);
  dib.set_pixel(1, 0, 0x0000FE);

  render::GdiBitmap dest;
  ASSERT_TRUE(dest.dib_section(4, 2, 24));
  dib.draw(dest, {-1, 1, 1, 2});  // half outside on the left
  EXPECT_EQ(dest.pixel(0, 1), 0x0000FEu);
  EXPECT_EQ(dest.pixel(1, 1), 0u);

  dest.fill({0, 0, 4, 2}, 0xFFFFFF);
  const base::Rect right_pixel{1, 0, 2, 1};
  dib.draw(dest, {0, 0, 4, 1}, &right_pixel);  // one pixel over four
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.pixel(x, 0), 0x0000FEu);
  dib.draw(dest, {0, 1, 1, 2});  // both pixels into one: averaged
  EXPECT_EQ(dest.pixel(0, 1), 0x00007Fu);
  dib.draw(dest, {3, 1, 100, 100});
  EXPECT_EQ(dest.pixel(3, 1), 0u);
}

}  // namespace
