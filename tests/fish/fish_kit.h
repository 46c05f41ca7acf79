#pragma once

// Fish kinds made in code for the fish tests: a box-shaped model of the
// shipped kinds' sizes with a mouth frame, and their swimming attributes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "fish/fish_kind.h"
#include "model/mesh_builder.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace fish_kit {

struct KindShape {
  int kind = 0;
  base::Vec3 size;  // width, height, length
  bool dweller = false;
  float school_power = 0.0f;
  float normal_speed = 0.5f;
  float wave_size = 0.06f;
  float frequency = 2.0f;
  float elasticity = 1.5f;
};

// The schooling kind and the anemone dweller the program ships with.
inline KindShape schooling_kind() { return {10008, {0.6f, 1.08f, 6.0f}, false, 1.0f, 0.7f, 0.06f, 2.4f, 2.0f}; }
inline KindShape dweller_kind() { return {30001, {1.12f, 2.2f, 7.5f}, true, 0.0f, 0.45f, 0.08f, 1.6f, 1.4f}; }

inline std::vector<std::uint8_t> package_bytes(const KindShape& shape, bool with_model = true) {
  render::PackageBuilder builder;
  builder.set_class_byte(shape.dweller ? 1 : 0);
  if (with_model) {
    std::unique_ptr<model::MeshNode> root =
        model::make_box(shape.size * 0.5f, model::plain_material({1, 1, 1, 1}), "Fish" + std::to_string(shape.kind));
    auto mouth = std::make_unique<model::MeshNode>();
    mouth->name = "mouth";
    mouth->local_matrix = base::translation(0.0f, 0.0f, shape.size.z * 0.5f);
    mouth->rest_matrix = mouth->local_matrix;
    root->first_child = std::move(mouth);
    root->is_root = true;
    root->index_tree();
    const auto tree = model::encode_mesh_tree(*root);
    if (tree) builder.add(*tree, std::to_string(shape.kind) + ".m8", true);
  }
  fish::FishKindAttributes attributes;
  attributes.set_real(fish::FishKindAttributes::kSchoolPower, shape.school_power);
  attributes.set_real(fish::FishKindAttributes::kNormalSpeed, shape.normal_speed);
  attributes.set_real(fish::FishKindAttributes::kNormalWaveSize, shape.wave_size);
  attributes.set_real(fish::FishKindAttributes::kNormalFreq, shape.frequency);
  attributes.set_real(fish::FishKindAttributes::kElasticity, shape.elasticity);
  attributes.set_real(fish::FishKindAttributes::kSchoolWeightFactor, 1.0f);
  attributes.apply_defaults();
  builder.add(std::vector<std::uint8_t>(attributes.bytes().begin(), attributes.bytes().end()),
              std::to_string(shape.kind) + ".att+", false);
  return builder.encode(std::to_string(shape.kind)).value_or(std::vector<std::uint8_t>{});
}

// An open package of the kind; keep `bytes` alive while it is read.
struct KindPackage {
  explicit KindPackage(const KindShape& shape, bool with_model = true) : bytes(package_bytes(shape, with_model)) {
    reader.open_memory(bytes);
  }
  std::vector<std::uint8_t> bytes;
  render::PackageReader reader;
};

}  // namespace fish_kit
