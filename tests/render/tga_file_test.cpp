#include "render/tga_file.h"

#include <gtest/gtest.h>

#include "render/image_bytes.h"

namespace {

using namespace image_test;
using render::PixelFormat;

void put_bgr(Bytes& out, std::uint32_t rgb) {
  put_u8(out, rgb);
  put_u8(out, rgb >> 8);
  put_u8(out, rgb >> 16);
}

// The picture every case shows, 3 x 2, top row first.
const std::vector<std::uint32_t> kPicture = {0xFF112233, 0xFF445566, 0xFF778899,  //
                                             0xFFAABBCC, 0xFFDDEEFF, 0xFF010203};

TEST(TgaFileTest, TrueColourInBothRowOrders) {
  for (const bool top_first : {false, true}) {
    SCOPED_TRACE(top_first ? "top row first" : "bottom row first");
    Bytes file =
        tga_header({.width = 3, .height = 2, .bits = 24, .descriptor = std::uint8_t(top_first ? 0x20 : 0)});
    for (int r = 0; r < 2; ++r) {
      const int y = top_first ? r : 1 - r;
      for (int x = 0; x < 3; ++x) put_bgr(file, kPicture[y * 3 + x]);
    }
    const std::optional<render::TgaPicture> tga = render::read_tga(file);
    ASSERT_TRUE(tga);
    EXPECT_FALSE(tga->has_alpha);
    EXPECT_EQ(tga->argb, kPicture);
    EXPECT_EQ(render::decode_tga(file)->format, PixelFormat::X8R8G8B8);
  }
}

TEST(TgaFileTest, ThirtyTwoBitsKeepAlphaAndRightToLeftIsMirrored) {
  Bytes file = tga_header({.width = 2, .height = 1, .bits = 32, .descriptor = 0x28 | 0x10});
  put_u32(file, 0x80FF0000);  // the right pixel, stored first
  put_u32(file, 0x0000FF00);
  const std::optional<render::Image> image = render::decode_tga(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, PixelFormat::A8R8G8B8);
  EXPECT_EQ(render::level_to_argb(image->format, image->levels[0]),
            (std::vector<std::uint32_t>{0x0000FF00, 0x80FF0000}));
}

TEST(TgaFileTest, RunLengthPacketsMayCrossRows) {
  // Bottom row first: a run of 4 copies (crossing into the top row), then a
  // raw packet of the last 2 pixels.
  Bytes file = tga_header({.image_type = 10, .width = 3, .height = 2, .bits = 32, .descriptor = 8});
  put_u8(file, 0x80 | 3);
  put_u32(file, 0xFF0000FF);
  put_u8(file, 1);
  put_u32(file, 0x7F00FF00);
  put_u32(file, 0x00FF0000);
  const std::optional<render::TgaPicture> tga = render::read_tga(file);
  ASSERT_TRUE(tga);
  EXPECT_EQ(tga->argb, (std::vector<std::uint32_t>{0xFF0000FF, 0x7F00FF00, 0x00FF0000,  //
                                                   0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
}

TEST(TgaFileTest, APacketPastThePictureIsCutThere) {
  Bytes file = tga_header({.image_type = 10, .width = 2, .height = 1, .bits = 24});
  put_u8(file, 0x80 | 9);  // a run of 10 for a picture of 2
  put_bgr(file, 0x123456);
  const std::optional<render::TgaPicture> tga = render::read_tga(file);
  ASSERT_TRUE(tga);
  EXPECT_EQ(tga->argb, (std::vector<std::uint32_t>{0xFF123456, 0xFF123456}));
}

TEST(TgaFileTest, GreyAndColourMappedPictures) {
  Bytes grey = tga_header({.image_type = 3, .width = 2, .height = 1, .bits = 8, .descriptor = 0x20});
  put_bytes(grey, {0x00, 0x80});
  EXPECT_EQ(render::read_tga(grey)->argb, (std::vector<std::uint32_t>{0xFF000000, 0xFF808080}));

  // Entries 10 and 11 of a 24-bit map, an id field before it, RLE pixels.
  Bytes mapped = tga_header({.id_length = 3,
                             .map_type = 1,
                             .image_type = 9,
                             .map_first = 10,
                             .map_length = 2,
                             .map_bits = 24,
                             .width = 3,
                             .height = 1,
                             .bits = 8,
                             .descriptor = 0x20});
  put_bytes(mapped, {'a', 'b', 'c'});
  put_bgr(mapped, 0xFF8000);
  put_bgr(mapped, 0x0080FF);
  put_bytes(mapped, {0x80 | 1, 11, 0, 10});
  EXPECT_EQ(render::read_tga(mapped)->argb, (std::vector<std::uint32_t>{0xFF0080FF, 0xFF0080FF, 0xFFFF8000}));
}

TEST(TgaFileTest, SixteenBitPixelsWithAndWithoutTheAlphaBit) {
  for (const std::uint8_t alpha_bits : {std::uint8_t{0}, std::uint8_t{1}}) {
    Bytes file =
        tga_header({.width = 2, .height = 1, .bits = 16, .descriptor = std::uint8_t(0x20 | alpha_bits)});
    put_u16(file, 0x7C00);  // red, alpha bit clear
    put_u16(file, 0x801F);  // blue, alpha bit set
    const std::optional<render::TgaPicture> tga = render::read_tga(file);
    ASSERT_TRUE(tga);
    EXPECT_EQ(tga->has_alpha, alpha_bits != 0);
    EXPECT_EQ(tga->argb[0], alpha_bits != 0 ? 0x00FF0000u : 0xFFFF0000u);
    EXPECT_EQ(tga->argb[1], 0xFF0000FFu);
  }
}

// A footer after the pixels (as newer files carry) is not part of the
// picture; the pixels are read for the declared size only.
TEST(TgaFileTest, ReadsTheDeclaredSizeNotTheRestOfTheFile) {
  Bytes file = tga_header({.width = 1, .height = 1, .bits = 32, .descriptor = 8});
  put_u32(file, 0x11223344);
  const Bytes footer = {0,   0,   0,   0,   0,   0,   0,   0,   'T', 'R', 'U', 'E', 'V',
                        'I', 'S', 'I', 'O', 'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
  file.insert(file.end(), footer.begin(), footer.end());
  const std::optional<render::TgaPicture> tga = render::read_tga(file);
  ASSERT_TRUE(tga);
  EXPECT_EQ(tga->argb, (std::vector<std::uint32_t>{0x11223344}));
}

TEST(TgaFileTest, WrittenFilesReadBack) {
  const std::vector<std::uint32_t> picture = {0x80FF0000, 0x80FF0000, 0x80FF0000, 0x01020304,
                                              0x05060708, 0x05060708, 0xFFFFFFFF, 0x00000000};
  for (const bool rle : {false, true}) {
    for (const bool top_first : {false, true}) {
      SCOPED_TRACE(std::string(rle ? "rle" : "plain") + (top_first ? " top" : " bottom"));
      const Bytes file = render::encode_tga(4, 2, picture, 32, rle, top_first);
      const std::optional<render::TgaPicture> tga = render::read_tga(file);
      ASSERT_TRUE(tga);
      EXPECT_EQ(tga->argb, picture);
      const std::optional<render::TgaPicture> opaque =
          render::read_tga(render::encode_tga(4, 2, picture, 24, rle, top_first));
      ASSERT_TRUE(opaque);
      EXPECT_EQ(opaque->argb[3], 0xFF020304u);
    }
  }
}

}  // namespace
