// Textures of the "Test/" folder, one of each kind the texture loader reads:
// a DDS with its mip chain and its "-b" normal map, a TGA with alpha and a
// 24-bit BMP.
#include "forge/look/test_textures.h"

#include "forge/generator.h"

namespace {

bool write_test_textures(const forge::Output& output) {
  bool ok = true;
  for (const forge::TextureFile& file : forge::test_texture_files()) {
    ok = !file.bytes.empty() && output.write(file.path, file.bytes) && ok;
  }
  return ok;
}

}  // namespace

FORGE_GENERATOR("test_textures", write_test_textures);
