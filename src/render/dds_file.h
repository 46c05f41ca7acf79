#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "render/image.h"

namespace render {

// DDS files: the magic "DDS ", a 124-byte header, then each level's data in
// turn, largest first; a level takes level_size bytes of its format.
inline constexpr std::uint32_t kDdsMagic = fourcc('D', 'D', 'S', ' ');
inline constexpr std::size_t kDdsHeaderSize = 128;  // with the magic

// The header fields a reader and a writer care about, at their offsets
// within the 124-byte header.
namespace dds {
inline constexpr std::size_t kSize = 0;   // 124
inline constexpr std::size_t kFlags = 4;  // below
inline constexpr std::size_t kHeight = 8;
inline constexpr std::size_t kWidth = 12;
inline constexpr std::size_t kPitch = 16;  // pitch, or the first level's size
inline constexpr std::size_t kDepth = 20;
inline constexpr std::size_t kMipCount = 24;
inline constexpr std::size_t kPixelFormat = 72;  // 32 bytes: size 32, flags, FourCC, bits, 4 masks
inline constexpr std::size_t kCaps = 104;
inline constexpr std::size_t kCaps2 = 108;

inline constexpr std::uint32_t kFlagCaps = 0x1;
inline constexpr std::uint32_t kFlagHeight = 0x2;
inline constexpr std::uint32_t kFlagWidth = 0x4;
inline constexpr std::uint32_t kFlagPitch = 0x8;
inline constexpr std::uint32_t kFlagPixelFormat = 0x1000;
inline constexpr std::uint32_t kFlagMipCount = 0x20000;
inline constexpr std::uint32_t kFlagLinearSize = 0x80000;
inline constexpr std::uint32_t kFlagDepth = 0x800000;

inline constexpr std::uint32_t kCapsComplex = 0x8;
inline constexpr std::uint32_t kCapsTexture = 0x1000;
inline constexpr std::uint32_t kCapsMipmap = 0x400000;
inline constexpr std::uint32_t kCaps2Cubemap = 0x200;
inline constexpr std::uint32_t kCaps2Volume = 0x200000;
}  // namespace dds

// A DDS file of a 2D texture with its levels, as stored (DXT levels stay
// compressed; convert_image decodes them). The level count is the header's
// when it marks one (0 counts as 1), else 1. nullopt for anything else: no
// magic, a header or pixel-format size other than 124 and 32, a zero side or
// one above kMaxImageExtent, a cube map or volume texture, a format that
// dds_pixel_format does not know, more levels than a full chain of that
// size, or level data that the file does not hold.
std::optional<Image> decode_dds(std::span<const std::uint8_t> file);

// The DDS file of an image whose format the header can describe (those
// dds_fields_of gives fields for); empty otherwise.
std::vector<std::uint8_t> encode_dds(const Image& image);

}  // namespace render
