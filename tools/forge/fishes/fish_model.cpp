#include "forge/fishes/fish_model.h"

#include <algorithm>
#include <limits>
#include <span>
#include <tuple>

#include "fish/body_bones.h"
#include "forge/fishes/body_mesh.h"
#include "forge/fishes/body_shape.h"
#include "forge/fishes/deformer_list.h"
#include "forge/fishes/fins.h"
#include "forge/fishes/head_parts.h"
#include "forge/fishes/mesh_parts.h"
#include "forge/scenery/picture.h"

namespace forge::fishes {
namespace {

model::Material skin_material(const FishKind& kind, const FishPictures& pictures) {
  model::Material material = scenery::textured_material(skin_texture_name(kind), pictures.skin);
  material.specular = {0.5f, 0.5f, 0.5f, 1.0f};
  material.power = 24.0f;
  return material;
}

// Fins are translucent but keep back faces culled: each is two sheets.
model::Material fin_material(const std::string& name, const scenery::Picture& picture) {
  model::Material material = scenery::leaf_material(name, picture);
  material.cull = 3;
  return material;
}

model::Material eye_material(const FishKind& kind, const FishPictures& pictures) {
  model::Material material = scenery::textured_material(eye_texture_name(kind), pictures.eye);
  material.specular = {1, 1, 1, 1};
  material.power = 60.0f;
  return material;
}

model::MorphGroup morph_group(const char* name, const std::vector<base::Vec3>& rest,
                              const std::vector<base::Vec3>& moved) {
  model::MorphGroup group;
  group.name = name;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    group.vertex_indices.push_back(static_cast<std::uint16_t>(i));
    group.point_sizes.push_back(1);
  }
  group.frames = {rest, moved};
  return group;
}

void link_siblings(model::MeshNode& root, std::vector<std::unique_ptr<model::MeshNode>> children) {
  std::unique_ptr<model::MeshNode>* slot = &root.first_child;
  for (auto& child : children) {
    *slot = std::move(child);
    slot = &(*slot)->next_sibling;
  }
}

model::Box union_box(const model::MeshNode& root) {
  model::Box box{{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max()},
                 {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                  std::numeric_limits<float>::lowest()}};
  model::for_each_node(root, [&](const model::MeshNode& node) {
    if (!node.has_geometry || node.vertex_count == 0) return;
    box.min = base::minimize(box.min, node.box.min);
    box.max = base::maximize(box.max, node.box.max);
  });
  return box;
}

base::Vec3 mean_of(const model::MeshNode& node, bool left) {
  base::Vec3 sum;
  int count = 0;
  for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
    const base::Vec3 p = node.position(v);
    if ((p.x < 0.0f) != left) continue;
    sum = sum + p;
    ++count;
  }
  return count > 0 ? sum * (1.0f / static_cast<float>(count)) : sum;
}

// The frames named here exist: make_fish_model built them.
std::vector<DeformerEntry> deformers(const FishKind& kind, model::MeshNode& tree) {
  const float length = kind.length;
  std::vector<DeformerEntry> list;

  // The mouth opens and closes once per play; the bite sets its duration.
  MorphRecord mouth;
  mouth.flags = kMorphEase;
  mouth.duration = 0.6f;
  mouth.hold_min = 0.15f;
  mouth.hold_max = 0.4f;
  list.push_back({kLipsFrame, ControlType::Morph, 2, encode(mouth)});

  const model::MeshNode* eyes = tree.find(kEyesFrame);
  EyesRecord glance;
  glance.flags = 0x5;
  glance.max_turn = 0.3f;
  glance.max_tilt = 0.15f;
  glance.pause_min = 0.6f;
  glance.pause_max = 2.5f;
  glance.left_centre = mean_of(*eyes, true);
  glance.right_centre = mean_of(*eyes, false);
  list.push_back({kEyesFrame, ControlType::Eyes, 1, encode(glance)});

  // The dorsal fin lays back with speed.
  MorphRecord dorsal;
  dorsal.flags = kMorphEase;
  dorsal.duration = 1.2f;
  list.push_back({kDorsalFrame, ControlType::Morph, 5, encode(dorsal)});

  // The tail flutters most at its rear edge (falloff along z, strongest at
  // the minimum).
  const model::MeshNode* tail = tree.find(kTailFrame);
  BoxWaveRecord flutter;
  flutter.falloff_ratio = -1.0f;
  flutter.main_length = tail->box.max.z - tail->box.min.z;
  flutter.wave_size = 0.018f * length;
  flutter.speed = 5.0f;
  flutter.frequency = 1.0f;
  flutter.main_axis = 2;
  flutter.falloff_axis = 2;
  flutter.wave_axis = 0;
  flutter.min = tail->box.min;
  flutter.max = tail->box.max;
  list.push_back({kTailFrame, ControlType::BoxWave, 6, encode(flutter)});

  // The anal fin ripples along its base, most at its lower edge.
  const model::MeshNode* anal = tree.find(kAnalFrame);
  BoxWaveRecord ripple;
  ripple.falloff_ratio = -1.0f;
  ripple.main_length = anal->box.max.z - anal->box.min.z;
  ripple.wave_size = 0.01f * length;
  ripple.speed = 3.0f;
  ripple.frequency = 2.0f;
  ripple.main_axis = 2;
  ripple.falloff_axis = 1;
  ripple.wave_axis = 0;
  ripple.min = anal->box.min;
  ripple.max = anal->box.max;
  list.push_back({kAnalFrame, ControlType::BoxWave, 0, encode(ripple)});

  // The pectoral fins row about a vertical hinge at their base.
  const BodyShape shape(kind);
  for (const auto& [name, side, part] : {std::tuple{kLeftPectoralFrame, -1.0f, std::uint8_t{3}},
                                         std::tuple{kRightPectoralFrame, 1.0f, std::uint8_t{4}}}) {
    const model::MeshNode* fin = tree.find(name);
    HingeRecord hinge;
    hinge.flags = 0x5;
    hinge.frequency = kind.class_byte == 1 ? 1.6f : 1.2f;
    hinge.axis = 1;
    hinge.wave_number = 0.5f;
    hinge.up_rest = 6.0f;
    hinge.down_rest = 2.0f;
    hinge.up_full = 38.0f;
    hinge.down_full = 22.0f;
    hinge.box_min = fin->box.min;
    hinge.box_max = fin->box.max;
    hinge.hinge = pectoral_hinge(shape, side);
    list.push_back({name, ControlType::Hinge, part, encode(hinge)});
  }

  // The ventral fins trail and flutter gently up and down.
  const model::MeshNode* ventral = tree.find(kVentralFrame);
  BoxWaveRecord trail;
  trail.falloff_ratio = -1.0f;
  trail.main_length = ventral->box.max.z - ventral->box.min.z;
  trail.wave_size = 0.008f * length;
  trail.speed = 4.0f;
  trail.frequency = 1.0f;
  trail.main_axis = 2;
  trail.falloff_axis = 2;
  trail.wave_axis = 1;
  trail.min = ventral->box.min;
  trail.max = ventral->box.max;
  list.push_back({kVentralFrame, ControlType::BoxWave, 0, encode(trail)});
  return list;
}

}  // namespace

