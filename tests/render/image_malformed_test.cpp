#include <gtest/gtest.h>

#include <functional>

#include "render/bmp_file.h"
#include "render/dds_file.h"
#include "render/image_bytes.h"
#include "render/image_loader.h"
#include "render/packed_dib.h"
#include "render/tga_file.h"

namespace {

using namespace image_test;

struct Case {
  const char* what;
  std::function<void(Bytes&)> damage;
};

// Every reader refuses each damaged file, and the loader and the bitmap
// loader with it.
void expect_refused(const Bytes& good, const std::vector<Case>& cases,
                    const std::function<bool(const Bytes&)>& reads) {
  ASSERT_TRUE(reads(good)) << "the undamaged file reads";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = good;
    c.damage(bytes);
    EXPECT_FALSE(reads(bytes));
    EXPECT_FALSE(render::decode_image(bytes));
  }
}

void expect_every_prefix_refused(const Bytes& good, const std::function<bool(const Bytes&)>& reads) {
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    EXPECT_FALSE(reads(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))));
  }
}

Bytes good_bmp() {
  BmpLayout layout{.width = 3, .height = 2, .bits = 8};
  layout.palette = {0x000000, 0xFFFFFF};
  layout.colours_used = 2;
  layout.rows = {0, 1, 0, 0, 1, 0, 1, 0};
  return bmp_file(layout);
}

TEST(ImageMalformedTest, BmpHeadersAreChecked) {
  const std::vector<Case> cases = {
      {"no signature", [](Bytes& b) { b[0] = 'X'; }},
      {"row offset past the end", [](Bytes& b) { set_u32(b, 10, 0xFFFFFFF0); }},
      {"row offset into the palette", [](Bytes& b) { set_u32(b, 10, 54 + 4); }},
      {"row offset leaving too few rows", [](Bytes& b) { set_u32(b, 10, 54 + 8 + 1); }},
      {"info header size 12", [](Bytes& b) { set_u32(b, 14, 12); }},
      {"info header size 64", [](Bytes& b) { set_u32(b, 14, 64); }},
      {"info header size 0xFFFFFFFF", [](Bytes& b) { set_u32(b, 14, 0xFFFFFFFF); }},
      {"width 0", [](Bytes& b) { set_u32(b, 18, 0); }},
      {"negative width", [](Bytes& b) { set_u32(b, 18, static_cast<std::uint32_t>(-3)); }},
      {"height 0", [](Bytes& b) { set_u32(b, 22, 0); }},
      {"height INT_MIN", [](Bytes& b) { set_u32(b, 22, 0x80000000); }},
      {"huge width", [](Bytes& b) { set_u32(b, 18, 0x7FFFFFFF); }},
      {"huge height", [](Bytes& b) { set_u32(b, 22, 100000); }},
      {"width larger than the rows", [](Bytes& b) { set_u32(b, 18, 9); }},
      {"planes 2", [](Bytes& b) { set_u16(b, 26, 2); }},
      {"bit count 7", [](Bytes& b) { set_u16(b, 28, 7); }},
      {"bit count 0", [](Bytes& b) { set_u16(b, 28, 0); }},
      {"run-length compression", [](Bytes& b) { set_u32(b, 30, 1); }},
      {"bit fields for 8 bits", [](Bytes& b) { set_u32(b, 30, 3); }},
      {"colours used above 256", [](Bytes& b) { set_u32(b, 46, 257); }},
      {"colours used 0xFFFFFFFF", [](Bytes& b) { set_u32(b, 46, 0xFFFFFFFF); }},
      {"colours used beyond the file", [](Bytes& b) { set_u32(b, 46, 200); }},
  };
  const auto reads = [](const Bytes& b) { return render::read_bmp(b).has_value(); };
  expect_refused(good_bmp(), cases, reads);
  expect_every_prefix_refused(good_bmp(), reads);
  const auto dib_reads = [](const Bytes& b) { return render::PackedDib().load_bmp(b); };
  expect_refused(good_bmp(), cases, dib_reads);
}

TEST(ImageMalformedTest, BmpMasksAreChecked) {
  BmpLayout layout{.width = 1, .height = 1, .bits = 16, .compression = 3};
  layout.masks = {0xF800, 0x07E0, 0x001F};
  layout.rows = {0, 0, 0, 0};
  const std::vector<Case> cases = {
      {"a zero mask", [](Bytes& b) { set_u32(b, 58, 0); }},
      {"a mask beyond 16 bits", [](Bytes& b) { set_u32(b, 54, 0x1F0000); }},
      {"a mask with a gap", [](Bytes& b) { set_u32(b, 62, 0x0015); }},
      {"bit fields for 24 bits", [](Bytes& b) { set_u16(b, 28, 24); }},
  };
  expect_refused(bmp_file(layout), cases, [](const Bytes& b) { return render::read_bmp(b).has_value(); });
}

Bytes good_tga() {
  Bytes file = tga_header({.id_length = 2, .image_type = 2, .width = 2, .height = 2, .bits = 24});
  put_bytes(file, {'i', 'd'});
  for (int i = 0; i < 12; ++i) put_u8(file, static_cast<std::uint32_t>(i));
  return file;
}

Bytes good_mapped_tga() {
  Bytes file = tga_header({.map_type = 1,
                           .image_type = 1,
                           .map_first = 4,
                           .map_length = 2,
                           .map_bits = 24,
                           .width = 2,
                           .height = 1,
                           .bits = 8});
  put_bytes(file, {1, 2, 3, 4, 5, 6, 4, 5});
  return file;
}

