#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

// PNG images of 8-bit RGB or RGBA pixels: encoding for snapshots and
// screenshots, and decoding of the same kind of file (non-interlaced, 8 bits
// per channel, colour types 2 and 6).

namespace base {

struct PngImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;                  // 3 (RGB) or 4 (RGBA)
  std::vector<std::uint8_t> pixels;  // rows top to bottom, width * channels bytes each
};

// The row filter the encoder applies. Adaptive picks, per row, the filter
// whose output has the smallest sum of absolute values (the usual heuristic);
// the fixed choices exist so that every filter can be exercised.
enum class PngFilter { adaptive, none, sub, up, average, paeth };

// Images larger than this many bytes of filtered data are refused by both
// the encoder and the decoder.
inline constexpr std::uint64_t kPngMaxDataBytes = std::uint64_t{1} << 30;

// Encodes `height` rows of `width` pixels of `channels` bytes (3 or 4), rows
// top to bottom, each starting `stride` bytes after the previous one. Empty
// when the arguments do not describe an image that fits in `pixels`.
std::vector<std::uint8_t> encode_png(std::uint32_t width, std::uint32_t height, int channels,
                                     std::span<const std::uint8_t> pixels, std::size_t stride,
                                     PngFilter filter = PngFilter::adaptive);

// Encodes as above and replaces the file at `path` atomically.
bool write_png_file(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
                    int channels, std::span<const std::uint8_t> pixels, std::size_t stride);

// Decodes a PNG of 8-bit RGB or RGBA pixels. Every length and checksum is
// verified; anything malformed, truncated or of another kind gives nullopt.
std::optional<PngImage> decode_png(std::span<const std::uint8_t> file);
std::optional<PngImage> read_png_file(const std::filesystem::path& path);

}  // namespace base
