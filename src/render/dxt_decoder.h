#pragma once

#include <cstdint>
#include <span>

#include "render/pixel_format.h"

namespace render {

// Decodes a level of DXT1 to DXT5 blocks into 0xAARRGGBB pixels, rows top to
// bottom (width x height of them in `argb`). The blocks are
// ((width + 3) / 4) x ((height + 3) / 4), row by row; pixels of the last
// blocks beyond the level's edges are dropped. DXT2 and DXT4 are decoded
// like DXT3 and DXT5, their colours left as stored. False when `blocks` or
// `argb` is too small or the format is no DXT format.
bool decode_dxt(PixelFormat format, std::span<const std::uint8_t> blocks, std::uint32_t width,
                std::uint32_t height, std::span<std::uint32_t> argb);

}  // namespace render
