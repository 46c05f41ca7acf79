#include "render/image_loader.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/png.h"
#include "render/bmp_file.h"
#include "render/dds_file.h"
#include "render/file_path.h"
#include "render/tga_file.h"

namespace render {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool starts_with(std::span<const std::uint8_t> file, std::span<const std::uint8_t> prefix) {
  return file.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), file.begin());
}

std::optional<Image> decode_png_image(std::span<const std::uint8_t> file) {
  const std::optional<base::PngImage> png = base::decode_png(file);
  if (!png) return std::nullopt;
  std::vector<std::uint32_t> argb(std::size_t{png->width} * png->height);
  const std::size_t channels = static_cast<std::size_t>(png->channels);
  for (std::size_t i = 0; i < argb.size(); ++i) {
    const std::uint8_t* p = png->pixels.data() + i * channels;
    const std::uint32_t a = channels == 4 ? p[3] : 0xFF;
    argb[i] = a << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }
  return image_from_argb(channels == 4 ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8, png->width,
                         png->height, argb);
}

}  // namespace

ImageFileFormat image_file_format(std::span<const std::uint8_t> file) {
  constexpr std::uint8_t dds[4] = {'D', 'D', 'S', ' '};
  constexpr std::uint8_t bmp[2] = {'B', 'M'};
  if (starts_with(file, dds)) return ImageFileFormat::Dds;
  if (starts_with(file, bmp)) return ImageFileFormat::Bmp;
  if (starts_with(file, kPngSignature)) return ImageFileFormat::Png;
  return file.size() >= kTgaHeaderSize ? ImageFileFormat::Tga : ImageFileFormat::Unknown;
}

std::optional<Image> decode_image(std::span<const std::uint8_t> file) {
  switch (image_file_format(file)) {
    case ImageFileFormat::Dds:
      return decode_dds(file);
    case ImageFileFormat::Bmp:
      return decode_bmp(file);
    case ImageFileFormat::Png:
      return decode_png_image(file);
    case ImageFileFormat::Tga:
      return decode_tga(file);
    case ImageFileFormat::Unknown:
      break;
  }
  return std::nullopt;
}

std::optional<Image> load_image_file(const char* path) {
  if (path == nullptr || *path == '\0') return std::nullopt;
  const std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  if (!bytes) return std::nullopt;
  return decode_image(*bytes);
}

std::optional<Image> load_image_entry(PackageReader& package, std::string_view name) {
  const std::uint32_t index = package.find(name);
  if (index == 0) return std::nullopt;
  const Block* block = package.read(index);
  if (block == nullptr) return std::nullopt;
  return decode_image(block->bytes());
}

std::optional<std::string> companion_name(std::string_view path, std::string_view suffix) {
  if (suffix.empty()) return std::nullopt;
  FilePath file(path);
  std::string stem = file.name_without_extension(true);
  if (stem.size() > 2 && stem.ends_with("-d")) stem.resize(stem.size() - 2);
  stem += suffix;
  if (stem.size() > FilePath::kMaxLength) return std::nullopt;
  return stem;
}

std::string texture_cache_name(std::string_view path) {
  FilePath file(path);
  return file.file_name();
}

bool is_placeholder_texture_name(std::string_view name) {
  return name.find("0000-") != std::string_view::npos;
}

std::string placeholder_base_name(std::string_view name) {
  FilePath file(name);
  return file.name_without_extension(false);
}

std::string placeholder_node_name(std::string_view name) {
  const std::string base = placeholder_base_name(name);
  return base.size() > 5 ? base.substr(5) : std::string();
}

std::optional<TextureImages> load_texture_images(PackageReader& package, std::string_view name,
                                                 std::string_view suffix) {
  std::optional<Image> main = load_image_entry(package, name);
  if (!main) return std::nullopt;
  TextureImages images{texture_cache_name(name), std::move(*main), std::nullopt};
  if (const std::optional<std::string> companion = companion_name(name, suffix)) {
    images.companion = load_image_entry(package, *companion);
  }
  return images;
}

std::optional<TextureImages> load_texture_images(const char* path, std::string_view suffix) {
  std::optional<Image> main = load_image_file(path);
  if (!main) return std::nullopt;
  TextureImages images{texture_cache_name(path), std::move(*main), std::nullopt};
  if (const std::optional<std::string> companion = companion_name(path, suffix)) {
    images.companion = load_image_file(companion->c_str());
  }
  return images;
}

}  // namespace render
