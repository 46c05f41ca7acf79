#pragma once

#include <cstdint>

#include "base/rect.h"
#include "render/gdi_bitmap.h"
#include "render/packed_dib.h"

namespace render {

// One ARGB pixel composed over another: under when over's alpha is 0, over
// when it is 255, otherwise each colour channel is
// (over x alpha + under x (255 - alpha)) / 256 and the alpha is 255.
std::uint32_t blend(std::uint32_t under, std::uint32_t over);

// Composes the part src of a 32-bit bitmap (y = 0 at the top) over dest at
// (x, y) with blend, pixel by pixel. Only what lies inside both pictures is
// touched. False, drawing nothing, for a bitmap of another depth.
bool alpha_blend(const PackedDib& image, const base::Rect& src, GdiBitmap& dest, std::int32_t x,
                 std::int32_t y);

// A strip holds frame_count frames of equal height stacked vertically, frame
// 0 at the top. Draws frame min(frame, frame_count - 1) (frame 0 for a
// negative one) at (x, y): 32-bit strips composed with blend, others copied.
// A strip of no frames, or of frames less than a pixel high, draws nothing.
void draw_strip_frame(const PackedDib& strip, std::int32_t frame_count, GdiBitmap& dest, std::int32_t x,
                      std::int32_t y, std::int32_t frame);

// Which column (or row) of a frame `frame_extent` wide a three-slice stretch
// to `target_extent` takes for target column `i`: with
// L = min(frame_extent / 2, target_extent / 2), the first L columns come
// from the frame's first L, the last L from its last L, and every column
// between repeats frame column L. Always inside the frame (frame_extent > 0).
std::int32_t three_slice_source(std::int32_t i, std::int32_t target_extent, std::int32_t frame_extent);

// Stretches the frame (a rectangle of a 32-bit bitmap, cut to the bitmap) to
// width x height at (x, y) of dest, slicing columns and rows with
// three_slice_source, composing every pixel over dest with blend; pixels
// whose result has the transparent colour (a Windows colour value, or
// GdiBitmap::kNoTransparentColor) leave dest as it was. Clipped to dest.
// False, drawing nothing, for a bitmap of another depth or an empty frame.
bool draw_three_slice(const PackedDib& image, const base::Rect& frame, GdiBitmap& dest, std::int32_t x,
                      std::int32_t y, std::int32_t width, std::int32_t height,
                      std::int64_t transparent_colorref = GdiBitmap::kNoTransparentColor);

}  // namespace render
