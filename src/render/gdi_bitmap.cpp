#include "render/gdi_bitmap.h"

#include <algorithm>
#include <new>

#include "render/image.h"
#include "render/packed_dib.h"

namespace render {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// The offsets i in [0, n) for which a + i lies in [0, a_size) and b + i in
// [0, b_size): the part of a run that both pictures hold.
struct Run {
  std::int64_t begin = 0;
  std::int64_t end = 0;
};

Run overlap(std::int64_t n, std::int64_t a, std::int64_t a_size, std::int64_t b, std::int64_t b_size) {
  return {std::max({std::int64_t{0}, -a, -b}), std::min({n, a_size - a, b_size - b})};
}

// A back-buffer picture as a surface (alpha dropped, as a screen has none).
class ScreenSurface : public PixelSurface {
 public:
  explicit ScreenSurface(const ScreenPixels& screen) : screen_(screen) {}
  std::int32_t surface_width() const override { return valid() ? screen_.width : 0; }
  std::int32_t surface_height() const override { return valid() ? screen_.height : 0; }
  std::uint32_t surface_pixel(std::int32_t x, std::int32_t y) const override {
    const std::uint8_t* p =
        screen_.rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(screen_.width) +
                               static_cast<std::size_t>(x)) *
                                  4;
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }

 private:
  bool valid() const {
    return screen_.width > 0 && screen_.height > 0 &&
           screen_.rgba.size() / 4 / static_cast<std::size_t>(screen_.width) >=
               static_cast<std::size_t>(screen_.height);
  }
  ScreenPixels screen_;
};

}  // namespace

std::uint32_t apply_rop(std::uint32_t rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest) {
  const std::uint32_t index = (rop >> 16) & 0xFF;
  switch (index) {
    case 0xCC:
      return source;
    case 0xEE:
      return source | dest;
    case 0x88:
      return source & dest;
    case 0x66:
      return source ^ dest;
    default:
      break;
  }
  std::uint32_t result = 0;
  for (std::uint32_t bit = 0; bit < 8; ++bit) {
    if ((index & (1u << bit)) == 0) continue;
    const std::uint32_t p = (bit & 4) != 0 ? pattern : ~pattern;
    const std::uint32_t s = (bit & 2) != 0 ? source : ~source;
    const std::uint32_t d = (bit & 1) != 0 ? dest : ~dest;
    result |= p & s & d;
  }
  return result;
}

bool GdiBitmap::allocate(std::int32_t width, std::int32_t height, int bits) {
  pixels_.clear();
  mask_.clear();
  image_.clear();
  width_ = height_ = 0;
  bits_ = 0;
  if (width <= 0 || height <= 0 || width > static_cast<std::int32_t>(kMaxImageExtent) ||
      height > static_cast<std::int32_t>(kMaxImageExtent)) {
    return false;
  }
  try {
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    pixels_.clear();
    return false;
  }
  width_ = width;
  height_ = height;
  bits_ = bits;
  return true;
}

bool GdiBitmap::create_compatible(std::int32_t width, std::int32_t height) {
  return allocate(width, height, 32);
}

bool GdiBitmap::create_mono(std::int32_t width, std::int32_t height) { return allocate(width, height, 1); }

bool GdiBitmap::dib_section(std::int32_t width, std::int32_t height, int bits) {
  if (bits != 24 && bits != 32) {
    allocate(0, 0, 0);
    return false;
  }
  return allocate(width, height, bits);
}

bool GdiBitmap::capture(const PixelSurface& source, std::int32_t width, std::int32_t height, std::int32_t x,
                        std::int32_t y, std::uint32_t rop) {
  if (!create_compatible(width, height)) return false;
  blit_from(source, 0, 0, width, height, x, y, rop);
  return true;
}

bool GdiBitmap::capture(const ScreenPixels& screen, std::int32_t width, std::int32_t height, std::int32_t x,
                        std::int32_t y, std::uint32_t rop) {
  return capture(ScreenSurface(screen), width, height, x, y, rop);
}

bool GdiBitmap::from_dib(const PackedDib& dib, std::int32_t first_row, std::int32_t rows) {
  const std::int64_t available = static_cast<std::int64_t>(dib.rows()) - first_row;
  if (dib.empty() || first_row < 0 || available <= 0 || rows < 0) {
    allocate(0, 0, 0);
    return false;
  }
  const std::int32_t count =
      static_cast<std::int32_t>(rows == 0 ? available : std::min<std::int64_t>(rows, available));
  if (!create_compatible(dib.width(), count)) return false;
  blit_from(dib, 0, 0, dib.width(), count, 0, first_row, kSrcCopy);
  return true;
}

