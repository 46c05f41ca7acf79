#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/rect.h"
#include "render/package_reader.h"
#include "render/pixel_surface.h"

namespace render {

class GdiBitmap;

// A device-independent bitmap packed into one block: a 40-byte
// BITMAPINFOHEADER (size 40, width, height, planes 1, bit count, compression
// 0, image size, 72 and 72 pixels per metre, colours used, colours
// important), the palette (2^bits entries of B, G, R, 0 for up to 8 bits,
// none otherwise), then the rows, bottom-up (top-down when the height is
// negative), each padded to a multiple of 4 bytes.
class PackedDib : public PixelSurface {
 public:
  static constexpr std::size_t kHeaderSize = 40;
  static constexpr std::uint32_t kPixelsPerMetre = 72;

  PackedDib() = default;

  // A zeroed bitmap; false (and empty) for a zero width or height, a side
  // above kMaxImageExtent, a bit count other than 1, 4, 8, 16, 24 or 32, or
  // memory that cannot be had.
  bool create(std::int32_t width, std::int32_t height, int bits);
  // A BMP file of any layout read_bmp accepts; BI_BITFIELDS pictures become
  // 32-bit rows (with alpha when the file has an alpha mask), all others
  // keep their depth, palette and row order.
  bool load_bmp(std::span<const std::uint8_t> file);
  // A true-colour TGA file of 32 bits, plain or run-length encoded, into a
  // 32-bit bitmap, rows placed as the file's origin says. Other TGA files
  // give no image.
  bool load_tga(std::span<const std::uint8_t> file);
  // load_tga for names with the extension "tga", load_bmp for all others.
  bool load_image(std::string_view name, std::span<const std::uint8_t> file);
  bool load_image_file(const char* path);
  bool load_image_entry(PackageReader& package, std::string_view name);
  void reset();

  bool empty() const { return block_.empty(); }
  std::int32_t width() const { return width_; }
  // As stored: negative for a top-down bitmap.
  std::int32_t height() const { return height_; }
  std::uint32_t rows() const { return rows_; }
  int bits() const { return bits_; }
  bool top_down() const { return height_ < 0; }
  std::uint64_t stride() const { return stride_; }

  // The whole block: header, palette and rows.
  std::span<const std::uint8_t> block() const { return block_; }
  std::size_t palette_size() const { return palette_size_; }
  // 0x00RRGGBB.
  std::uint32_t palette_entry(std::size_t index) const;
  void set_palette_entry(std::size_t index, std::uint32_t rgb);

  // The bytes of the row shown at y (0 = top).
  std::span<std::uint8_t> row(std::uint32_t y);
  std::span<const std::uint8_t> row(std::uint32_t y) const;
  // 0x00RRGGBB (palette colours looked up, 16-bit pixels as 5-5-5), or the
  // whole 0xAARRGGBB word of a 32-bit bitmap. (x, y) must lie inside.
  std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const;
  // Stores a colour in a 16-, 24- or 32-bit bitmap, or a palette index in
  // one of up to 8 bits.
  void set_pixel(std::uint32_t x, std::uint32_t y, std::uint32_t value);

  // Draws the bitmap (or the part src, y = 0 at the top) into dest at
  // dest_rect: copied when the sizes match, else stretched with the
  // averaging (halftone) filter. Everything outside either picture is left
  // out.
  void draw(GdiBitmap& dest, const base::Rect& dest_rect, const base::Rect* src = nullptr) const;

  // The BMP file of this bitmap: a 14-byte file header and the block.
  std::vector<std::uint8_t> encode_bmp() const;

  std::int32_t surface_width() const override { return width_; }
  std::int32_t surface_height() const override { return static_cast<std::int32_t>(rows_); }
  std::uint32_t surface_pixel(std::int32_t x, std::int32_t y) const override {
    return pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
  }

 private:
  std::size_t rows_offset() const { return kHeaderSize + palette_size_ * 4; }

  std::vector<std::uint8_t> block_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::uint32_t rows_ = 0;
  int bits_ = 0;
  std::uint64_t stride_ = 0;
  std::size_t palette_size_ = 0;
};

}  // namespace render
