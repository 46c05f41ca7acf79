#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx_device.h"
#include "render/effect_set.h"
#include "render/image.h"
#include "render/image_loader.h"
#include "render/resource_cache.h"
#include "render/texture_plan.h"

namespace render {

class PackageReader;

// A texture loaded by name, with its main and companion (bump map) texture
// on every device. A placeholder starts without textures; whoever shows
// pictures in it sets them.
class Texture {
 public:
  struct OnDevice {
    gfx::Device* device = nullptr;
    gfx::TextureHandle main;
    gfx::TextureHandle companion;
    std::uint32_t width = 0;  // of the main texture
    std::uint32_t height = 0;
    std::uint32_t levels = 0;
  };

  Texture(std::string name, std::size_t device_count);
  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  const std::string& name() const { return name_; }
  // Empty handles for devices that have no texture (or none such device).
  gfx::TextureHandle main(std::size_t device) const;
  gfx::TextureHandle companion(std::size_t device) const;
  const OnDevice* on_device(std::size_t device) const;
  // Hands a device texture to the texture, which releases it when it goes
  // (and releases the one it replaces).
  void set_main(std::size_t device, gfx::Device& owner, gfx::TextureHandle texture, std::uint32_t width,
                std::uint32_t height, std::uint32_t levels);
  void set_companion(std::size_t device, gfx::Device& owner, gfx::TextureHandle texture);

 private:
  std::string name_;
  std::vector<OnDevice> devices_;
};

// What an OpenGL 3.3 device takes for textures: the uncompressed formats
// (DXT images are decoded), any size up to its limit.
TextureCaps gl_texture_caps(int max_texture_size);

// A device texture made from an image by a plan: every level of the built
// image uploaded; an empty handle when the device has no format for the
// image or cannot make it.
struct UploadedTexture {
  gfx::TextureHandle handle;
  TexturePlan plan;
};
UploadedTexture upload_texture(gfx::Device& device, const TextureCaps& caps, const TextureFormatTable& table,
                               const Image& image, const TextureRequest& request);

// Loads textures once for all devices and shares them by name. Every
// successful load counts a reference, which the loader gives back with
// release.
class TextureManager {
 public:
  // caps: one per device of `devices`.
  TextureManager(RenderDevices& devices, std::vector<TextureCaps> caps);
  ~TextureManager();
  TextureManager(const TextureManager&) = delete;
  TextureManager& operator=(const TextureManager&) = delete;

  // The companion suffix; empty disables companions.
  void set_companion_suffix(std::string suffix) { companion_suffix_ = std::move(suffix); }
  void set_default_mip_levels(int levels) { default_mip_levels_ = levels; }

  // A texture by file path (cached by the file name part); placeholder
  // names ("0000-") give a placeholder. nullptr when the image does not
  // read or no device can make it.
  Texture* load_from_file(const std::string& path, bool alpha, int mip_levels = kDefaultMipLevels);
  // The same from a package entry.
  Texture* load_from_package(PackageReader& package, std::string_view name, bool alpha,
                             int mip_levels = kDefaultMipLevels);
  // An empty texture named after the name without folder and extension.
  Texture* placeholder(std::string_view name);
  // Gives back one reference of a load; the last destroys the texture.
  void release(Texture* texture);

  // The two halves of a load, for loaders that need the pictures too: the
  // cached texture of a cache name with one more reference (nullptr when
  // there is none), and a new cached texture made from pictures already
  // read (nullptr when no device can make it).
  Texture* acquire_cached(std::string_view cache_name);
  Texture* create_from_images(const TextureImages& images, bool alpha, int mip_levels = kDefaultMipLevels);

  const ResourceCache<Texture>& cache() const { return cache_; }
  const TextureFormatTable& format_table(std::size_t device) const { return tables_.at(device); }
  // The 1 x 1 opaque white and black textures of a device.
  gfx::TextureHandle white(std::size_t device) const;
  gfx::TextureHandle black(std::size_t device) const;

 private:
  RenderDevices& devices_;
  std::vector<TextureCaps> caps_;
  std::vector<TextureFormatTable> tables_;
  std::vector<gfx::TextureHandle> white_;
  std::vector<gfx::TextureHandle> black_;
  ResourceCache<Texture> cache_;
  std::string companion_suffix_{kCompanionSuffix};
  int default_mip_levels_ = 1;
};

}  // namespace render
