#include "render/dxt_decoder.h"

#include <array>

namespace render {

namespace {

std::uint32_t load_u16(const std::uint8_t* p) { return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8; }

std::uint32_t load_u32(const std::uint8_t* p) { return load_u16(p) | load_u16(p + 2) << 16; }

struct Rgb {
  std::uint32_t r, g, b;
};

Rgb expand_565(std::uint32_t c) {
  const std::uint32_t r = (c >> 11) & 0x1F;
  const std::uint32_t g = (c >> 5) & 0x3F;
  const std::uint32_t b = c & 0x1F;
  return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

std::uint32_t pack(std::uint32_t a, const Rgb& c) { return a << 24 | c.r << 16 | c.g << 8 | c.b; }

Rgb mix(const Rgb& x, std::uint32_t wx, const Rgb& y, std::uint32_t wy) {
  const std::uint32_t sum = wx + wy;
  return {(x.r * wx + y.r * wy) / sum, (x.g * wx + y.g * wy) / sum, (x.b * wx + y.b * wy) / sum};
}

// The 16 colours of a colour block (8 bytes). A DXT1 block whose first
// colour is not above the second has three colours and transparent black;
// the colour blocks of the other formats always have four.
void decode_colours(const std::uint8_t* block, bool dxt1, std::array<std::uint32_t, 16>& out) {
  const std::uint32_t c0 = load_u16(block);
  const std::uint32_t c1 = load_u16(block + 2);
  const Rgb e0 = expand_565(c0);
  const Rgb e1 = expand_565(c1);
  std::array<std::uint32_t, 4> palette{};
  palette[0] = pack(0xFF, e0);
  palette[1] = pack(0xFF, e1);
  if (!dxt1 || c0 > c1) {
    palette[2] = pack(0xFF, mix(e0, 2, e1, 1));
    palette[3] = pack(0xFF, mix(e0, 1, e1, 2));
  } else {
    palette[2] = pack(0xFF, mix(e0, 1, e1, 1));
    palette[3] = 0;
  }
  const std::uint32_t indices = load_u32(block + 4);
  for (int i = 0; i < 16; ++i) out[i] = palette[(indices >> (2 * i)) & 3];
}

void set_alpha(std::uint32_t& pixel, std::uint32_t alpha) { pixel = (pixel & 0x00FFFFFF) | alpha << 24; }

// 4 bits of alpha per pixel.
void apply_explicit_alpha(const std::uint8_t* block, std::array<std::uint32_t, 16>& out) {
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
    set_alpha(out[i], nibble * 17);
  }
}

// Two alpha end points and 3-bit indices into the 8 values between them.
void apply_interpolated_alpha(const std::uint8_t* block, std::array<std::uint32_t, 16>& out) {
  const std::uint32_t a0 = block[0];
  const std::uint32_t a1 = block[1];
  std::array<std::uint32_t, 8> values{a0, a1};
  if (a0 > a1) {
    for (std::uint32_t i = 1; i < 7; ++i) values[i + 1] = ((7 - i) * a0 + i * a1) / 7;
  } else {
    for (std::uint32_t i = 1; i < 5; ++i) values[i + 1] = ((5 - i) * a0 + i * a1) / 5;
    values[6] = 0;
    values[7] = 255;
  }
  std::uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= std::uint64_t{block[2 + i]} << (8 * i);
  for (int i = 0; i < 16; ++i) set_alpha(out[i], values[(indices >> (3 * i)) & 7]);
}

}  // namespace

bool decode_dxt(PixelFormat format, std::span<const std::uint8_t> blocks, std::uint32_t width,
                std::uint32_t height, std::span<std::uint32_t> argb) {
  if (!is_dxt(format)) return false;
  const std::uint64_t block_bytes = format == PixelFormat::Dxt1 ? 8 : 16;
  const std::uint64_t across = (std::uint64_t{width} + 3) / 4;
  const std::uint64_t down = (std::uint64_t{height} + 3) / 4;
  if (blocks.size() / block_bytes < across * down) return false;
  if (argb.size() < std::uint64_t{width} * height) return false;

  std::array<std::uint32_t, 16> texels{};
  for (std::uint64_t by = 0; by < down; ++by) {
    for (std::uint64_t bx = 0; bx < across; ++bx) {
      const std::uint8_t* block = blocks.data() + (by * across + bx) * block_bytes;
      switch (format) {
        case PixelFormat::Dxt1:
          decode_colours(block, true, texels);
          break;
        case PixelFormat::Dxt2:
        case PixelFormat::Dxt3:
          decode_colours(block + 8, false, texels);
          apply_explicit_alpha(block, texels);
          break;
        default:
          decode_colours(block + 8, false, texels);
          apply_interpolated_alpha(block, texels);
          break;
      }
      for (std::uint64_t ty = 0; ty < 4; ++ty) {
        const std::uint64_t y = by * 4 + ty;
        if (y >= height) break;
        for (std::uint64_t tx = 0; tx < 4; ++tx) {
          const std::uint64_t x = bx * 4 + tx;
          if (x >= width) break;
          argb[y * width + x] = texels[ty * 4 + tx];
        }
      }
    }
  }
  return true;
}

}  // namespace render
