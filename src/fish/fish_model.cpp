#include "fish/fish_model.h"

#include <optional>

#include "model/mesh_reader.h"
#include "model/mesh_texture.h"
#include "render/package_reader.h"

namespace fish {

std::string fish_model_name(int kind) { return "RKFish" + std::to_string(kind); }

std::shared_ptr<model::MeshNode> load_fish_model(int kind, render::PackageReader& package,
                                                 model::MeshLibrary& library) {
  const std::string name = fish_model_name(kind);
  if (std::shared_ptr<model::MeshNode> shared = library.find(name)) return shared;
  if (!package.is_open()) return nullptr;
  const std::uint32_t entry = package.find_by_extension("m8");
  if (entry == 0 || package.read(entry) == nullptr) return nullptr;
  // Textures come from the same package, which replaces its current block:
  // keep the tree's bytes apart first.
  std::optional<render::Block> tree = package.detach_current();
  if (!tree) return nullptr;
  model::PackageTextureSource textures(model::mesh_texture_cache(), &package);
  std::unique_ptr<model::MeshNode> root = model::read_mesh_tree(tree->bytes(), &textures);
  if (!root) return nullptr;
  std::shared_ptr<model::MeshNode> mesh(std::move(root));
  library.add(name, mesh);
  return mesh;
}

}  // namespace fish