std::unique_ptr<model::MeshNode> make_fish_model(const FishKind& kind, const FishPictures& pictures) {
  const BodyShape shape(kind);
  const model::Material skin = skin_material(kind, pictures);
  const model::Material fins = fin_material(fin_texture_name(kind), pictures.fins);
  const model::Material tail_fin = fin_material(tail_texture_name(kind), pictures.tail);
  const model::Material eye = eye_material(kind, pictures);

  auto mouth = std::make_unique<model::MeshNode>();
  mouth->name = kMouthFrame;
  mouth->local_matrix = base::translation(mouth_point(shape));
  mouth->rest_matrix = mouth->local_matrix;

  std::vector<std::unique_ptr<model::MeshNode>> children;
  children.push_back(make_body(shape, skin));
  children.push_back(make_lips(shape, 0.0f, skin, eye));
  children.push_back(std::move(mouth));
  children.push_back(make_eyes(shape, eye));
  children.push_back(make_median_fin(shape, kind.dorsal, true, 0.0f, fins, kDorsalFrame));
  children.push_back(make_median_fin(shape, kind.anal, false, 0.0f, fins, kAnalFrame));
  children.push_back(make_tail(shape, tail_fin));
  children.push_back(make_pectoral(shape, -1.0f, fins, kLeftPectoralFrame));
  children.push_back(make_pectoral(shape, 1.0f, fins, kRightPectoralFrame));
  children.push_back(make_ventral(shape, fins));
  for (const auto& child : children) {
    if (!child) return nullptr;
  }

  auto root = std::make_unique<model::MeshNode>();
  root->name = "Fish" + std::to_string(kind.number);
  link_siblings(*root, std::move(children));
  root->index_tree();

  // The root's box holds the whole fish, so the model's length can be read
  // from the root alone.
  root->box = union_box(*root);
  root->center = (root->box.min + root->box.max) * 0.5f;
  root->radius = base::length(root->box.max - root->center);

  const fish::BoneLayout bones = fish::layout_bones(root->box.min.z, root->box.max.z, kind.swim.spine_segments);
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(kFishFvf);
  if (!layout) return nullptr;
  bool ok = true;
  model::for_each_node(*root, [&](model::MeshNode& node) {
    if (!node.has_geometry) return;
    std::span<std::uint8_t> bytes(node.vertices.data(), node.vertices.size());
    ok = fish::write_vertex_blends(bytes, node.vertex_count, *layout, bones.view()) && ok;
    node.vertices.changed();
  });
  if (!ok) return nullptr;

  model::MorphGroup lips = morph_group(kLipsFrame, lip_positions(shape, 0.0f), lip_positions(shape, 1.0f));
  lips.owner = root->find(kLipsFrame)->handle();
  model::MorphGroup dorsal = morph_group(kDorsalFrame, median_fin_positions(shape, kind.dorsal, true, 0.0f),
                                         median_fin_positions(shape, kind.dorsal, true, 1.0f));
  dorsal.owner = root->find(kDorsalFrame)->handle();
  root->morph_groups = {std::move(lips), std::move(dorsal)};

  root->tag = model::NodeTag{model::tag_code("DEFO"), encode_deformer_list(deformers(kind, *root))};
  return root;
}

}  // namespace forge::fishes
