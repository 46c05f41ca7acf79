#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/mesh_texture.h"

namespace render {
class PackageReader;
class TextureManager;
}  // namespace render

namespace model {

// Mesh textures through the texture manager: DDS, TGA, BMP and PNG files
// (with their "-b" companions) loaded once for every device and counted in
// its cache. Each texture handed out holds one reference of the cache,
// given back when the mesh lets go of it, so a texture lives while any mesh
// uses it. Meshes that share a texture share one MeshTexture, which keeps
// the picture for the mesh drawing code. Names with "0000-" give an empty
// placeholder named after the name without extension.
//
// Textures come from the package's entry of the name's file part, or
// without a package from the file `folder`/name.
class CachedTextureSource final : public TextureSource {
 public:
  CachedTextureSource(render::TextureManager& textures, TextureCache& pictures,
                      render::PackageReader* package, std::string folder = {})
      : textures_(textures), pictures_(pictures), package_(package), folder_(std::move(folder)) {}
  std::shared_ptr<MeshTexture> texture(std::string_view name, std::uint32_t texture_alpha) override;

 private:
  render::TextureManager& textures_;
  TextureCache& pictures_;
  render::PackageReader* package_;
  std::string folder_;
};

}  // namespace model
