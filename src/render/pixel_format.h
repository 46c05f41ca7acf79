#pragma once

#include <cstdint>
#include <string_view>

namespace render {

// Four characters packed little-endian, the way image files and format codes
// carry them ("DXT1" is 0x31545844).
constexpr std::uint32_t fourcc(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

// Pixel formats by their classic 3D-API numbers, which is how display modes,
// device settings and texture files name them. Uncompressed formats are named
// from the most significant bit down and are stored as little-endian words:
// A8R8G8B8 is the bytes B, G, R, A. Any other value may occur (it comes from
// a file or a settings record) and is simply unknown.
enum class PixelFormat : std::uint32_t {
  Unknown = 0,
  R8G8B8 = 20,
  A8R8G8B8 = 21,
  X8R8G8B8 = 22,
  R5G6B5 = 23,
  X1R5G5B5 = 24,
  A1R5G5B5 = 25,
  A4R4G4B4 = 26,
  R3G3B2 = 27,
  A8 = 28,
  A8R3G3B2 = 29,
  X4R4G4B4 = 30,
  A2B10G10R10 = 31,
  A8B8G8R8 = 32,
  X8B8G8R8 = 33,
  G16R16 = 34,
  A2R10G10B10 = 35,
  A16B16G16R16 = 36,
  A8P8 = 40,
  P8 = 41,
  L8 = 50,
  A8L8 = 51,
  A4L4 = 52,
  V8U8 = 60,
  L6V5U5 = 61,
  X8L8V8U8 = 62,
  Q8W8V8U8 = 63,
  V16U16 = 64,
  A2W10V10U10 = 67,
  D16Lockable = 70,
  D32 = 71,
  D15S1 = 73,
  D24S8 = 75,
  D24X8 = 77,
  D24X4S4 = 79,
  D16 = 80,
  L16 = 81,
  D32FLockable = 82,
  D24FS8 = 83,
  VertexData = 100,
  Index16 = 101,
  Index32 = 102,
  Q16W16V16U16 = 110,
  R16F = 111,
  G16R16F = 112,
  A16B16G16R16F = 113,
  R32F = 114,
  G32R32F = 115,
  A32B32G32R32F = 116,
  CxV8U8 = 117,
  Multi2Argb8 = fourcc('M', 'E', 'T', '1'),
  Dxt1 = fourcc('D', 'X', 'T', '1'),
  Dxt2 = fourcc('D', 'X', 'T', '2'),
  Dxt3 = fourcc('D', 'X', 'T', '3'),
  Dxt4 = fourcc('D', 'X', 'T', '4'),
  Dxt5 = fourcc('D', 'X', 'T', '5'),
  Yuy2 = fourcc('Y', 'U', 'Y', '2'),
  Uyvy = fourcc('U', 'Y', 'V', 'Y'),
};

// The catalogue, as the device settings and the status text show it: the
// format's name ("A8R8G8B8", "DXT1", "UNKNOWN" for 0, "Unknown format" for
// a value that is no format), its bits per pixel and alpha bits where the
// catalogue lists them (0 elsewhere, even for formats with a known size),
// and the depth and stencil bits of the depth formats.
std::string_view pixel_format_name(PixelFormat format);
int bits_per_pixel(PixelFormat format);
int alpha_bits(PixelFormat format);
int depth_bits(PixelFormat format);
int stencil_bits(PixelFormat format);

bool is_dxt(PixelFormat format);

// Where an uncompressed format keeps its channels: the bits of one pixel and
// the mask of each channel in the pixel's little-endian word (0 for a channel
// the format lacks). Known for the RGB formats the image code converts:
// R8G8B8, A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, R3G3B2,
// A8, A8R3G3B2, X4R4G4B4, A2B10G10R10, A8B8G8R8, X8B8G8R8, A2R10G10B10.
struct ChannelLayout {
  int bits = 0;
  std::uint32_t alpha = 0;
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;
};
// nullptr for every other format.
const ChannelLayout* channel_layout(PixelFormat format);

// The bits one pixel really takes in memory for the formats with a channel
// layout (8, 16, 24 or 32); 0 for compressed formats and every format the
// image code does not handle.
int storage_bits(PixelFormat format);

// Bytes from one row to the next of a surface: (width x bits + 31) / 8
// rounded down to a multiple of 4. For DXT formats, the bytes of one row of
// 4 x 4 blocks. 0 for a format without storage.
std::uint64_t surface_pitch(PixelFormat format, std::uint32_t width);
// The bytes of one level: rows x pitch, with (height + 3) / 4 block rows for
// DXT formats (a level of 1 to 3 pixels still takes a whole block).
std::uint64_t level_size(PixelFormat format, std::uint32_t width, std::uint32_t height);
// Level i + 1 of a chain halves level i, never below 1.
constexpr std::uint32_t next_level_extent(std::uint32_t extent) { return extent > 1 ? extent / 2 : 1; }
// The number of levels of a full chain down to 1 x 1.
std::uint32_t full_chain_levels(std::uint32_t width, std::uint32_t height);

// The pixel-format fields of a DDS header.
struct DdsPixelFormatFields {
  std::uint32_t flags = 0;  // 0x1 alpha pixels, 0x4 FourCC, 0x40 RGB
  std::uint32_t fourcc = 0;
  std::uint32_t bit_count = 0;
  std::uint32_t red_mask = 0;
  std::uint32_t green_mask = 0;
  std::uint32_t blue_mask = 0;
  std::uint32_t alpha_mask = 0;
};

inline constexpr std::uint32_t kDdsAlphaPixels = 0x1;
inline constexpr std::uint32_t kDdsFourcc = 0x4;
inline constexpr std::uint32_t kDdsRgb = 0x40;

// The format a DDS file's pixel-format fields describe: a FourCC of DXT1 to
// DXT5 gives that format; otherwise the bit count and the channel masks
// decide (8: R3G3B2 or A8; 16: R5G6B5, X1R5G5B5 / A1R5G5B5, X4R4G4B4 /
// A4R4G4B4; 24: R8G8B8; 32: X8R8G8B8 / A8R8G8B8 and their blue-first twins
// X8B8G8R8 / A8B8G8R8). The alpha variant is chosen when the alpha-pixels
// flag is set and the alpha mask has the format's alpha width. The masks
// must sit where the format keeps its channels, so a file whose channels are
// elsewhere is not read with its colours swapped. Unknown for anything else.
PixelFormat dds_pixel_format(const DdsPixelFormatFields& fields);
// The fields a writer puts into a DDS header for a format: those that
// dds_pixel_format maps back to it; all zero for any other format.
DdsPixelFormatFields dds_fields_of(PixelFormat format);

}  // namespace render
