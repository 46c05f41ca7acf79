#include "render/cursor_image.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace render {

namespace {

// The arrow: 'B' black, 'W' white, anything else transparent.
constexpr std::array<std::string_view, 19> kArrow = {
    "B",         "BB",         "BWB",        "BWWB",        "BWWWB",        "BWWWWB",   "BWWWWWB",
    "BWWWWWWB",  "BWWWWWWWB",  "BWWWWWWWWB", "BWWWWWWWWWB", "BWWWWWWBBBBB", "BWWWBWWB", "BWWB BWWB",
    "BWB  BWWB", "BB    BWWB", "B     BWWB", "       BWWB", "        BB",
};

IconBitmaps make_arrow() {
  constexpr std::int32_t kSide = 32;
  IconBitmaps arrow;
  arrow.width = kSide;
  arrow.height = kSide;
  // Monochrome: the upper half of the mask is the mask, the lower half the
  // picture.
  arrow.mask.assign(std::size_t{kSide} * kSide * 2, 1);
  std::fill(arrow.mask.begin() + kSide * kSide, arrow.mask.end(), 0u);
  for (std::size_t y = 0; y < kArrow.size(); ++y) {
    for (std::size_t x = 0; x < kArrow[y].size(); ++x) {
      const char c = kArrow[y][x];
      if (c != 'B' && c != 'W') continue;
      arrow.mask[y * kSide + x] = 0;
      arrow.mask[(kSide + y) * kSide + x] = c == 'W' ? 0xFFFFFF : 0;
    }
  }
  return arrow;
}

}  // namespace

std::optional<IconImage> icon_image(const IconBitmaps& icon) {
  if (icon.width <= 0 || icon.height <= 0 || icon.width > 1024 || icon.height > 1024) return std::nullopt;
  const std::size_t count = static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
  const bool monochrome = icon.colour.empty();
  if (icon.mask.size() != (monochrome ? 2 * count : count) || (!monochrome && icon.colour.size() != count)) {
    return std::nullopt;
  }
  const std::uint32_t* colour = monochrome ? icon.mask.data() + count : icon.colour.data();
  IconImage image;
  image.width = icon.width;
  image.height = icon.height;
  image.hot_x = icon.hot_x;
  image.hot_y = icon.hot_y;
  image.argb.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    image.argb[i] = icon.mask[i] != 0 ? 0 : 0xFF000000 | (colour[i] & 0xFFFFFF);
  }
  return image;
}

const IconBitmaps& standard_arrow_cursor() {
  static const IconBitmaps arrow = make_arrow();
  return arrow;
}

std::optional<IconImage> cursor_image(const IconBitmaps* window_cursor) {
  return icon_image(window_cursor != nullptr ? *window_cursor : standard_arrow_cursor());
}

std::optional<IconImage> cursor_frame_image(const PackedDib& bitmap, std::int32_t frame,
                                            std::int32_t frame_count, std::uint32_t colour_key) {
  if (bitmap.empty() || frame_count <= 0) return std::nullopt;
  const std::uint32_t frame_height = bitmap.rows() / static_cast<std::uint32_t>(frame_count);
  if (frame_height == 0) return std::nullopt;
  const std::uint32_t first_row =
      static_cast<std::uint32_t>(std::clamp(frame, 0, frame_count - 1)) * frame_height;
  const std::uint32_t side = std::max<std::uint32_t>(static_cast<std::uint32_t>(bitmap.width()), 32);
  IconImage image;
  image.width = static_cast<std::int32_t>(side);
  image.height = static_cast<std::int32_t>(side);
  image.argb.assign(std::size_t{side} * side, 0);
  const std::uint32_t rows = std::min(frame_height, side);
  for (std::uint32_t y = 0; y < rows; ++y) {
    for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(bitmap.width()); ++x) {
      const std::uint32_t argb = 0xFF000000 | (bitmap.pixel(x, first_row + y) & 0xFFFFFF);
      image.argb[std::size_t{y} * side + x] = argb == colour_key ? 0 : argb;
    }
  }
  return image;
}

CursorPixels cursor_pixels(const IconImage& image) {
  CursorPixels cursor;
  const std::int32_t width = std::min(image.width, CursorPixels::kSize);
  const std::int32_t height = std::min(image.height, CursorPixels::kSize);
  if (image.argb.size() >= static_cast<std::size_t>(std::max(image.width, 0)) *
                               static_cast<std::size_t>(std::max(image.height, 0))) {
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        cursor.pixels[y * CursorPixels::kSize + x] =
            image.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                       static_cast<std::size_t>(x)];
      }
    }
  }
  cursor.hot_x = std::clamp(image.hot_x, 0, CursorPixels::kSize - 1);
  cursor.hot_y = std::clamp(image.hot_y, 0, CursorPixels::kSize - 1);
  return cursor;
}

}  // namespace render
