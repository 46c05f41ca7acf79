#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "render/image.h"

namespace render {

// TGA files: an 18-byte header (id length, colour-map type, image type,
// colour-map first entry u16, colour-map length u16, colour-map entry bits,
// x and y origin u16, width u16, height u16, pixel bits, descriptor), the id
// field, the colour map, then the pixels, bottom row first unless bit 5 of
// the descriptor says the top comes first (bit 4: right to left).
inline constexpr std::size_t kTgaHeaderSize = 18;

// A TGA file's picture, decoded: the pixels as 0xAARRGGBB, rows top to
// bottom, whatever order the file keeps them in.
struct TgaPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int image_type = 0;      // 1 colour-mapped, 2 true colour, 3 grey; +8 run-length encoded
  int pixel_bits = 0;      // as the header gives it
  bool has_alpha = false;  // 32-bit pixels or map entries, or 16-bit ones with an alpha bit
  std::vector<std::uint32_t> argb;
};

// Reads true-colour images of 15, 16, 24 and 32 bits, grey images of 8 bits
// and colour-mapped images of 8-bit indices into a map of 15, 16, 24 or
// 32-bit entries, each uncompressed or run-length encoded. The pixel data is
// read for the size the header declares; what follows it (an extension area
// or footer) is no picture. nullopt for a header the format does not allow
// (image types 2, 3, 10 and 11 without a colour map, 1 and 9 with one), a
// zero or too large side, another depth, an interleaved image, a colour
// index outside the map, or data that the file does not hold.
std::optional<TgaPicture> read_tga(std::span<const std::uint8_t> file);

// The picture as an image: A8R8G8B8 when it has alpha, else X8R8G8B8.
std::optional<Image> decode_tga(std::span<const std::uint8_t> file);

// A true-colour TGA file of 24 or 32 bits (32 keeps the alpha and declares
// 8 alpha bits) from 0xAARRGGBB pixels, rows top to bottom. The file stores
// the bottom row first unless top_first; run-length encoded (packets within
// a row) when rle. Empty for a bad size, depth or pixel count.
std::vector<std::uint8_t> encode_tga(std::uint32_t width, std::uint32_t height,
                                     std::span<const std::uint32_t> argb, int bits, bool rle, bool top_first);

}  // namespace render
