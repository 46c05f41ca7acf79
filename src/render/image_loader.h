#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "render/image.h"
#include "render/package_reader.h"

namespace render {

enum class ImageFileFormat { Unknown, Dds, Bmp, Png, Tga };

// Which reader a file needs, from its first bytes: "DDS ", "BM" and the PNG
// signature name theirs; anything else is tried as TGA, which has no
// signature (and whose valid headers never start like the others).
ImageFileFormat image_file_format(std::span<const std::uint8_t> file);

// The file's picture with the reader it needs; nullopt when that reader
// refuses it.
std::optional<Image> decode_image(std::span<const std::uint8_t> file);
// The picture of a file on disk.
std::optional<Image> load_image_file(const char* path);
// The picture of a package entry; nullopt when there is no such entry.
std::optional<Image> load_image_entry(PackageReader& package, std::string_view name);

// The suffix that names a texture's companion (its bump map).
inline constexpr std::string_view kCompanionSuffix = "-b.dds";

// The companion of a texture: the whole path without its extension, less a
// final "-d" when more than those two characters remain (the test is
// case-sensitive), followed by the suffix: "Fish-d.dds" gives "Fish-b.dds",
// "Rock.bmp" gives "Rock-b.dds", "-d.dds" gives "-d-b.dds". nullopt for an
// empty suffix (no companions) or a result above 260 characters.
std::optional<std::string> companion_name(std::string_view path, std::string_view suffix = kCompanionSuffix);

// The name a texture is cached under: the file name, without its folder.
std::string texture_cache_name(std::string_view path);

// Texture names containing "0000-" are placeholders, created empty under
// their base name (the file name without extension) and filled at run time
// by whatever shows pictures in them; the mesh node that uses one is named
// after the base name without its first five characters.
bool is_placeholder_texture_name(std::string_view name);
std::string placeholder_base_name(std::string_view name);
std::string placeholder_node_name(std::string_view name);

// A texture's pictures, as the texture loaders read them before making
// textures of them: the main image and, when it exists and reads, the
// companion's.
struct TextureImages {
  std::string name;  // the cache name
  Image main;
  std::optional<Image> companion;
};

// From a package: nullopt when the package has no entry of that name or it
// does not read; the companion is the entry named by the companion rule.
std::optional<TextureImages> load_texture_images(PackageReader& package, std::string_view name,
                                                 std::string_view suffix = kCompanionSuffix);
// From files: the companion is the file named by the companion rule.
std::optional<TextureImages> load_texture_images(const char* path,
                                                 std::string_view suffix = kCompanionSuffix);

}  // namespace render
