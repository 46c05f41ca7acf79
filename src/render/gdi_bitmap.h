#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/rect.h"
#include "render/pixel_surface.h"

namespace render {

class PackedDib;

// Raster operations: the classic three-operand codes, of which the bits
// 16..23 give the result for each combination of pattern (the brush),
// source and destination bits.
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kSrcPaint = 0x00EE0086;
inline constexpr std::uint32_t kSrcAnd = 0x008800C6;
inline constexpr std::uint32_t kSrcInvert = 0x00660046;
inline constexpr std::uint32_t kSrcErase = 0x00440328;
inline constexpr std::uint32_t kNotSrcCopy = 0x00330008;
inline constexpr std::uint32_t kNotSrcErase = 0x001100A6;
inline constexpr std::uint32_t kMergeCopy = 0x00C000CA;
inline constexpr std::uint32_t kMergePaint = 0x00BB0226;
inline constexpr std::uint32_t kPatCopy = 0x00F00021;
inline constexpr std::uint32_t kPatInvert = 0x005A0049;
inline constexpr std::uint32_t kDstInvert = 0x00550009;
inline constexpr std::uint32_t kBlackness = 0x00000042;
inline constexpr std::uint32_t kWhiteness = 0x00FF0062;

// The result of a raster operation on pattern, source and destination words.
std::uint32_t apply_rop(std::uint32_t rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);

enum class StretchMode {
  BlackOnWhite = 1,
  WhiteOnBlack = 2,
  ColorOnColor = 3,  // each target pixel takes one source pixel
  Halftone = 4,      // each target pixel is the mean of the source pixels it covers
};

// A picture read back from a back buffer: R, G, B, A bytes per pixel, rows
// top to bottom.
struct ScreenPixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::span<const std::uint8_t> rgba;
};

// A bitmap to draw into and from with the classic drawing rules: 32-bit
// (like the screen), 24-bit, or 1-bit monochrome. Pixels are 0x00RRGGBB
// words, rows top to bottom; 32-bit bitmaps keep the alpha byte, 24-bit ones
// hold it 0, monochrome ones hold only black (0) and white (0xFFFFFF).
//
// Drawing clips to both pictures: pixels that would come from outside the
// source or land outside the target are left out. A colour picture drawn
// into a monochrome one becomes white where it has the source's background
// colour and black elsewhere; a monochrome picture drawn into a colour one
// takes the target's text colour for black and its background colour for
// white.
class GdiBitmap : public PixelSurface {
 public:
  static constexpr std::int64_t kNoTransparentColor = -1;

  GdiBitmap() = default;

  // Each replaces the picture; false (and empty) for a side of 0 or above
  // kMaxImageExtent, or memory that cannot be had. New pictures are black.
  bool create_compatible(std::int32_t width, std::int32_t height);  // 32-bit
  bool create_mono(std::int32_t width, std::int32_t height);
  bool dib_section(std::int32_t width, std::int32_t height, int bits);  // 24 or 32
  // A compatible bitmap filled from the source at (x, y) with a raster
  // operation (on a black picture).
  bool capture(const PixelSurface& source, std::int32_t width, std::int32_t height, std::int32_t x,
               std::int32_t y, std::uint32_t rop = kSrcCopy);
  bool capture(const ScreenPixels& screen, std::int32_t width, std::int32_t height, std::int32_t x,
               std::int32_t y, std::uint32_t rop = kSrcCopy);
  // A compatible bitmap of rows of a DIB, counted from its top: all rows from
  // first_row when rows is 0, and never more than the DIB has.
  bool from_dib(const PackedDib& dib, std::int32_t first_row = 0, std::int32_t rows = 0);
  // Replaces dib by this picture: same size and depth (black and white
  // palette for a monochrome one), top-down when asked.
  bool copy_to_dib(PackedDib& dib, bool top_down) const;

  // Draws width x height pixels from (src_x, src_y) to (x, y) of dest.
  // Without a transparent colour this is a blit with the raster operation.
  // With one, pixels of that colour leave dest as it was: a monochrome mask
  // (white where transparent) is drawn with SRCAND, then the picture with its
  // transparent pixels blackened with SRCPAINT.
  void draw(GdiBitmap& dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            std::int32_t src_x, std::int32_t src_y, std::uint32_t rop = kSrcCopy) const;
  // draw when both rectangles have the same size, else a stretch with the
  // given mode.
  void draw_stretched(GdiBitmap& dest, const base::Rect& dest_rect, const base::Rect& src_rect,
                      std::uint32_t rop, StretchMode mode) const;

  // Blit and stretch from any picture into this one.
  void blit_from(const PixelSurface& source, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height, std::int32_t src_x, std::int32_t src_y, std::uint32_t rop);
  void stretch_from(const PixelSurface& source, const base::Rect& dest_rect, const base::Rect& src_rect,
                    std::uint32_t rop, StretchMode mode);
  // Fills a rectangle with a Windows colour value (clipped).
  void fill(const base::Rect& rect, std::uint32_t colorref);

  // A Windows colour value, or kNoTransparentColor. Setting it drops what
  // prepare_transparency made.
  void set_transparent_color(std::int64_t colorref);
  std::int64_t transparent_color() const { return transparent_; }
  // Makes the mask and the blackened picture once, for drawing often; false
  // without a transparent colour.
  bool prepare_transparency();
  bool transparency_prepared() const { return !mask_.empty(); }

  // Windows colour values used when pictures change between colour and
  // monochrome, and the brush of pattern raster operations.
  void set_background_color(std::uint32_t colorref) { background_ = rgb_of_colorref(colorref); }
  void set_text_color(std::uint32_t colorref) { text_ = rgb_of_colorref(colorref); }
  void set_brush_color(std::uint32_t colorref) { brush_ = rgb_of_colorref(colorref); }

  bool empty() const { return pixels_.empty(); }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  int bits() const { return bits_; }
  std::span<std::uint32_t> pixels() { return pixels_; }
  std::span<const std::uint32_t> pixels() const { return pixels_; }
  // 0 outside the picture.
  std::uint32_t pixel(std::int32_t x, std::int32_t y) const;
  // Stores a pixel as the depth holds it (nothing outside the picture).
  void set_pixel(std::int32_t x, std::int32_t y, std::uint32_t value);
  // value as this depth holds it.
  std::uint32_t normalise(std::uint32_t value) const;

  std::int32_t surface_width() const override { return width_; }
  std::int32_t surface_height() const override { return height_; }
  std::uint32_t surface_pixel(std::int32_t x, std::int32_t y) const override {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
  }
  bool monochrome() const override { return bits_ == 1; }
  std::uint32_t background_rgb() const override { return background_; }

 private:
  bool allocate(std::int32_t width, std::int32_t height, int bits);
  // A source pixel as it enters this picture.
  std::uint32_t converted(const PixelSurface& source, std::uint32_t value) const;
  void combine(std::size_t at, std::uint32_t source_value, std::uint32_t rop);
  void draw_transparent(GdiBitmap& dest, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, std::int32_t src_x, std::int32_t src_y) const;

  std::vector<std::uint32_t> pixels_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  int bits_ = 0;
  std::uint32_t background_ = 0xFFFFFF;
  std::uint32_t text_ = 0;
  std::uint32_t brush_ = 0xFFFFFF;
  std::int64_t transparent_ = kNoTransparentColor;
  std::vector<std::uint32_t> mask_;   // white where transparent, else black
  std::vector<std::uint32_t> image_;  // the picture, transparent pixels black
};

}  // namespace render
