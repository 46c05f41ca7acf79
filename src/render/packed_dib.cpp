#include "render/packed_dib.h"

#include <new>

#include "base/file_io.h"
#include "render/bmp_file.h"
#include "render/file_path.h"
#include "render/gdi_bitmap.h"
#include "render/image.h"
#include "render/tga_file.h"

namespace render {

namespace {

void put_u16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put_u32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t get_u32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

std::uint32_t expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }

}  // namespace

bool PackedDib::create(std::int32_t width, std::int32_t height, int bits) {
  reset();
  const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width <= 0 || rows == 0 || width > static_cast<std::int64_t>(kMaxImageExtent) ||
      rows > static_cast<std::int64_t>(kMaxImageExtent)) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const std::size_t palette = bits <= 8 ? std::size_t{1} << bits : 0;
  const std::uint64_t stride =
      (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
  const std::uint64_t image_size = stride * static_cast<std::uint64_t>(rows);
  try {
    block_.assign(kHeaderSize + palette * 4 + static_cast<std::size_t>(image_size), 0);
  } catch (const std::bad_alloc&) {
    block_.clear();
    return false;
  }
  std::uint8_t* h = block_.data();
  put_u32(h, kHeaderSize);
  put_u32(h + 4, static_cast<std::uint32_t>(width));
  put_u32(h + 8, static_cast<std::uint32_t>(height));
  put_u16(h + 12, 1);
  put_u16(h + 14, static_cast<std::uint32_t>(bits));
  put_u32(h + 16, 0);
  put_u32(h + 20, static_cast<std::uint32_t>(image_size));
  put_u32(h + 24, kPixelsPerMetre);
  put_u32(h + 28, kPixelsPerMetre);
  put_u32(h + 32, static_cast<std::uint32_t>(palette));
  put_u32(h + 36, 0);
  width_ = width;
  height_ = height;
  rows_ = static_cast<std::uint32_t>(rows);
  bits_ = bits;
  stride_ = stride;
  palette_size_ = palette;
  return true;
}

bool PackedDib::load_bmp(std::span<const std::uint8_t> file) {
  reset();
  const std::optional<BmpLayout> bmp = read_bmp(file);
  if (!bmp) return false;
  const bool convert = bmp->compression != kBmpRgb;
  if (!create(bmp->width, bmp->height, convert ? 32 : bmp->bits)) return false;
  if (convert) {
    for (std::uint32_t y = 0; y < rows_; ++y) {
      for (std::uint32_t x = 0; x < bmp->pixel_width(); ++x) {
        const std::uint32_t argb = bmp->pixel(x, y);
        set_pixel(x, y, bmp->alpha_mask != 0 ? argb : argb & 0xFFFFFF);
      }
    }
    return true;
  }
  for (std::size_t i = 0; i < bmp->palette.size() && i < palette_size_; ++i) {
    set_palette_entry(i, bmp->palette[i]);
  }
  // Same width, depth and row order: the stored rows are the rows here.
  std::copy(bmp->rows.begin(), bmp->rows.end(), block_.begin() + static_cast<std::ptrdiff_t>(rows_offset()));
  return true;
}

bool PackedDib::load_tga(std::span<const std::uint8_t> file) {
  reset();
  const std::optional<TgaPicture> tga = read_tga(file);
  if (!tga || (tga->image_type != 2 && tga->image_type != 10) || tga->pixel_bits != 32) return false;
  if (!create(static_cast<std::int32_t>(tga->width), static_cast<std::int32_t>(tga->height), 32))
    return false;
  for (std::uint32_t y = 0; y < tga->height; ++y) {
    for (std::uint32_t x = 0; x < tga->width; ++x)
      set_pixel(x, y, tga->argb[std::size_t{y} * tga->width + x]);
  }
  return true;
}

bool PackedDib::load_image(std::string_view name, std::span<const std::uint8_t> file) {
  const FilePath path(name);
  return path.kind_of_extension() == FileKind::Targa ? load_tga(file) : load_bmp(file);
}

bool PackedDib::load_image_file(const char* path) {
  reset();
  if (path == nullptr || *path == '\0') return false;
  const std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  return bytes && load_image(path, *bytes);
}

bool PackedDib::load_image_entry(PackageReader& package, std::string_view name) {
  reset();
  const std::uint32_t index = package.find(name);
  const Block* block = index != 0 ? package.read(index) : nullptr;
  return block != nullptr && load_image(name, block->bytes());
}

