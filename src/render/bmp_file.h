#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "render/image.h"

namespace render {

// BMP files: a 14-byte file header ("BM", file size, two reserved words, the
// offset of the pixel rows), an info header (BITMAPINFOHEADER or a later
// version), the channel masks of a BI_BITFIELDS image when the header does
// not hold them, the palette, then the rows, bottom-up unless the height is
// negative, each padded to a multiple of 4 bytes.
inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
inline constexpr std::uint32_t kBmpRgb = 0;
inline constexpr std::uint32_t kBmpBitfields = 3;

// A BMP file's layout, checked against the file: the rows it refers to lie
// inside the file.
struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: the top row comes first
  std::uint16_t bits = 0;   // 1, 4, 8, 16, 24 or 32
  std::uint32_t compression = kBmpRgb;
  // The masks of 16- and 32-bit pixels (for BI_RGB the standard 5-5-5 and
  // 8-8-8 ones); alpha only from a header that carries an alpha mask.
  std::uint32_t red_mask = 0;
  std::uint32_t green_mask = 0;
  std::uint32_t blue_mask = 0;
  std::uint32_t alpha_mask = 0;
  // Palette entries of images of up to 8 bits, as stored: 0x00RRGGBB.
  std::vector<std::uint32_t> palette;
  std::span<const std::uint8_t> rows;
  std::uint64_t stride = 0;

  std::uint32_t pixel_width() const { return static_cast<std::uint32_t>(width); }
  std::uint32_t pixel_height() const;
  bool top_down() const { return height < 0; }
  // The stored bytes of the row shown at y (0 = top).
  std::span<const std::uint8_t> row(std::uint32_t y) const;
  // The pixel at (x, y), y = 0 at the top, as 0xAARRGGBB (alpha 0xFF unless
  // there is an alpha mask). An index beyond the palette reads as black.
  std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const;
};

// nullopt for no "BM" signature, an info header of another size than 40, 52,
// 56, 108 or 124 bytes, planes other than 1, a bit depth other than 1, 4, 8,
// 16, 24 or 32, compression other than BI_RGB (or BI_BITFIELDS for 16 and 32
// bits), a zero or empty mask, a zero side or one above kMaxImageExtent, a
// colours-used count above the depth's palette, a palette or rows the file
// does not hold, or a row offset that points into the headers or palette.
std::optional<BmpLayout> read_bmp(std::span<const std::uint8_t> file);

// The picture as an image: A8R8G8B8 when the file has an alpha mask, else
// X8R8G8B8.
std::optional<Image> decode_bmp(std::span<const std::uint8_t> file);

}  // namespace render
