#pragma once

// Image files assembled byte by byte from their layouts, independent of the
// writers, so the readers are checked against the formats themselves.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace image_test {

using Bytes = std::vector<std::uint8_t>;

inline void put_u8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
inline void put_u16(Bytes& out, std::uint32_t v) {
  put_u8(out, v);
  put_u8(out, v >> 8);
}
inline void put_u32(Bytes& out, std::uint32_t v) {
  put_u16(out, v);
  put_u16(out, v >> 16);
}
inline void put_bytes(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) out.push_back(b);
}
inline void set_u16(Bytes& bytes, std::size_t at, std::uint32_t v) {
  bytes[at] = static_cast<std::uint8_t>(v);
  bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void set_u32(Bytes& bytes, std::size_t at, std::uint32_t v) {
  set_u16(bytes, at, v);
  set_u16(bytes, at + 2, v >> 16);
}

// BMP: file header, info header of header_size bytes (the fields after the
// first 40 zero unless masks sit inside), masks after a 40-byte header of a
// BI_BITFIELDS image, palette (B, G, R, 0 from 0x00RRGGBB), rows as given.
struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t header_size = 40;
  std::vector<std::uint32_t> masks{};  // r, g, b (and a)
  std::vector<std::uint32_t> palette{};
  std::uint32_t colours_used = 0;
  Bytes rows{};
};

inline Bytes bmp_file(const BmpLayout& layout) {
  const bool masks_after = layout.compression == 3 && layout.header_size == 40;
  const std::uint32_t offset =
      14 + layout.header_size + (masks_after ? 12 : 0) + static_cast<std::uint32_t>(layout.palette.size()) * 4;
  Bytes out;
  put_u8(out, 'B');
  put_u8(out, 'M');
  put_u32(out, offset + static_cast<std::uint32_t>(layout.rows.size()));
  put_u32(out, 0);
  put_u32(out, offset);
  put_u32(out, layout.header_size);
  put_u32(out, static_cast<std::uint32_t>(layout.width));
  put_u32(out, static_cast<std::uint32_t>(layout.height));
  put_u16(out, 1);
  put_u16(out, layout.bits);
  put_u32(out, layout.compression);
  put_u32(out, static_cast<std::uint32_t>(layout.rows.size()));
  put_u32(out, 2835);
  put_u32(out, 2835);
  put_u32(out, layout.colours_used);
  put_u32(out, 0);
  std::size_t header_end = out.size() + (layout.header_size - 40);
  if (layout.compression == 3) {
    for (const std::uint32_t mask : layout.masks) put_u32(out, mask);
  }
  if (!masks_after) out.resize(std::max(out.size(), header_end), 0);
  for (const std::uint32_t colour : layout.palette) put_u32(out, colour);
  out.insert(out.end(), layout.rows.begin(), layout.rows.end());
  return out;
}

// TGA header: 18 bytes.
struct TgaLayout {
  std::uint8_t id_length = 0;
  std::uint8_t map_type = 0;
  std::uint8_t image_type = 2;
  std::uint16_t map_first = 0;
  std::uint16_t map_length = 0;
  std::uint8_t map_bits = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t bits = 24;
  std::uint8_t descriptor = 0;
};

inline Bytes tga_header(const TgaLayout& layout) {
  Bytes out;
  put_u8(out, layout.id_length);
  put_u8(out, layout.map_type);
  put_u8(out, layout.image_type);
  put_u16(out, layout.map_first);
  put_u16(out, layout.map_length);
  put_u8(out, layout.map_bits);
  put_u16(out, 0);
  put_u16(out, 0);
  put_u16(out, layout.width);
  put_u16(out, layout.height);
  put_u8(out, layout.bits);
  put_u8(out, layout.descriptor);
  return out;
}

// DDS: magic and the 124-byte header.
struct DdsLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;
  std::uint32_t mip_count = 0;
  std::uint32_t pf_flags = 0x40;
  std::uint32_t fourcc = 0;
  std::uint32_t bit_count = 32;
  std::uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0};  // r, g, b, a
  std::uint32_t caps2 = 0;
  std::uint32_t depth = 0;
};

inline Bytes dds_header(const DdsLayout& layout) {
  Bytes out;
  put_bytes(out, {'D', 'D', 'S', ' '});
  put_u32(out, 124);
  put_u32(out, layout.flags | (layout.mip_count != 0 ? 0x20000u : 0u));
  put_u32(out, layout.height);
  put_u32(out, layout.width);
  put_u32(out, 0);
  put_u32(out, layout.depth);
  put_u32(out, layout.mip_count);
  for (int i = 0; i < 11; ++i) put_u32(out, 0);
  put_u32(out, 32);
  put_u32(out, layout.pf_flags);
  put_u32(out, layout.fourcc);
  put_u32(out, layout.bit_count);
  for (const std::uint32_t mask : layout.masks) put_u32(out, mask);
  put_u32(out, 0x1000);
  put_u32(out, layout.caps2);
  put_u32(out, 0);
  put_u32(out, 0);
  put_u32(out, 0);
  return out;
}

inline std::uint32_t fourcc_of(const char (&s)[5]) {
  return static_cast<std::uint32_t>(s[0]) | static_cast<std::uint32_t>(s[1]) << 8 |
         static_cast<std::uint32_t>(s[2]) << 16 | static_cast<std::uint32_t>(s[3]) << 24;
}

}  // namespace image_test
