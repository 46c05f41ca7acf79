#include "model/cached_texture_source.h"

#include "render/image_loader.h"
#include "render/package_reader.h"
#include "render/texture_manager.h"

namespace model {
namespace {

// Keeps one cache reference for as long as the mesh holds the texture.
struct CacheReference {
  CacheReference(std::shared_ptr<MeshTexture> shown, render::TextureManager& owner, render::Texture* held)
      : picture(std::move(shown)), manager(owner), texture(held) {}
  ~CacheReference() { manager.release(texture); }
  CacheReference(const CacheReference&) = delete;
  CacheReference& operator=(const CacheReference&) = delete;

  std::shared_ptr<MeshTexture> picture;
  render::TextureManager& manager;
  render::Texture* texture;
};

std::shared_ptr<MeshTexture> held(std::shared_ptr<MeshTexture> picture, render::TextureManager& manager,
                                  render::Texture* texture) {
  auto reference = std::make_shared<CacheReference>(std::move(picture), manager, texture);
  MeshTexture* shown = reference->picture.get();
  return std::shared_ptr<MeshTexture>(std::move(reference), shown);
}

// The picture as 8-bit RGBA rows, top first.
std::shared_ptr<MeshTexture> picture_of(const std::string& name, const render::Image& image) {
  const std::optional<render::Image> argb = render::convert_image(image, render::PixelFormat::A8R8G8B8);
  if (!argb || argb->levels.empty()) return nullptr;
  const std::vector<std::uint32_t> pixels = render::level_to_argb(argb->format, argb->levels[0]);
  std::vector<std::uint8_t> rgba(pixels.size() * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgba[i * 4] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixels[i]);
    rgba[i * 4 + 3] = static_cast<std::uint8_t>(pixels[i] >> 24);
  }
  return std::make_shared<MeshTexture>(name, argb->width(), argb->height(), std::move(rgba));
}

}  // namespace

std::shared_ptr<MeshTexture> CachedTextureSource::texture(std::string_view name,
                                                          std::uint32_t texture_alpha) {
  if (name.empty()) return nullptr;
  if (render::is_placeholder_texture_name(name)) {
    render::Texture* texture = textures_.placeholder(name);
    std::shared_ptr<MeshTexture> picture = pictures_.find(texture->name());
    if (!picture) {
      picture = std::make_shared<MeshTexture>(texture->name());
      pictures_.add(picture);
    }
    return held(std::move(picture), textures_, texture);
  }

  const std::string cache_name = render::texture_cache_name(name);
  std::optional<render::TextureImages> images;
  auto read = [&] {
    if (package_ != nullptr) return render::load_texture_images(*package_, cache_name);
    std::string path = folder_;
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    return render::load_texture_images(path.c_str());
  };

  render::Texture* texture = textures_.acquire_cached(cache_name);
  std::shared_ptr<MeshTexture> picture = pictures_.find(cache_name);
  if (texture == nullptr) {
    images = read();
    if (!images) return nullptr;
    texture = textures_.create_from_images(*images, texture_alpha != 0);
    if (texture == nullptr) return nullptr;
  }
  if (!picture) {
    // Loaded by someone else without its picture kept: read it once more.
    if (!images) images = read();
    if (images) picture = picture_of(cache_name, images->main);
    if (!picture) {
      textures_.release(texture);
      return nullptr;
    }
    pictures_.add(picture);
  }
  return held(std::move(picture), textures_, texture);
}

}  // namespace model