void PackedDib::reset() {
  block_.clear();
  width_ = height_ = 0;
  rows_ = 0;
  bits_ = 0;
  stride_ = 0;
  palette_size_ = 0;
}

std::uint32_t PackedDib::palette_entry(std::size_t index) const {
  if (index >= palette_size_) return 0;
  return get_u32(block_.data() + kHeaderSize + index * 4) & 0xFFFFFF;
}

void PackedDib::set_palette_entry(std::size_t index, std::uint32_t rgb) {
  if (index < palette_size_) put_u32(block_.data() + kHeaderSize + index * 4, rgb & 0xFFFFFF);
}

std::span<std::uint8_t> PackedDib::row(std::uint32_t y) {
  const std::uint32_t stored = top_down() ? y : rows_ - 1 - y;
  return std::span<std::uint8_t>(block_).subspan(rows_offset() + static_cast<std::size_t>(stored * stride_),
                                                 static_cast<std::size_t>(stride_));
}

std::span<const std::uint8_t> PackedDib::row(std::uint32_t y) const {
  const std::uint32_t stored = top_down() ? y : rows_ - 1 - y;
  return std::span<const std::uint8_t>(block_).subspan(
      rows_offset() + static_cast<std::size_t>(stored * stride_), static_cast<std::size_t>(stride_));
}

std::uint32_t PackedDib::pixel(std::uint32_t x, std::uint32_t y) const {
  const std::uint8_t* p = row(y).data();
  switch (bits_) {
    case 32:
      return get_u32(p + std::size_t{x} * 4);
    case 24:
      p += std::size_t{x} * 3;
      return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    case 16: {
      p += std::size_t{x} * 2;
      const std::uint32_t word = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
      return expand5((word >> 10) & 0x1F) << 16 | expand5((word >> 5) & 0x1F) << 8 | expand5(word & 0x1F);
    }
    default: {
      const std::uint32_t bits = static_cast<std::uint32_t>(bits_);
      const std::uint32_t per_byte = 8 / bits;
      const std::uint32_t shift = (per_byte - 1 - x % per_byte) * bits;
      return palette_entry((p[x / per_byte] >> shift) & ((1u << bits) - 1));
    }
  }
}

void PackedDib::set_pixel(std::uint32_t x, std::uint32_t y, std::uint32_t value) {
  std::uint8_t* p = row(y).data();
  switch (bits_) {
    case 32:
      put_u32(p + std::size_t{x} * 4, value);
      return;
    case 24:
      p += std::size_t{x} * 3;
      p[0] = static_cast<std::uint8_t>(value);
      p[1] = static_cast<std::uint8_t>(value >> 8);
      p[2] = static_cast<std::uint8_t>(value >> 16);
      return;
    case 16:
      put_u16(p + std::size_t{x} * 2,
              ((value >> 19) & 0x1F) << 10 | ((value >> 11) & 0x1F) << 5 | ((value >> 3) & 0x1F));
      return;
    default: {
      const std::uint32_t bits = static_cast<std::uint32_t>(bits_);
      const std::uint32_t per_byte = 8 / bits;
      const std::uint32_t shift = (per_byte - 1 - x % per_byte) * bits;
      const std::uint32_t mask = ((1u << bits) - 1) << shift;
      std::uint8_t& byte = p[x / per_byte];
      byte = static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
      return;
    }
  }
}

void PackedDib::draw(GdiBitmap& dest, const base::Rect& dest_rect, const base::Rect* src) const {
  if (empty()) return;
  const base::Rect whole{0, 0, width_, static_cast<std::int32_t>(rows_)};
  dest.stretch_from(*this, dest_rect, src != nullptr ? *src : whole, kSrcCopy, StretchMode::Halftone);
}

std::vector<std::uint8_t> PackedDib::encode_bmp() const {
  if (empty()) return {};
  std::vector<std::uint8_t> out(kBmpFileHeaderSize);
  put_u16(out.data(), kBmpSignature);
  put_u32(out.data() + 2, static_cast<std::uint32_t>(kBmpFileHeaderSize + block_.size()));
  put_u32(out.data() + 10, static_cast<std::uint32_t>(kBmpFileHeaderSize + rows_offset()));
  out.insert(out.end(), block_.begin(), block_.end());
  return out;
}

}  // namespace render
