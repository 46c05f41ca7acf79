#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "render/image.h"

namespace render {

// What a device allows for textures, as the texture loader needs it.
struct TextureCaps {
  std::uint32_t max_width = 0;  // 0: the device names no limit, and 256 is used
  std::uint32_t max_height = 0;
  bool pow2_required = false;
  bool square_required = false;
  std::vector<PixelFormat> formats{};  // the formats the device takes for textures

  bool accepts(PixelFormat format) const;
};

// The texture format a device uses for each kind of image; Unknown where the
// device has none.
struct TextureFormatTable {
  PixelFormat opaque = PixelFormat::Unknown;  // first of X8R8G8B8, R5G6B5, X1R5G5B5
  PixelFormat alpha = PixelFormat::Unknown;   // first of A1R5G5B5, A4R4G4B4, A8R8G8B8
  PixelFormat alpha4 = PixelFormat::Unknown;  // A4R4G4B4, else alpha
  PixelFormat alpha8 = PixelFormat::Unknown;  // A8R8G8B8, else alpha4
  PixelFormat dxt1 = PixelFormat::Unknown;    // DXT1, else alpha
  PixelFormat dxt2 = PixelFormat::Unknown;    // DXT2, else none
  PixelFormat dxt3 = PixelFormat::Unknown;    // DXT3, else alpha4
  PixelFormat dxt4 = PixelFormat::Unknown;    // DXT4, else none
  PixelFormat dxt5 = PixelFormat::Unknown;    // DXT5, else alpha8
};

TextureFormatTable build_texture_format_table(const TextureCaps& caps);

// The texture format for an image of `image_format`: A4R4G4B4, A8R8G8B8 and
// the DXT formats have entries of their own; A1R5G5B5 and, when the caller
// asks for alpha, every other format take the alpha entry; the rest the
// opaque one.
PixelFormat texture_format_for(const TextureFormatTable& table, PixelFormat image_format, bool alpha);

struct TextureExtent {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const TextureExtent&, const TextureExtent&) = default;
};

// The size a texture of an image gets on a device: each side rounded up to a
// power of two when the device needs that, then limited to the device's
// maximum (256 when it names none), then both made the larger one when the
// device needs square textures.
TextureExtent fit_texture_size(const TextureCaps& caps, std::uint32_t width, std::uint32_t height);

// "Use the loader's default" for mip levels; 0 asks for a full chain.
inline constexpr int kDefaultMipLevels = -1;

struct TextureRequest {
  bool alpha = false;
  int mip_levels = kDefaultMipLevels;
  int default_mip_levels = 1;  // the texture manager's default
  TextureExtent size{};        // an explicit size; zero: the image's
};

// How one device's texture is made from an image.
struct TexturePlan {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t levels = 0;
  PixelFormat format = PixelFormat::Unknown;
  // The image's own levels from first_level on become the texture's levels,
  // converted to the format where it differs. Otherwise first_level is
  // scaled to the size and the lower levels are made from it with the box
  // filter.
  bool copy_chain = false;
  std::uint32_t first_level = 0;
};

// The plan for an image on a device. An image that brings a chain keeps it
// (unless the caller gives a size), starting at its first level that fits
// the device's maximum size, so a top level too large for the device is
// left out rather than failing the texture; when the device's size rules
// change that level's size, the chain is rebuilt from it instead. Other
// images get the requested levels (the default for kDefaultMipLevels, a full
// chain for 0, never more than a full chain). A DXT image whose texture
// would need scaling or new levels gets the device's uncompressed format
// for it, as there is no compressor. nullopt when the device has no format
// for the image.
std::optional<TexturePlan> plan_texture(const TextureCaps& caps, const TextureFormatTable& table,
                                        const Image& image, const TextureRequest& request);

// The texture's levels, made from the image by the plan; nullopt when the
// plan does not fit the image.
std::optional<Image> build_texture_image(const Image& image, const TexturePlan& plan);

}  // namespace render
