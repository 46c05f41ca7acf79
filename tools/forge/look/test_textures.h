#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

struct TextureFile {
  std::string path;  // below the program folder
  std::vector<std::uint8_t> bytes;
};

// The textures of "Test/", one of each kind the texture loader reads:
// "Sand-d.dds" (A8R8G8B8, 64 x 64 with its mip chain) and its normal map
// "Sand-b.dds", "Weed.tga" (32 bits with a translucent edge) and
// "Pebbles.bmp" (24 bits).
std::vector<TextureFile> test_texture_files();

}  // namespace forge