bool GdiBitmap::copy_to_dib(PackedDib& dib, bool top_down) const {
  if (empty() || !dib.create(width_, top_down ? -height_ : height_, bits_)) {
    dib.reset();
    return false;
  }
  if (bits_ == 1) dib.set_palette_entry(1, kWhite);
  for (std::int32_t y = 0; y < height_; ++y) {
    for (std::int32_t x = 0; x < width_; ++x) {
      const std::uint32_t value = surface_pixel(x, y);
      dib.set_pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                    bits_ == 1 ? (value == kWhite ? 1u : 0u) : value);
    }
  }
  return true;
}

std::uint32_t GdiBitmap::normalise(std::uint32_t value) const {
  switch (bits_) {
    case 1:
      return (value & kWhite) == kWhite ? kWhite : 0;
    case 24:
      return value & kWhite;
    default:
      return value;
  }
}

std::uint32_t GdiBitmap::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return surface_pixel(x, y);
}

void GdiBitmap::set_pixel(std::int32_t x, std::int32_t y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
      normalise(value);
}

std::uint32_t GdiBitmap::converted(const PixelSurface& source, std::uint32_t value) const {
  if (source.monochrome()) {
    if (bits_ == 1) return value;
    return value == kWhite ? background_ : text_;
  }
  if (bits_ == 1) return (value & kWhite) == source.background_rgb() ? kWhite : 0;
  return value;
}

void GdiBitmap::combine(std::size_t at, std::uint32_t source_value, std::uint32_t rop) {
  const std::uint32_t pattern = bits_ == 1 ? (brush_ == kWhite ? kWhite : 0) : brush_;
  pixels_[at] = normalise(apply_rop(rop, pattern, source_value, pixels_[at]));
}

void GdiBitmap::blit_from(const PixelSurface& source, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, std::int32_t src_x, std::int32_t src_y, std::uint32_t rop) {
  const Run rows = overlap(height, y, height_, src_y, source.surface_height());
  const Run columns = overlap(width, x, width_, src_x, source.surface_width());
  for (std::int64_t j = rows.begin; j < rows.end; ++j) {
    const std::size_t row = static_cast<std::size_t>(y + j) * static_cast<std::size_t>(width_);
    for (std::int64_t i = columns.begin; i < columns.end; ++i) {
      const std::uint32_t value =
          source.surface_pixel(static_cast<std::int32_t>(src_x + i), static_cast<std::int32_t>(src_y + j));
      combine(row + static_cast<std::size_t>(x + i), converted(source, value), rop);
    }
  }
}

void GdiBitmap::stretch_from(const PixelSurface& source, const base::Rect& dest_rect,
                             const base::Rect& src_rect, std::uint32_t rop, StretchMode mode) {
  const std::int64_t dw = static_cast<std::int64_t>(dest_rect.right) - dest_rect.left;
  const std::int64_t dh = static_cast<std::int64_t>(dest_rect.bottom) - dest_rect.top;
  const std::int64_t sw = static_cast<std::int64_t>(src_rect.right) - src_rect.left;
  const std::int64_t sh = static_cast<std::int64_t>(src_rect.bottom) - src_rect.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (dw == sw && dh == sh) {
    blit_from(source, dest_rect.left, dest_rect.top, static_cast<std::int32_t>(dw),
              static_cast<std::int32_t>(dh), src_rect.left, src_rect.top, rop);
    return;
  }
  const bool average = mode == StretchMode::Halftone && !source.monochrome();
  const std::int64_t source_width = source.surface_width();
  const std::int64_t source_height = source.surface_height();
  const std::int64_t top = std::max<std::int64_t>(dest_rect.top, 0);
  const std::int64_t bottom = std::min<std::int64_t>(dest_rect.bottom, height_);
  const std::int64_t left = std::max<std::int64_t>(dest_rect.left, 0);
  const std::int64_t right = std::min<std::int64_t>(dest_rect.right, width_);
  for (std::int64_t py = top; py < bottom; ++py) {
    const std::int64_t v = py - dest_rect.top;
    std::int64_t y0 = src_rect.top + v * sh / dh;
    std::int64_t y1 = std::max(y0 + 1, src_rect.top + (v + 1) * sh / dh);
    if (!average) y1 = y0 + 1;
    y0 = std::max<std::int64_t>(y0, 0);
    y1 = std::min(y1, source_height);
    if (y0 >= y1) continue;
    for (std::int64_t px = left; px < right; ++px) {
      const std::int64_t u = px - dest_rect.left;
      std::int64_t x0 = src_rect.left + u * sw / dw;
      std::int64_t x1 = std::max(x0 + 1, src_rect.left + (u + 1) * sw / dw);
      if (!average) x1 = x0 + 1;
      x0 = std::max<std::int64_t>(x0, 0);
      x1 = std::min(x1, source_width);
      if (x0 >= x1) continue;
      std::uint64_t a = 0, r = 0, g = 0, b = 0;
      for (std::int64_t sy = y0; sy < y1; ++sy) {
        for (std::int64_t sx = x0; sx < x1; ++sx) {
          const std::uint32_t p =
              source.surface_pixel(static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy));
          a += p >> 24;
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
        }
      }
      const std::uint64_t n = static_cast<std::uint64_t>((y1 - y0) * (x1 - x0));
      const auto mean = [n](std::uint64_t sum) { return static_cast<std::uint32_t>((sum + n / 2) / n); };
      const std::uint32_t value = mean(a) << 24 | mean(r) << 16 | mean(g) << 8 | mean(b);
      combine(static_cast<std::size_t>(py * width_ + px), converted(source, value), rop);
    }
  }
}

