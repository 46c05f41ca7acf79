#include "model/mesh_library.h"

#include <algorithm>
#include <string>

#include "model/mesh_reader.h"
#include "platform/ascii.h"
#include "render/file_path.h"
#include "render/package_reader.h"

namespace model {

std::string_view file_name_of(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

MeshLibrary::MeshLibrary(base::CrtRandom* random, TextureCache* textures)
    : random_(random != nullptr ? random : &base::crt_rand()),
      textures_(textures != nullptr ? textures : &mesh_texture_cache()) {}

std::shared_ptr<MeshNode> MeshLibrary::find(std::string_view name) {
  std::erase_if(entries_, [](const Entry& entry) { return entry.mesh.expired(); });
  const std::string_view file = file_name_of(name);
  for (const Entry& entry : entries_) {
    if (platform::equals_ignore_ascii_case(entry.name, name) ||
        platform::equals_ignore_ascii_case(file_name_of(entry.name), file)) {
      if (std::shared_ptr<MeshNode> mesh = entry.mesh.lock()) return mesh;
    }
  }
  return nullptr;
}

void MeshLibrary::add(std::string_view name, const std::shared_ptr<MeshNode>& root) {
  if (!root) return;
  root->resource_name = std::string(file_name_of(name));
  entries_.insert(entries_.begin(), Entry{std::string(name), root});
}

std::size_t MeshLibrary::size() {
  std::erase_if(entries_, [](const Entry& entry) { return entry.mesh.expired(); });
  return entries_.size();
}

namespace {

std::unique_ptr<MeshNode> read_package_mesh(render::PackageReader& package, TextureCache& textures,
                                            std::string& error) {
  const render::Block* block = package.read("m8");
  if (block == nullptr) {
    error = package.find("m8") == 0 ? "the package has no m8 entry" : "the m8 entry is damaged";
    return nullptr;
  }
  // Textures are read from the same package, which replaces its current
  // block: keep the tree's bytes apart.
  std::optional<render::Block> tree = package.detach_current();
  PackageTextureSource source(textures, &package);
  return read_mesh_tree(tree->bytes(), &source, &error);
}

}  // namespace

std::shared_ptr<MeshNode> MeshLibrary::finish(std::string_view name, std::unique_ptr<MeshNode> root) {
  if (!root) return nullptr;
  std::shared_ptr<MeshNode> mesh(std::move(root));
  add(name, mesh);
  if (mesh->playback) mesh->playback->randomise(*random_);
  last_error_.clear();
  return mesh;
}

std::shared_ptr<MeshNode> MeshLibrary::load_file(std::string_view path) {
  if (std::shared_ptr<MeshNode> loaded = find(path)) return loaded;
  render::FilePath file(path);
  file.set_kind(render::FileKind::Package);
  render::PackageReader package;
  if (!package.open_file(file.c_str(), false)) {
    last_error_ = "cannot open the package";
    return nullptr;
  }
  return finish(path, read_package_mesh(package, *textures_, last_error_));
}

std::shared_ptr<MeshNode> MeshLibrary::load_memory(std::string_view name, std::span<const std::uint8_t> bytes) {
  if (std::shared_ptr<MeshNode> loaded = find(name)) return loaded;
  render::PackageReader package;
  if (!package.open_memory(bytes)) {
    last_error_ = "not a package";
    return nullptr;
  }
  return finish(name, read_package_mesh(package, *textures_, last_error_));
}

MeshLibrary& mesh_library() {
  static MeshLibrary library;
  return library;
}

}  // namespace model
