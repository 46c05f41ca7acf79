#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx_device.h"

namespace render {
class PackageReader;
}

namespace model {

// A texture that materials draw with: its name, its picture in memory (8-bit
// RGBA, rows top to bottom) and its copy on each device that drew it. A
// placeholder texture starts without a picture; whoever shows pictures in it
// fills it at run time with set_pixels.
//
// Device copies must be released (release_device) before a device is
// destroyed.
class MeshTexture {
 public:
  MeshTexture(std::string name, std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba);
  // A placeholder without a picture.
  explicit MeshTexture(std::string name);
  ~MeshTexture();
  MeshTexture(const MeshTexture&) = delete;
  MeshTexture& operator=(const MeshTexture&) = delete;

  const std::string& name() const { return name_; }
  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  const std::vector<std::uint8_t>& rgba() const { return rgba_; }
  bool has_picture() const { return !rgba_.empty(); }

  // Replaces the picture; false (nothing changed) when the sizes disagree.
  bool set_pixels(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba);

  // The texture on this device with a full mip chain, made or refreshed as
  // needed; 0 without a picture or when the device cannot make it.
  gfx::TextureHandle handle_for(gfx::Device& device);
  // Releases this texture's copy and its companion's on the device.
  void release_device(gfx::Device& device);

  // The texture's companion: its bump map, read beside it.
  const std::shared_ptr<MeshTexture>& companion() const { return companion_; }
  void set_companion(std::shared_ptr<MeshTexture> companion) { companion_ = std::move(companion); }

 private:
  struct Copy {
    gfx::Device* device = nullptr;
    gfx::TextureHandle handle;
    std::uint64_t version = 0;
  };

  std::string name_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::vector<std::uint8_t> rgba_;
  std::uint64_t version_ = 1;
  std::vector<Copy> copies_;
  std::shared_ptr<MeshTexture> companion_;
};

// Finds the textures that a mesh's materials name. The mesh reader asks it
// for every non-empty texture name, with the material's texture-alpha value.
class TextureSource {
 public:
  virtual ~TextureSource() = default;
  virtual std::shared_ptr<MeshTexture> texture(std::string_view name, std::uint32_t texture_alpha) = 0;
};

// Texture files this module decodes: PNG images of 8-bit RGB or RGBA pixels,
// and the first level of the image files the texture loader reads (DDS, TGA,
// BMP).
std::shared_ptr<MeshTexture> decode_texture(std::string_view name, std::span<const std::uint8_t> file);

// Whether a texture name stands for a picture filled at run time: it
// contains "0000-".
bool is_placeholder_texture(std::string_view name);

// Textures shared by name (compared without regard to case) while anybody
// holds them; the cache itself holds no reference.
class TextureCache {
 public:
  std::shared_ptr<MeshTexture> find(std::string_view name);
  void add(const std::shared_ptr<MeshTexture>& texture);

 private:
  std::vector<std::weak_ptr<MeshTexture>> entries_;
};

// The textures of a mesh package: taken from the cache by file name, else
// from the package's entry of that name, else none. Names with "0000-" give
// an empty placeholder named after the name without extension. Without a
// package, files of that name in `folder` are read instead.
class PackageTextureSource final : public TextureSource {
 public:
  PackageTextureSource(TextureCache& cache, render::PackageReader* package, std::string folder = {})
      : cache_(cache), package_(package), folder_(std::move(folder)) {}
  std::shared_ptr<MeshTexture> texture(std::string_view name, std::uint32_t texture_alpha) override;

 private:
  TextureCache& cache_;
  render::PackageReader* package_;
  std::string folder_;
};

// The process-wide texture cache of meshes.
TextureCache& mesh_texture_cache();

}  // namespace model
