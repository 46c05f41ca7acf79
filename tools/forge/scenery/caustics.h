#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace forge::scenery {

// The moving light pattern the water surface throws on the floor, as a
// looping sequence of square grey frames that tile.
struct CausticFrames {
  std::uint32_t size = 0;
  // frame_count pictures of size x size grey levels, rows top to bottom.
  std::vector<std::vector<std::uint8_t>> frames;
};

// Light rays on a fine grid fall through a periodic, moving water surface (a
// sum of sine waves whose wave numbers fit the tile and whose periods divide
// the loop), are refracted, travel to the floor and are counted where they
// arrive; the density, normalised to its mean and softened, becomes the
// grey level (about 0.45 on average, bright along the focused lines).
CausticFrames compute_caustics(std::uint32_t size, int frame_count);

// Each frame at half the size, by averaging 2 x 2 pixels.
CausticFrames half_size(const CausticFrames& frames);

// A TGA file of 8-bit grey pixels, top row first.
std::vector<std::uint8_t> encode_grey_tga(std::uint32_t width, std::uint32_t height,
                                          const std::vector<std::uint8_t>& grey);

// The package of frame images the program loads as one texture per frame,
// in entry order: "WS00.tga", "WS01.tga", ...
std::optional<std::vector<std::uint8_t>> encode_caustic_package(const CausticFrames& frames,
                                                                std::string_view package_name);

}  // namespace forge::scenery
