#include "render/dib_drawing.h"

#include <algorithm>

namespace render {

namespace {

// The part of a w x h area at (x, y) of dest that lies inside dest, as
// offsets from (x, y).
struct Clip {
  std::int64_t left, top, right, bottom;
};

Clip clip_to(const GdiBitmap& dest, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
  return {std::max<std::int64_t>(0, -x), std::max<std::int64_t>(0, -y),
          std::min<std::int64_t>(width, dest.width() - x), std::min<std::int64_t>(height, dest.height() - y)};
}

base::Rect bounds_of(const PackedDib& image) {
  return {0, 0, image.width(), static_cast<std::int32_t>(image.rows())};
}

}  // namespace

std::uint32_t blend(std::uint32_t under, std::uint32_t over) {
  const std::uint32_t alpha = over >> 24;
  if (alpha == 0) return under;
  if (alpha == 255) return over;
  std::uint32_t result = 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t o = (over >> shift) & 0xFF;
    const std::uint32_t u = (under >> shift) & 0xFF;
    result |= ((o * alpha + u * (255 - alpha)) / 256) << shift;
  }
  return result;
}

bool alpha_blend(const PackedDib& image, const base::Rect& src, GdiBitmap& dest, std::int32_t x,
                 std::int32_t y) {
  if (image.bits() != 32) return false;
  const base::Rect part = base::intersect(src, bounds_of(image));
  if (part.empty()) return true;
  // Where the part was cut on the left or top, the drawing moves with it.
  const std::int64_t at_x = static_cast<std::int64_t>(x) + (part.left - src.left);
  const std::int64_t at_y = static_cast<std::int64_t>(y) + (part.top - src.top);
  const Clip clip = clip_to(dest, at_x, at_y, part.width(), part.height());
  for (std::int64_t j = clip.top; j < clip.bottom; ++j) {
    for (std::int64_t i = clip.left; i < clip.right; ++i) {
      const auto dx = static_cast<std::int32_t>(at_x + i);
      const auto dy = static_cast<std::int32_t>(at_y + j);
      const std::uint32_t over =
          image.pixel(static_cast<std::uint32_t>(part.left + i), static_cast<std::uint32_t>(part.top + j));
      dest.set_pixel(dx, dy, blend(dest.pixel(dx, dy), over));
    }
  }
  return true;
}

void draw_strip_frame(const PackedDib& strip, std::int32_t frame_count, GdiBitmap& dest, std::int32_t x,
                      std::int32_t y, std::int32_t frame) {
  if (strip.empty() || frame_count <= 0) return;
  const std::int32_t frame_height =
      static_cast<std::int32_t>(strip.rows() / static_cast<std::uint32_t>(frame_count));
  if (frame_height == 0) return;
  const std::int32_t shown = std::clamp(frame, 0, frame_count - 1);
  const base::Rect src{0, shown * frame_height, strip.width(), (shown + 1) * frame_height};
  if (strip.bits() == 32) {
    alpha_blend(strip, src, dest, x, y);
    return;
  }
  const base::Rect target{x, y, base::wrapping_add(x, strip.width()), base::wrapping_add(y, frame_height)};
  strip.draw(dest, target, &src);
}

std::int32_t three_slice_source(std::int32_t i, std::int32_t target_extent, std::int32_t frame_extent) {
  const std::int32_t cap = std::min(frame_extent / 2, target_extent / 2);
  if (i < cap) return i;
  if (i >= target_extent - cap) return frame_extent - (target_extent - i);
  return cap;
}

bool draw_three_slice(const PackedDib& image, const base::Rect& frame, GdiBitmap& dest, std::int32_t x,
                      std::int32_t y, std::int32_t width, std::int32_t height,
                      std::int64_t transparent_colorref) {
  if (image.bits() != 32) return false;
  const base::Rect part = base::intersect(frame, bounds_of(image));
  if (part.empty()) return false;
  const bool keyed = transparent_colorref >= 0;
  const std::uint32_t key = rgb_of_colorref(static_cast<std::uint32_t>(transparent_colorref & 0xFFFFFF));
  const Clip clip = clip_to(dest, x, y, width, height);
  for (std::int64_t j = clip.top; j < clip.bottom; ++j) {
    const std::int32_t row =
        part.top + three_slice_source(static_cast<std::int32_t>(j), height, part.height());
    for (std::int64_t i = clip.left; i < clip.right; ++i) {
      const std::int32_t column =
          part.left + three_slice_source(static_cast<std::int32_t>(i), width, part.width());
      const auto dx = static_cast<std::int32_t>(x + i);
      const auto dy = static_cast<std::int32_t>(y + j);
      const std::uint32_t result = blend(dest.pixel(dx, dy), image.pixel(static_cast<std::uint32_t>(column),
                                                                         static_cast<std::uint32_t>(row)));
      if (keyed && (result & 0xFFFFFF) == key) continue;
      dest.set_pixel(dx, dy, result);
    }
  }
  return true;
}

}  // namespace render
