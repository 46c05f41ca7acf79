#include "render/texture_manager.h"

#include <cstring>

namespace render {

Texture::Texture(std::string name, std::size_t device_count)
    : name_(std::move(name)), devices_(device_count) {}

Texture::~Texture() {
  for (OnDevice& on : devices_) {
    if (on.device == nullptr) continue;
    on.device->release_texture(on.main);
    on.device->release_texture(on.companion);
  }
}

const Texture::OnDevice* Texture::on_device(std::size_t device) const {
  return device < devices_.size() ? &devices_[device] : nullptr;
}

gfx::TextureHandle Texture::main(std::size_t device) const {
  return device < devices_.size() ? devices_[device].main : gfx::TextureHandle{};
}

gfx::TextureHandle Texture::companion(std::size_t device) const {
  return device < devices_.size() ? devices_[device].companion : gfx::TextureHandle{};
}

void Texture::set_main(std::size_t device, gfx::Device& owner, gfx::TextureHandle texture,
                       std::uint32_t width, std::uint32_t height, std::uint32_t levels) {
  if (device >= devices_.size()) {
    owner.release_texture(texture);
    return;
  }
  OnDevice& on = devices_[device];
  if (on.device != nullptr && on.device != &owner) {
    on.device->release_texture(on.main);
    on.device->release_texture(on.companion);
    on.companion = {};
  } else if (on.device != nullptr && on.main != texture) {
    on.device->release_texture(on.main);
  }
  on.device = &owner;
  on.main = texture;
  on.width = width;
  on.height = height;
  on.levels = levels;
}

void Texture::set_companion(std::size_t device, gfx::Device& owner, gfx::TextureHandle texture) {
  if (device >= devices_.size() ||
      (devices_[device].device != nullptr && devices_[device].device != &owner)) {
    owner.release_texture(texture);
    return;
  }
  OnDevice& on = devices_[device];
  if (on.device != nullptr && on.companion != texture) on.device->release_texture(on.companion);
  on.device = &owner;
  on.companion = texture;
}

TextureCaps gl_texture_caps(int max_texture_size) {
  TextureCaps caps;
  caps.max_width = caps.max_height = static_cast<std::uint32_t>(std::max(max_texture_size, 0));
  caps.formats = {PixelFormat::X8R8G8B8, PixelFormat::R5G6B5,   PixelFormat::X1R5G5B5,
                  PixelFormat::A1R5G5B5, PixelFormat::A4R4G4B4, PixelFormat::A8R8G8B8};
  return caps;
}

UploadedTexture upload_texture(gfx::Device& device, const TextureCaps& caps, const TextureFormatTable& table,
                               const Image& image, const TextureRequest& request) {
  UploadedTexture result;
  std::optional<TexturePlan> plan = plan_texture(caps, table, image, request);
  if (!plan) return result;
  std::optional<Image> built = build_texture_image(image, *plan);
  if (!built || built->levels.empty()) return result;
  // The device holds 32-bit pixels; each level passes through 0xAARRGGBB,
  // which keeps the precision of the format chosen for it. On little-endian
  // machines those words are the bytes B, G, R, A.
  std::vector<std::uint8_t> bytes;
  auto level_bytes = [&](const ImageLevel& level) {
    const std::vector<std::uint32_t> argb = level_to_argb(built->format, level);
    bytes.resize(argb.size() * 4);
    for (std::size_t i = 0; i < argb.size(); ++i) {
      bytes[i * 4] = static_cast<std::uint8_t>(argb[i]);
      bytes[i * 4 + 1] = static_cast<std::uint8_t>(argb[i] >> 8);
      bytes[i * 4 + 2] = static_cast<std::uint8_t>(argb[i] >> 16);
      bytes[i * 4 + 3] = static_cast<std::uint8_t>(argb[i] >> 24);
    }
    return !argb.empty();
  };
  const ImageLevel& top = built->levels[0];
  if (!level_bytes(top)) return result;
  const gfx::TextureDesc desc{static_cast<int>(top.width), static_cast<int>(top.height),
                              static_cast<int>(built->levels.size())};
  gfx::TextureHandle handle = device.create_texture(desc, gfx::PixelOrder::Bgra, bytes);
  if (!handle) return result;
  for (std::size_t i = 1; i < built->levels.size(); ++i) {
    const ImageLevel& level = built->levels[i];
    if (!level_bytes(level) ||
        !device.update_texture(handle, static_cast<int>(i), 0, 0, static_cast<int>(level.width),
                               static_cast<int>(level.height), gfx::PixelOrder::Bgra, bytes)) {
      device.release_texture(handle);
      return result;
    }
  }
  result.handle = handle;
  result.plan = *plan;
  return result;
}

TextureManager::TextureManager(RenderDevices& devices, std::vector<TextureCaps> caps)
    : devices_(devices), caps_(std::move(caps)) {
  caps_.resize(devices_.devices.size());
  for (std::size_t i = 0; i < devices_.devices.size(); ++i) {
    tables_.push_back(build_texture_format_table(caps_[i]));
    gfx::Device* device = devices_.devices[i];
    gfx::TextureHandle white, black;
    if (device != nullptr) {
      // The fallbacks take the device's opaque format like any texture.
      const TextureRequest one_level{false, 1, 1, {}};
      for (auto [colour, out] : {std::pair{0xFFFFFFFFu, &white}, std::pair{0xFF000000u, &black}}) {
        const std::uint32_t pixel = colour;
        std::optional<Image> image = image_from_argb(PixelFormat::A8R8G8B8, 1, 1, std::span(&pixel, 1));
        if (image) *out = upload_texture(*device, caps_[i], tables_[i], *image, one_level).handle;
      }
    }
    white_.push_back(white);
    black_.push_back(black);
  }
}

TextureManager::~TextureManager() {
  for (std::size_t i = 0; i < devices_.devices.size() && i < white_.size(); ++i) {
    if (devices_.devices[i] == nullptr) continue;
    devices_.devices[i]->release_texture(white_[i]);
    devices_.devices[i]->release_texture(black_[i]);
  }
}

gfx::TextureHandle TextureManager::white(std::size_t device) const {
  return device < white_.size() ? white_[device] : gfx::TextureHandle{};
}

gfx::TextureHandle TextureManager::black(std::size_t device) const {
  return device < black_.size() ? black_[device] : gfx::TextureHandle{};
}

Texture* TextureManager::acquire_cached(std::string_view cache_name) {
  Texture* found = cache_.find(cache_name);
  if (found != nullptr) cache_.acquire(found);
  return found;
}

Texture* TextureManager::placeholder(std::string_view name) {
  const std::string base = placeholder_base_name(name);
  if (Texture* found = acquire_cached(base)) return found;
  return cache_.add(std::make_unique<Texture>(base, devices_.devices.size()));
}

Texture* TextureManager::load_from_file(const std::string& path, bool alpha, int mip_levels) {
  if (is_placeholder_texture_name(path)) return placeholder(texture_cache_name(path));
  if (Texture* found = acquire_cached(texture_cache_name(path))) return found;
  const std::optional<TextureImages> images = load_texture_images(path.c_str(), companion_suffix_);
  return images ? create_from_images(*images, alpha, mip_levels) : nullptr;
}

Texture* TextureManager::load_from_package(PackageReader& package, std::string_view name, bool alpha,
                                           int mip_levels) {
  if (is_placeholder_texture_name(name)) return placeholder(texture_cache_name(name));
  if (Texture* found = acquire_cached(texture_cache_name(name))) return found;
  const std::optional<TextureImages> images = load_texture_images(package, name, companion_suffix_);
  return images ? create_from_images(*images, alpha, mip_levels) : nullptr;
}

Texture* TextureManager::create_from_images(const TextureImages& images, bool alpha, int mip_levels) {
  auto texture = std::make_unique<Texture>(images.name, devices_.devices.size());
  bool any = false;
  // Only the devices the manager was set up for have format tables.
  for (std::size_t i = 0; i < devices_.devices.size() && i < tables_.size(); ++i) {
    gfx::Device* device = devices_.devices[i];
    if (device == nullptr) continue;
    const TextureRequest request{alpha, mip_levels, default_mip_levels_, {}};
    UploadedTexture main = upload_texture(*device, caps_[i], tables_[i], images.main, request);
    if (!main.handle) continue;
    any = true;
    texture->set_main(i, *device, main.handle, main.plan.width, main.plan.height, main.plan.levels);
    if (images.companion) {
      const TextureRequest companion_request{false, 1, default_mip_levels_, {}};
      UploadedTexture companion =
          upload_texture(*device, caps_[i], tables_[i], *images.companion, companion_request);
      if (companion.handle) texture->set_companion(i, *device, companion.handle);
    }
  }
  if (!any) return nullptr;
  return cache_.add(std::move(texture));
}

void TextureManager::release(Texture* texture) {
  if (texture != nullptr) cache_.release(texture);
}

}  // namespace render