TEST(ImageMalformedTest, TgaHeadersAreChecked) {
  const auto reads = [](const Bytes& b) { return render::read_tga(b).has_value(); };
  const std::vector<Case> cases = {
      {"image type 0", [](Bytes& b) { b[2] = 0; }},
      {"image type 1 without a map", [](Bytes& b) { b[2] = 1; }},
      {"image type 9 without a map", [](Bytes& b) { b[2] = 9; }},
      {"image type 32", [](Bytes& b) { b[2] = 32; }},
      {"colour-map type 2", [](Bytes& b) { b[1] = 2; }},
      {"a map for a true-colour image", [](Bytes& b) { b[1] = 1; }},
      {"width 0", [](Bytes& b) { set_u16(b, 12, 0); }},
      {"height 0", [](Bytes& b) { set_u16(b, 14, 0); }},
      {"huge size", [](Bytes& b) { set_u16(b, 12, 0xFFFF), set_u16(b, 14, 0xFFFF); }},
      {"size larger than the data", [](Bytes& b) { set_u16(b, 14, 3); }},
      {"depth 8 for true colour", [](Bytes& b) { b[16] = 8; }},
      {"depth 0", [](Bytes& b) { b[16] = 0; }},
      {"depth 64", [](Bytes& b) { b[16] = 64; }},
      {"interleaved", [](Bytes& b) { b[17] = 0x40; }},
      {"id field past the end", [](Bytes& b) { b[0] = 255; }},
  };
  expect_refused(good_tga(), cases, reads);
  expect_every_prefix_refused(good_tga(), reads);

  const std::vector<Case> mapped_cases = {
      {"index below the first entry", [](Bytes& b) { b.back() = 3; }},
      {"index past the map", [](Bytes& b) { b.back() = 6; }},
      {"map of length 0", [](Bytes& b) { set_u16(b, 5, 0); }},
      {"map longer than the file", [](Bytes& b) { set_u16(b, 5, 0xFFFF); }},
      {"map entries of 8 bits", [](Bytes& b) { b[7] = 8; }},
      {"16-bit indices", [](Bytes& b) { b[16] = 16; }},
  };
  expect_refused(good_mapped_tga(), mapped_cases, reads);
  expect_every_prefix_refused(good_mapped_tga(), reads);
}

TEST(ImageMalformedTest, TgaRunLengthDataIsChecked) {
  Bytes file = tga_header({.image_type = 10, .width = 4, .height = 1, .bits = 32});
  put_u8(file, 0x80 | 1);
  put_u32(file, 1);
  put_u8(file, 1);
  put_u32(file, 2);
  put_u32(file, 3);
  const auto reads = [](const Bytes& b) { return render::read_tga(b).has_value(); };
  expect_every_prefix_refused(file, reads);
  expect_refused(file,
                 {{"raw packet longer than the file", [](Bytes& b) { b[23] = 0x7F; }},
                  {"a huge picture from a few packets",
                   [](Bytes& b) {
                     set_u16(b, 12, 16384);
                     set_u16(b, 14, 16384);
                   }}},
                 reads);
}

Bytes good_dds() {
  DdsLayout layout;
  layout.width = 4;
  layout.height = 4;
  layout.mip_count = 3;
  Bytes file = dds_header(layout);
  file.resize(file.size() + 64 + 16 + 4, 0x5A);
  return file;
}

TEST(ImageMalformedTest, DdsHeadersAreChecked) {
  const std::vector<Case> cases = {
      {"no magic", [](Bytes& b) { b[0] = 'X'; }},
      {"header size 0", [](Bytes& b) { set_u32(b, 4, 0); }},
      {"header size 128", [](Bytes& b) { set_u32(b, 4, 128); }},
      {"pixel format size 0", [](Bytes& b) { set_u32(b, 4 + 72, 0); }},
      {"width 0", [](Bytes& b) { set_u32(b, 16, 0); }},
      {"height 0", [](Bytes& b) { set_u32(b, 12, 0); }},
      {"huge width", [](Bytes& b) { set_u32(b, 16, 0xFFFFFFFF); }},
      {"huge height", [](Bytes& b) { set_u32(b, 12, 1u << 20); }},
      {"a size the data does not hold", [](Bytes& b) { set_u32(b, 16, 8); }},
      {"more levels than a full chain", [](Bytes& b) { set_u32(b, 28, 4); }},
      {"a mip count of 0xFFFFFFFF", [](Bytes& b) { set_u32(b, 28, 0xFFFFFFFF); }},
      {"a cube map", [](Bytes& b) { set_u32(b, 4 + 108, 0x200 | 0xFC00); }},
      {"a volume texture", [](Bytes& b) { set_u32(b, 4 + 108, 0x200000); }},
      {"a depth",
       [](Bytes& b) {
         set_u32(b, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x800000);
         set_u32(b, 24, 2);
       }},
      {"an unknown bit count", [](Bytes& b) { set_u32(b, 4 + 84, 48); }},
      {"no masks", [](Bytes& b) { set_u32(b, 4 + 88, 0), set_u32(b, 4 + 92, 0), set_u32(b, 4 + 96, 0); }},
      {"an unknown FourCC", [](Bytes& b) { set_u32(b, 4 + 76, 0x4), set_u32(b, 4 + 80, fourcc_of("DX10")); }},
      {"a FourCC that is a format number", [](Bytes& b) { set_u32(b, 4 + 76, 0x4), set_u32(b, 4 + 80, 21); }},
  };
  const auto reads = [](const Bytes& b) { return render::decode_dds(b).has_value(); };
  expect_refused(good_dds(), cases, reads);
  expect_every_prefix_refused(good_dds(), reads);
}

}  // namespace