void GdiBitmap::fill(const base::Rect& rect, std::uint32_t colorref) {
  const std::uint32_t value = normalise(rgb_of_colorref(colorref));
  const std::int32_t left = std::max(rect.left, 0);
  const std::int32_t top = std::max(rect.top, 0);
  const std::int32_t right = std::min(rect.right, width_);
  const std::int32_t bottom = std::min(rect.bottom, height_);
  for (std::int32_t y = top; y < bottom; ++y) {
    for (std::int32_t x = left; x < right; ++x) {
      pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
          value;
    }
  }
}

void GdiBitmap::set_transparent_color(std::int64_t colorref) {
  transparent_ = colorref < 0 ? kNoTransparentColor : (colorref & 0xFFFFFF);
  mask_.clear();
  image_.clear();
}

bool GdiBitmap::prepare_transparency() {
  mask_.clear();
  image_.clear();
  if (transparent_ == kNoTransparentColor || empty()) return false;
  const std::uint32_t key = rgb_of_colorref(static_cast<std::uint32_t>(transparent_));
  mask_.resize(pixels_.size());
  image_.resize(pixels_.size());
  for (std::size_t i = 0; i < pixels_.size(); ++i) {
    const bool clear = (pixels_[i] & kWhite) == key;
    mask_[i] = clear ? kWhite : 0;
    image_[i] = clear ? 0 : pixels_[i];
  }
  return true;
}

void GdiBitmap::draw(GdiBitmap& dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     std::int32_t src_x, std::int32_t src_y, std::uint32_t rop) const {
  if (transparent_ == kNoTransparentColor) {
    dest.blit_from(*this, x, y, width, height, src_x, src_y, rop);
  } else {
    draw_transparent(dest, x, y, width, height, src_x, src_y);
  }
}

// The mask and the blackened picture are the same whether prepared or made
// here pixel by pixel; making them here needs no memory.
void GdiBitmap::draw_transparent(GdiBitmap& dest, std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height, std::int32_t src_x, std::int32_t src_y) const {
  const std::uint32_t key = rgb_of_colorref(static_cast<std::uint32_t>(transparent_));
  const bool prepared = transparency_prepared();
  const Run rows = overlap(height, y, dest.height_, src_y, height_);
  const Run columns = overlap(width, x, dest.width_, src_x, width_);
  // The mask is monochrome: its white and black take dest's colours.
  const std::uint32_t mask_white = dest.bits_ == 1 ? kWhite : dest.background_;
  const std::uint32_t mask_black = dest.bits_ == 1 ? 0 : dest.text_;
  for (std::int64_t j = rows.begin; j < rows.end; ++j) {
    const std::size_t dest_row = static_cast<std::size_t>(y + j) * static_cast<std::size_t>(dest.width_);
    const std::size_t src_row = static_cast<std::size_t>(src_y + j) * static_cast<std::size_t>(width_);
    for (std::int64_t i = columns.begin; i < columns.end; ++i) {
      const std::size_t at = src_row + static_cast<std::size_t>(src_x + i);
      std::uint32_t mask = 0;
      std::uint32_t image = 0;
      if (prepared) {
        mask = mask_[at];
        image = image_[at];
      } else {
        const bool clear = (pixels_[at] & kWhite) == key;
        mask = clear ? kWhite : 0;
        image = clear ? 0 : pixels_[at];
      }
      const std::size_t target = dest_row + static_cast<std::size_t>(x + i);
      dest.combine(target, mask == kWhite ? mask_white : mask_black, kSrcAnd);
      dest.combine(target, dest.converted(*this, image), kSrcPaint);
    }
  }
}

void GdiBitmap::draw_stretched(GdiBitmap& dest, const base::Rect& dest_rect, const base::Rect& src_rect,
                               std::uint32_t rop, StretchMode mode) const {
  if (dest_rect.width() == src_rect.width() && dest_rect.height() == src_rect.height()) {
    draw(dest, dest_rect.left, dest_rect.top, dest_rect.width(), dest_rect.height(), src_rect.left,
         src_rect.top, rop);
    return;
  }
  dest.stretch_from(*this, dest_rect, src_rect, rop, mode);
}

}  // namespace render
