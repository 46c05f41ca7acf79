#include "model/mesh_texture.h"

#include <algorithm>
#include <optional>

#include "base/file_io.h"
#include "base/png.h"
#include "platform/ascii.h"
#include "render/image.h"
#include "render/image_loader.h"
#include "render/package_reader.h"

namespace model {

MeshTexture::MeshTexture(std::string name, std::uint32_t width, std::uint32_t height,
                         std::vector<std::uint8_t> rgba)
    : name_(std::move(name)) {
  set_pixels(width, height, std::move(rgba));
}

MeshTexture::MeshTexture(std::string name) : name_(std::move(name)) {}

MeshTexture::~MeshTexture() {
  for (Copy& copy : copies_) copy.device->release_texture(copy.handle);
}

bool MeshTexture::set_pixels(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba) {
  if (width == 0 || height == 0 || width > 16384 || height > 16384) return false;
  if (rgba.size() != static_cast<std::size_t>(width) * height * 4) return false;
  width_ = width;
  height_ = height;
  rgba_ = std::move(rgba);
  ++version_;
  return true;
}

gfx::TextureHandle MeshTexture::handle_for(gfx::Device& device) {
  if (rgba_.empty()) return {};
  auto found = std::find_if(copies_.begin(), copies_.end(), [&](const Copy& c) { return c.device == &device; });
  if (found != copies_.end() && found->version == version_) return found->handle;
  if (found != copies_.end()) {
    device.release_texture(found->handle);
    copies_.erase(found);
  }
  gfx::TextureDesc desc{static_cast<int>(width_), static_cast<int>(height_), 0};
  gfx::TextureHandle handle = device.create_texture(desc, gfx::PixelOrder::Rgba, rgba_);
  if (!handle) return {};
  copies_.push_back(Copy{&device, handle, version_});
  return handle;
}

void MeshTexture::release_device(gfx::Device& device) {
  std::erase_if(copies_, [&](const Copy& copy) {
    if (copy.device != &device) return false;
    device.release_texture(copy.handle);
    return true;
  });
  if (companion_) companion_->release_device(device);
}

namespace {

// The first level of a DDS, TGA or BMP file as RGBA bytes.
std::shared_ptr<MeshTexture> decode_loader_image(std::string_view name, std::span<const std::uint8_t> file) {
  const std::optional<render::Image> image = render::decode_image(file);
  if (!image || image->levels.empty()) return nullptr;
  const std::vector<std::uint32_t> argb = render::level_to_argb(image->format, image->levels[0]);
  const std::size_t pixels = static_cast<std::size_t>(image->width()) * image->height();
  if (argb.size() != pixels || pixels == 0) return nullptr;
  std::vector<std::uint8_t> rgba(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    rgba[i * 4] = static_cast<std::uint8_t>(argb[i] >> 16);
    rgba[i * 4 + 1] = static_cast<std::uint8_t>(argb[i] >> 8);
    rgba[i * 4 + 2] = static_cast<std::uint8_t>(argb[i]);
    rgba[i * 4 + 3] = static_cast<std::uint8_t>(argb[i] >> 24);
  }
  auto texture = std::make_shared<MeshTexture>(std::string(name), image->width(), image->height(), std::move(rgba));
  return texture->has_picture() ? texture : nullptr;
}

}  // namespace

std::shared_ptr<MeshTexture> decode_texture(std::string_view name, std::span<const std::uint8_t> file) {
  std::optional<base::PngImage> image = base::decode_png(file);
  if (!image) return decode_loader_image(name, file);
  std::vector<std::uint8_t> rgba;
  if (image->channels == 4) {
    rgba = std::move(image->pixels);
  } else {
    const std::size_t pixels = static_cast<std::size_t>(image->width) * image->height;
    rgba.resize(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
      rgba[i * 4] = image->pixels[i * 3];
      rgba[i * 4 + 1] = image->pixels[i * 3 + 1];
      rgba[i * 4 + 2] = image->pixels[i * 3 + 2];
      rgba[i * 4 + 3] = 0xFF;
    }
  }
  auto texture = std::make_shared<MeshTexture>(std::string(name), image->width, image->height, std::move(rgba));
  return texture->has_picture() ? texture : nullptr;
}

bool is_placeholder_texture(std::string_view name) { return name.find("0000-") != std::string_view::npos; }

std::shared_ptr<MeshTexture> TextureCache::find(std::string_view name) {
  std::erase_if(entries_, [](const std::weak_ptr<MeshTexture>& entry) { return entry.expired(); });
  for (const std::weak_ptr<MeshTexture>& entry : entries_) {
    std::shared_ptr<MeshTexture> texture = entry.lock();
    if (texture && platform::equals_ignore_ascii_case(texture->name(), name)) return texture;
  }
  return nullptr;
}

void TextureCache::add(const std::shared_ptr<MeshTexture>& texture) {
  if (texture) entries_.insert(entries_.begin(), texture);
}

namespace {

std::string_view file_part(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string_view without_extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

}  // namespace

std::shared_ptr<MeshTexture> PackageTextureSource::texture(std::string_view name, std::uint32_t) {
  if (name.empty()) return nullptr;
  if (is_placeholder_texture(name)) {
    const std::string_view base_name = without_extension(file_part(name));
    if (std::shared_ptr<MeshTexture> cached = cache_.find(base_name)) return cached;
    auto placeholder = std::make_shared<MeshTexture>(std::string(base_name));
    cache_.add(placeholder);
    return placeholder;
  }
  const std::string_view file_name = file_part(name);
  if (std::shared_ptr<MeshTexture> cached = cache_.find(file_name)) return cached;
  std::shared_ptr<MeshTexture> texture;
  if (package_ != nullptr) {
    if (const render::Block* block = package_->read(file_name)) texture = decode_texture(file_name, block->bytes());
    // The bump map rides along under the companion name ("Skin-d.png" has
    // "Skin-b.dds").
    const std::optional<std::string> companion = render::companion_name(file_name);
    if (texture && companion) {
      if (const render::Block* block = package_->read(*companion)) {
        texture->set_companion(decode_texture(*companion, block->bytes()));
      }
    }
  } else {
    std::string path = folder_;
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    if (std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path))
      texture = decode_texture(file_name, *bytes);
  }
  cache_.add(texture);
  return texture;
}

TextureCache& mesh_texture_cache() {
  static TextureCache cache;
  return cache;
}

}  // namespace model
