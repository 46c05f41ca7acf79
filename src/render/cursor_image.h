#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "render/packed_dib.h"

namespace render {

// An icon or cursor as the window system keeps it: a mask and a colour
// picture, rows top to bottom, one 0x00RRGGBB word per pixel (a mask pixel
// is set when non-zero). A monochrome icon has no colour picture; its mask is
// twice as high and its lower half is the picture.
struct IconBitmaps {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> mask;
  std::vector<std::uint32_t> colour;
  std::int32_t hot_x = 0;
  std::int32_t hot_y = 0;
};

// A picture for the in-scene cursor: 0xAARRGGBB pixels, rows top to bottom,
// and the hot spot.
struct IconImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> argb;
  std::int32_t hot_x = 0;
  std::int32_t hot_y = 0;
};

// The icon as a picture of its size: 0 (transparent) where the mask is set,
// else the colour with alpha 255. nullopt when the pictures do not match the
// size.
std::optional<IconImage> icon_image(const IconBitmaps& icon);

// The standard arrow, a monochrome 32 x 32 cursor with its hot spot at the
// tip (0, 0).
const IconBitmaps& standard_arrow_cursor();

// The picture of a window's cursor, or of the standard arrow when the window
// has none.
std::optional<IconImage> cursor_image(const IconBitmaps* window_cursor);

// A cursor image from a bitmap holding frame_count images stacked
// vertically (the cursor bitmaps hold two: normal and pressed): frame
// `frame` (clamped to the frames) in a square of side max(width, 32) at its
// top left, the colour key (0xAARRGGBB, compared with alpha 255) and the
// rest of the square transparent. nullopt for an empty bitmap or no frames.
std::optional<IconImage> cursor_frame_image(const PackedDib& bitmap, std::int32_t frame,
                                            std::int32_t frame_count, std::uint32_t colour_key);

// The 32 x 32 picture the window system's cursor takes: the image at the top
// left, cut at 32 pixels, transparent elsewhere. Same layout as the
// platform's cursor image (0xAARRGGBB, rows top to bottom, hot spot).
struct CursorPixels {
  static constexpr int kSize = 32;
  std::uint32_t pixels[kSize * kSize] = {};
  int hot_x = 0;
  int hot_y = 0;
};
CursorPixels cursor_pixels(const IconImage& image);

}  // namespace render
