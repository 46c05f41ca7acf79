#pragma once

#include <cstdint>

namespace base {

// 32-bit sums and differences that wrap around as the hardware does instead
// of overflowing (rectangles can come from data files).
inline std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t wrapping_sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// A screen rectangle: left and top inclusive, right and bottom exclusive.
// The operations follow the usual window-system rectangle rules; in
// particular a rectangle with right <= left or bottom <= top is empty, and
// an empty result is always returned as all zeros.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t width() const { return wrapping_sub(right, left); }
  std::int32_t height() const { return wrapping_sub(bottom, top); }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(std::int32_t x, std::int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }

  friend bool operator==(const Rect&, const Rect&) = default;
};

// Whether the two have the same four coordinates.
inline bool equal(const Rect& a, const Rect& b) { return a == b; }

// The overlap of a and b; all zeros when they do not overlap.
Rect intersect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty operand is ignored, and two
// empty operands give all zeros.
Rect unite(const Rect& a, const Rect& b);
// Moved by (dx, dy).
Rect offset(const Rect& r, std::int32_t dx, std::int32_t dy);
// Grown by dx on the left and right and by dy on the top and bottom
// (negative values shrink it).
Rect inflate(const Rect& r, std::int32_t dx, std::int32_t dy);

}  // namespace base
