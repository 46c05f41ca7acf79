#include "render/bmp_file.h"

#include <bit>

#include "base/byte_reader.h"

namespace render {

namespace {

bool valid_mask(std::uint32_t mask, std::uint16_t bits) {
  if (mask == 0 || (bits < 32 && (mask >> bits) != 0)) return false;
  const std::uint32_t run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;  // one contiguous run of bits
}

std::uint32_t channel(std::uint32_t word, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  return static_cast<std::uint32_t>((((word & mask) >> shift) * 255 + max / 2) / max);
}

std::uint64_t row_stride(std::uint32_t width, std::uint16_t bits) {
  return (std::uint64_t{width} * bits + 31) / 32 * 4;
}

}  // namespace

std::uint32_t BmpLayout::pixel_height() const {
  return height < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height))
                    : static_cast<std::uint32_t>(height);
}

std::span<const std::uint8_t> BmpLayout::row(std::uint32_t y) const {
  const std::uint32_t stored = top_down() ? y : pixel_height() - 1 - y;
  return rows.subspan(static_cast<std::size_t>(stored * stride), static_cast<std::size_t>(stride));
}

std::uint32_t BmpLayout::pixel(std::uint32_t x, std::uint32_t y) const {
  const std::uint8_t* p = row(y).data();
  if (bits <= 8) {
    const std::uint32_t per_byte = 8u / bits;
    const std::uint32_t shift = (per_byte - 1 - x % per_byte) * bits;
    const std::uint32_t index = (p[x / per_byte] >> shift) & ((1u << bits) - 1);
    return 0xFF000000 | (index < palette.size() ? palette[index] & 0xFFFFFF : 0);
  }
  if (bits == 24) {
    p += std::size_t{x} * 3;
    return 0xFF000000 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
  std::uint32_t word = 0;
  const int bytes = bits / 8;
  p += std::size_t{x} * bytes;
  for (int i = 0; i < bytes; ++i) word |= std::uint32_t{p[i]} << (8 * i);
  const std::uint32_t a = alpha_mask != 0 ? channel(word, alpha_mask) : 0xFF;
  return a << 24 | channel(word, red_mask) << 16 | channel(word, green_mask) << 8 | channel(word, blue_mask);
}

std::optional<BmpLayout> read_bmp(std::span<const std::uint8_t> file) {
  base::ByteReader reader(file);
  if (reader.u16() != kBmpSignature) return std::nullopt;
  reader.u32();  // file size: often wrong, and the file itself says what it holds
  reader.u32();  // reserved
  const std::uint32_t row_offset = reader.u32();
  const std::uint32_t header_size = reader.u32();
  const std::int32_t width = reader.i32();
  const std::int32_t height = reader.i32();
  const std::uint16_t planes = reader.u16();
  const std::uint16_t bits = reader.u16();
  const std::uint32_t compression = reader.u32();
  reader.u32();  // image size: may be 0 for BI_RGB, computed below instead
  reader.u32();  // pixels per metre, x
  reader.u32();  // and y
  const std::uint32_t colours_used = reader.u32();
  reader.u32();  // colours important
  if (!reader.ok()) return std::nullopt;
  if (header_size != 40 && header_size != 52 && header_size != 56 && header_size != 108 &&
      header_size != 124) {
    return std::nullopt;
  }
  if (planes != 1) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const bool bitfields = compression == kBmpBitfields;
  if (compression != kBmpRgb && !(bitfields && (bits == 16 || bits == 32))) return std::nullopt;
  const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width <= 0 || rows == 0 || width > static_cast<std::int64_t>(kMaxImageExtent) ||
      rows > static_cast<std::int64_t>(kMaxImageExtent)) {
    return std::nullopt;
  }

  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.compression = compression;
  if (bitfields) {
    // The masks follow a 40-byte header and sit inside the later ones, which
    // from 56 bytes on carry an alpha mask as well.
    layout.red_mask = reader.u32();
    layout.green_mask = reader.u32();
    layout.blue_mask = reader.u32();
    if (header_size >= 56) layout.alpha_mask = reader.u32();
    if (!reader.ok() || !valid_mask(layout.red_mask, bits) || !valid_mask(layout.green_mask, bits) ||
        !valid_mask(layout.blue_mask, bits) ||
        (layout.alpha_mask != 0 && !valid_mask(layout.alpha_mask, bits))) {
      return std::nullopt;
    }
  } else if (bits == 16) {
    layout.red_mask = 0x7C00;
    layout.green_mask = 0x03E0;
    layout.blue_mask = 0x001F;
  } else if (bits == 32) {
    layout.red_mask = 0xFF0000;
    layout.green_mask = 0xFF00;
    layout.blue_mask = 0xFF;
  }
  const std::uint64_t masks_end =
      kBmpFileHeaderSize + header_size + (bitfields && header_size == 40 ? 12 : 0);
  if (!reader.seek(masks_end)) return std::nullopt;

  // Images of up to 8 bits have a palette of colours_used entries (the whole
  // depth's palette when 0); deeper images may carry an optional one, which
  // is skipped.
  const std::uint64_t depth_palette = bits <= 8 ? std::uint64_t{1} << bits : 0;
  if (bits <= 8 && colours_used > depth_palette) return std::nullopt;
  const std::uint64_t entries = bits <= 8 ? (colours_used != 0 ? colours_used : depth_palette) : colours_used;
  if (!reader.fits(entries, 4)) return std::nullopt;
  if (bits <= 8) {
    layout.palette.resize(static_cast<std::size_t>(entries));
    for (std::uint32_t& entry : layout.palette) entry = reader.u32() & 0xFFFFFF;
  } else {
    reader.skip(entries * 4);
  }

  const std::uint64_t palette_end = reader.position();
  const std::uint64_t data_start = row_offset != 0 ? row_offset : palette_end;
  if (data_start < palette_end || !reader.seek(data_start)) return std::nullopt;
  layout.stride = row_stride(static_cast<std::uint32_t>(width), bits);
  layout.rows = reader.bytes(layout.stride * static_cast<std::uint64_t>(rows));
  if (!reader.ok()) return std::nullopt;
  return layout;
}

std::optional<Image> decode_bmp(std::span<const std::uint8_t> file) {
  const std::optional<BmpLayout> layout = read_bmp(file);
  if (!layout) return std::nullopt;
  const std::uint32_t width = layout->pixel_width();
  const std::uint32_t height = layout->pixel_height();
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) argb[std::size_t{y} * width + x] = layout->pixel(x, y);
  }
  return image_from_argb(layout->alpha_mask != 0 ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8, width,
                         height, argb);
}

}  // namespace render
