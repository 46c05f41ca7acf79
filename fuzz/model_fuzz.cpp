// Reads the input as a mesh tree ("m8") and as a model's "Model.info". A tree
// that reads must write back into bytes that read to the same tree again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "model/mesh_library.h"
#include "model/mesh_reader.h"
#include "model/mesh_writer.h"
#include "model/model.h"
#include "model/pick.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

struct PlainFactory : model::ObjectFactory {
  std::unique_ptr<model::ModelObject> create_object(std::shared_ptr<model::MeshNode> mesh,
                                                    const base::Matrix& placement, std::uint8_t kind) override {
    return std::make_unique<model::ModelObject>(std::move(mesh), placement, kind);
  }
};

void check_tree(std::span<const std::uint8_t> bytes) {
  std::unique_ptr<model::MeshNode> root = model::read_mesh_tree(bytes);
  if (!root) return;
  const std::optional<std::vector<std::uint8_t>> first = model::encode_mesh_tree(*root);
  if (!first) return;  // e.g. names the format cannot hold after renaming
  std::unique_ptr<model::MeshNode> again = model::read_mesh_tree(*first);
  if (!again) std::abort();
  if (model::encode_mesh_tree(*again) != first) std::abort();
  model::PickResult result;
  model::pick(*root, model::Ray{{0, 0, -100}, {0, 0, 1}}, nullptr, false, &result);
}

void check_info(std::span<const std::uint8_t> bytes) {
  // A store with one mesh, so that objects can be made.
  static const std::vector<std::uint8_t> store_bytes = [] {
    render::PackageBuilder mesh;
    model::MeshNode node;
    node.name = "Stone";
    mesh.add(*model::encode_mesh_tree(node), "m8", false);
    render::PackageBuilder store;
    store.add(*mesh.encode("Rock"), "Rock.vmf", false);
    return *store.encode("Model");
  }();
  render::PackageReader store;
  if (!store.open_memory(store_bytes)) std::abort();
  base::CrtRandom random;
  model::TextureCache textures;
  model::MeshLibrary library(&random, &textures);
  PlainFactory factory;
  model::Model model(&factory, &library);
  model.read_info(bytes, &store, {}, true);
  model.encode_info(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  check_tree(input);
  check_info(input);
  return 0;
}
