// Test meshes of the "Test/" folder: small, lit and textured, for checking
// the mesh reader, the drawing and the tools on real packages.
#include <cstdint>
#include <vector>

#include "forge/generator.h"
#include "model/mesh_builder.h"
#include "model/mesh_texture.h"
#include "model/mesh_writer.h"

namespace {

// A 64 x 64 checker of sea green and sand, 8 squares a side.
std::vector<std::uint8_t> checker_rgba() {
  constexpr std::uint32_t kSize = 64;
  std::vector<std::uint8_t> rgba(kSize * kSize * 4);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      std::uint8_t* pixel = rgba.data() + (y * kSize + x) * 4;
      pixel[0] = dark ? 0x2E : 0xE8;
      pixel[1] = dark ? 0x8B : 0xD8;
      pixel[2] = dark ? 0x7A : 0xA8;
      pixel[3] = 0xFF;
    }
  }
  return rgba;
}

model::Material textured_material(const char* texture_name) {
  model::Material material = model::plain_material(base::Vec4{1, 1, 1, 1});
  material.ambient = base::Vec4{0.3f, 0.3f, 0.3f, 1};
  material.texture_name = texture_name;
  material.texture = std::make_shared<model::MeshTexture>(texture_name, 64, 64, checker_rgba());
  return material;
}

bool write_mesh(const forge::Output& output, const model::MeshNode* root, const char* name) {
  if (root == nullptr) return false;
  const std::optional<std::vector<std::uint8_t>> package = model::encode_mesh_package(*root, name);
  return package && output.write(std::string("Test/") + name + ".vmf", *package);
}

bool write_test_models(const forge::Output& output) {
  std::unique_ptr<model::MeshNode> box = model::make_box({1, 1, 1}, textured_material("Checker.png"), "Box");
  if (box) box->index_tree();
  std::unique_ptr<model::MeshNode> sphere =
      model::make_sphere(1.0f, 12, 24, textured_material("Checker.png"), "Sphere");
  if (sphere) sphere->index_tree();
  const bool boxes = write_mesh(output, box.get(), "Box");
  const bool spheres = write_mesh(output, sphere.get(), "Sphere");
  return boxes && spheres;
}

}  // namespace

FORGE_GENERATOR("test_models", write_test_models);
