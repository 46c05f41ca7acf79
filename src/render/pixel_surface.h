#pragma once

#include <cstdint>

namespace render {

// Read access to a picture that can be drawn into a GdiBitmap: a PackedDib or
// another GdiBitmap. Pixels are 0x00RRGGBB, with the alpha byte as stored
// for 32-bit pictures; y = 0 is the top row.
class PixelSurface {
 public:
  virtual ~PixelSurface() = default;
  virtual std::int32_t surface_width() const = 0;
  virtual std::int32_t surface_height() const = 0;
  // (x, y) must lie inside.
  virtual std::uint32_t surface_pixel(std::int32_t x, std::int32_t y) const = 0;
  // A 1-bit bitmap without colours of its own (0 black, 0xFFFFFF white),
  // which takes the colours of the surface it is drawn into.
  virtual bool monochrome() const { return false; }
  // The colour that becomes white when this surface is drawn into a
  // monochrome one (0x00RRGGBB); every other colour becomes black.
  virtual std::uint32_t background_rgb() const { return 0xFFFFFF; }
};

// Windows colour values are 0x00BBGGRR; pixels are 0x00RRGGBB.
constexpr std::uint32_t rgb_of_colorref(std::uint32_t colorref) {
  return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
constexpr std::uint32_t colorref_of_rgb(std::uint32_t rgb) { return rgb_of_colorref(rgb); }

}  // namespace render
