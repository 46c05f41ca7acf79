#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "render/pixel_format.h"

namespace render {

// One level of an image: rows top to bottom, `pitch` bytes apart (rows of
// 4 x 4 blocks for DXT formats). The pitch is surface_pitch of the format.
struct ImageLevel {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint64_t pitch = 0;
  std::vector<std::uint8_t> bytes;
};

// A picture decoded from a file, in memory: its format and its levels, the
// largest first. Images from BMP and TGA files have one level; a DDS file may
// bring its own chain.
struct Image {
  PixelFormat format = PixelFormat::Unknown;
  std::vector<ImageLevel> levels;

  std::uint32_t width() const { return levels.empty() ? 0 : levels[0].width; }
  std::uint32_t height() const { return levels.empty() ? 0 : levels[0].height; }
  std::uint32_t level_count() const { return static_cast<std::uint32_t>(levels.size()); }
};

// Sides above this are refused by every reader and converter, so that a
// header cannot ask for more memory than a texture could ever use.
inline constexpr std::uint32_t kMaxImageExtent = 16384;

// A level of the given size and format with zeroed bytes; nullopt for a zero
// or too large size or a format without storage.
std::optional<ImageLevel> make_level(PixelFormat format, std::uint32_t width, std::uint32_t height);

// The level's pixels as 0xAARRGGBB, rows top to bottom (alpha 0xFF for
// formats without alpha; DXT blocks decoded). Empty for a format the image
// code cannot read or a level whose bytes are too few.
std::vector<std::uint32_t> level_to_argb(PixelFormat format, const ImageLevel& level);
// A level in `format` (a format with a channel layout) from 0xAARRGGBB
// pixels; channels are rounded to the nearest value the format holds.
std::optional<ImageLevel> level_from_argb(PixelFormat format, std::uint32_t width, std::uint32_t height,
                                          std::span<const std::uint32_t> argb);

// A one-level image from 0xAARRGGBB pixels, rows top to bottom.
std::optional<Image> image_from_argb(PixelFormat format, std::uint32_t width, std::uint32_t height,
                                     std::span<const std::uint32_t> argb);

// The image with every level in `format`: the same image when the format is
// already that, else each level decoded and re-encoded. A DXT target is only
// reached by an image already in it (there is no compressor). nullopt when
// either format cannot be handled.
std::optional<Image> convert_image(const Image& image, PixelFormat format);

// Scales pixels to another size with a box filter: each target pixel is the
// rounded mean of the source pixels its area covers (at least one), each
// channel on its own.
std::vector<std::uint32_t> box_resample(std::span<const std::uint32_t> argb, std::uint32_t width,
                                        std::uint32_t height, std::uint32_t new_width,
                                        std::uint32_t new_height);
// The next smaller mip level: each pixel the rounded mean of a 2 x 2 block (a
// 2 x 1 or 1 x 2 block when a side is 1 pixel); the last row or column of an
// odd side is left out.
std::vector<std::uint32_t> half_level(std::span<const std::uint32_t> argb, std::uint32_t width,
                                      std::uint32_t height);

// Replaces the image's levels below the first by a chain made from the first
// with the box filter, `levels` long in all (0: down to 1 x 1; never more
// than the full chain). False, leaving the image as it was, for a DXT image
// (which keeps the chain it came with) or a format the image code cannot
// write.
bool build_mip_chain(Image& image, std::uint32_t levels);

}  // namespace render
