#include "model/mesh_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "base/byte_reader.h"
#include "model/mesh_texture.h"
#include "model/node_flags.h"
#include "platform/vertex_format.h"
#include "render/deflate.h"

namespace model {

namespace {

// The smallest possible sizes of repeated records, used to refuse counts
// that the bytes left cannot hold before anything is allocated.
constexpr std::uint64_t kMinBoneRecord = 4 + 1 + 64 + 64 + 4;
constexpr std::uint64_t kMinAnimationSet = 1 + 1 + 8 + 8 + 4 + 4;
constexpr std::uint64_t kMinMorphGroup = 1 + 2 + 2 + 2;
constexpr std::uint64_t kBoneCombinationRecord = 24;

class TreeReader {
 public:
  explicit TreeReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

  std::unique_ptr<MeshNode> read_tree();
  const std::string& error() const { return error_; }

 private:
  struct Pending {
    MeshNode* node;  // its next sibling's subtree is still to come
    int depth;
  };

  bool fail(const char* why) {
    if (error_.empty()) error_ = why;
    in_.fail();
    return false;
  }
  bool short_read() { return fail("the data ends inside a node record"); }

  std::unique_ptr<MeshNode> read_record(std::uint16_t& flags);
  bool read_geometry(MeshNode& node);
  bool read_subsets(MeshNode& node);
  bool read_materials(MeshNode& node);
  bool read_skin(MeshNode& node);
  bool read_playback(MeshNode& node);
  bool read_tracks(MeshNode& node);
  bool read_animation(MeshNode& node);
  bool read_params(MeshNode& node);
  bool read_morph(MeshNode& node, std::vector<MorphGroup>& groups);
  bool read_tag(MeshNode& node);

  base::Vec3 vec3() {
    base::Vec3 v;
    v.x = in_.f32();
    v.y = in_.f32();
    v.z = in_.f32();
    return v;
  }
  base::Matrix matrix() {
    base::Matrix m;
    for (auto& row : m.m)
      for (float& value : row) value = in_.f32();
    return m;
  }
  base::Vec4 vec4() {
    base::Vec4 v;
    v.x = in_.f32();
    v.y = in_.f32();
    v.z = in_.f32();
    v.w = in_.f32();
    return v;
  }
  // A count of records of at least `record_size` bytes each, refused when
  // the bytes left cannot hold that many.
  bool count_fits(std::uint64_t count, std::uint64_t record_size) {
    return in_.ok() && in_.fits(count, record_size) ? true : fail("a count exceeds the bytes that are left");
  }

  base::ByteReader in_;
  std::string error_;
  // Morph groups by the node record that held them, in file order.
  std::vector<std::pair<MeshNode*, std::vector<MorphGroup>>> morph_;
};

std::unique_ptr<MeshNode> TreeReader::read_tree() {
  std::uint16_t flags = 0;
  std::unique_ptr<MeshNode> root = read_record(flags);
  if (!root) return nullptr;
  // Children nest (bounded by kMaxTreeDepth); siblings are read in a loop.
  std::vector<Pending> pending;
  MeshNode* current = root.get();
  int depth = 0;
  for (;;) {
    if (flags & kNodeNextSibling) pending.push_back(Pending{current, depth});
    if (flags & kNodeFirstChild) {
      if (depth + 1 > kMaxTreeDepth) {
        fail("the tree is nested too deeply");
        return nullptr;
      }
      current->first_child = read_record(flags);
      if (!current->first_child) return nullptr;
      current = current->first_child.get();
      ++depth;
      continue;
    }
    if (pending.empty()) break;
    const Pending next = pending.back();
    pending.pop_back();
    next.node->next_sibling = read_record(flags);
    if (!next.node->next_sibling) return nullptr;
    current = next.node->next_sibling.get();
    depth = next.depth;
  }
  root->is_root = true;
  root->index_tree();
  for (auto& [node, groups] : morph_) {
    for (MorphGroup& group : groups) {
      group.owner = node->handle();
      root->morph_groups.push_back(std::move(group));
    }
  }
  return root;
}

std::unique_ptr<MeshNode> TreeReader::read_record(std::uint16_t& flags) {
  auto node = std::make_unique<MeshNode>();
  flags = in_.u16();
  const std::uint8_t name_length = in_.u8();
  node->name = in_.text(name_length);
  node->local_matrix = matrix();
  node->rest_matrix = node->local_matrix;
  node->box.min = vec3();
  node->box.max = vec3();
  node->center = vec3();
  node->radius = in_.f32();
  if (!in_.ok()) {
    short_read();
    return nullptr;
  }
  if ((flags & kNodeGeometry) && !read_geometry(*node)) return nullptr;
  if ((flags & kNodeSubsets) && !read_subsets(*node)) return nullptr;
  const std::uint64_t subset_count = node->subsets.size();
  if (flags & kNodeSubsetBoxes) {
    if (!count_fits(subset_count, 24)) return nullptr;
    std::vector<Box> boxes(subset_count);
    for (Box& box : boxes) {
      box.min = vec3();
      box.max = vec3();
    }
    node->subset_boxes = std::move(boxes);
  }
  if (flags & kNodeDrawOrder) {
    if (!count_fits(subset_count, 4)) return nullptr;
    node->draw_order.resize(subset_count);
    for (std::uint32_t& entry : node->draw_order) {
      entry = in_.u32();
      if (entry >= subset_count) {
        fail("a draw order entry names no subset");
        return nullptr;
      }
    }
    node->transparent_count = in_.u32();
    if (node->transparent_count > subset_count) {
      fail("more transparent subsets than subsets");
      return nullptr;
    }
    node->draw_order_stored = true;
  }
  if ((flags & kNodeMaterials) && !read_materials(*node)) return nullptr;
  for (const Subset& subset : node->subsets) {
    if (subset.material >= node->materials.size()) {
      fail("a subset names no material");
      return nullptr;
    }
  }
  if ((flags & kNodeSkin) && !read_skin(*node)) return nullptr;
  if ((flags & kNodePlayback) && !read_playback(*node)) return nullptr;
  if ((flags & kNodeTracks) && !read_tracks(*node)) return nullptr;
  if ((flags & kNodeAnimation) && !read_animation(*node)) return nullptr;
  if ((flags & kNodeParams) && !read_params(*node)) return nullptr;
  if (flags & kNodeMorph) {
    std::vector<MorphGroup> groups;
    if (!read_morph(*node, groups)) return nullptr;
    morph_.emplace_back(node.get(), std::move(groups));
  }
  if ((flags & kNodeTag) && !read_tag(*node)) return nullptr;
  if (!in_.ok()) {
    short_read();
    return nullptr;
  }
  return node;
}

bool TreeReader::read_geometry(MeshNode& node) {
  node.has_geometry = true;
  node.fvf = in_.u32();
  node.vertex_count = in_.u32();
  node.index_count = in_.u32();
  if (!in_.ok()) return short_read();
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(node.fvf);
  if (!layout) return fail("unknown vertex format");
  if (node.vertex_count > 0 && layout->position_floats < 3) return fail("vertices without a position");
  if (node.index_count % 3 != 0) return fail("the index count is no multiple of 3");
  node.vertex_size = layout->stride;
  if (!count_fits(node.vertex_count, node.vertex_size)) return false;
  const std::span<const std::uint8_t> vertex_bytes =
      in_.bytes(static_cast<std::uint64_t>(node.vertex_count) * node.vertex_size);
  if (!count_fits(node.index_count, 2)) return false;
  const std::span<const std::uint8_t> index_bytes = in_.bytes(static_cast<std::uint64_t>(node.index_count) * 2);
  if (!in_.ok()) return short_read();
  for (std::size_t i = 0; i < index_bytes.size(); i += 2) {
    const std::uint32_t index = index_bytes[i] | (index_bytes[i + 1] << 8);
    if (index >= node.vertex_count) return fail("an index names no vertex");
  }
  node.vertices.assign(std::vector<std::uint8_t>(vertex_bytes.begin(), vertex_bytes.end()));
  node.indices.assign(std::vector<std::uint8_t>(index_bytes.begin(), index_bytes.end()));
  return true;
}

bool TreeReader::read_subsets(MeshNode& node) {
  node.has_subsets = true;
  const std::uint32_t count = in_.u32();
  if (!count_fits(count, Subset::kRecordSize)) return false;
  node.subsets.resize(count);
  for (Subset& subset : node.subsets) {
    subset.material = in_.u32();
    subset.first_index = in_.u32();
    subset.triangle_count = in_.u32();
    subset.first_vertex = in_.u32();
    subset.vertex_count = in_.u32();
    in_.skip(8);
    if (static_cast<std::uint64_t>(subset.first_index) + std::uint64_t{subset.triangle_count} * 3 > node.index_count)
      return fail("a subset's triangles lie outside the index list");
    if (std::uint64_t{subset.first_vertex} + subset.vertex_count > node.vertex_count)
      return fail("a subset's vertices lie outside the vertex list");
  }
  // The face attributes: a packed block, marker 0 when there are none.
  const std::uint8_t marker = in_.u8();
  if (marker == 0) return in_.ok() ? true : short_read();
  const std::uint32_t raw_size = in_.u32();
  const std::uint32_t stored_size = in_.u32();
  const std::span<const std::uint8_t> stored = in_.bytes(stored_size);
  if (!in_.ok()) return short_read();
  const std::uint64_t triangles = node.index_count / 3;
  if (raw_size != triangles * 4) return fail("the face attributes do not match the triangles");
  std::vector<std::uint8_t> raw(raw_size);
  if (stored_size == raw_size) {
    std::copy(stored.begin(), stored.end(), raw.begin());
  } else if (raw_size > render::max_inflated_size(stored_size) || !render::inflate_raw(stored, raw)) {
    return fail("damaged face attributes");
  }
  std::vector<std::uint32_t> attributes(triangles);
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | raw[i * 4 + static_cast<std::size_t>(b)];
    if (value >= count) return fail("a face attribute names no subset");
    attributes[i] = value;
  }
  node.face_attributes = std::move(attributes);
  return true;
}

bool TreeReader::read_materials(MeshNode& node) {
  node.has_materials = true;
  const std::uint32_t count = in_.u32();
  if (!count_fits(count, Material::kRecordSize)) return false;
  node.materials.resize(count);
  for (Material& material : node.materials) {
    material.diffuse = vec4();
    material.ambient = vec4();
    material.specular = vec4();
    material.emissive = vec4();
    material.power = in_.f32();
    material.cull = in_.u8();
    material.blend = in_.u8();
    material.src_blend = in_.u8();
    material.dest_blend = in_.u8();
    material.texture_alpha = in_.u32();
    in_.skip(16);
    if (material.texture_alpha != 0) {
      material.blend = 1;
      material.src_blend = 5;   // source alpha
      material.dest_blend = 6;  // inverse source alpha
    }
  }
  for (Material& material : node.materials) {
    const std::uint8_t length = in_.u8();
    material.texture_name = in_.text(length);
  }
  return in_.ok() ? true : short_read();
}

bool TreeReader::read_skin(MeshNode& node) {
  auto skin = std::make_unique<SkinData>();
  const std::uint32_t bone_count = in_.u32();
  skin->fvf = in_.u32();
  skin->vertex_count = in_.u32();
  skin->palette_size = in_.u32();
  skin->max_face_influences = in_.u32();
  const std::uint32_t combination_count = in_.u32();
  const std::uint32_t combination_bytes = in_.u32();
  if (!in_.ok()) return short_read();
  base::ByteReader combinations = in_.sub_reader(combination_bytes);
  if (!in_.ok()) return short_read();
  const std::uint64_t needed =
      std::uint64_t{combination_count} * kBoneCombinationRecord +
      std::uint64_t{combination_count} * skin->palette_size * 4;
  if (combination_count > combination_bytes / kBoneCombinationRecord || needed > combination_bytes)
    return fail("the bone combinations do not fit their bytes");
  skin->combinations.resize(combination_count);
  for (BoneCombination& combination : skin->combinations) {
    combination.attribute_id = combinations.u32();
    combination.first_face = combinations.u32();
    combination.face_count = combinations.u32();
    combination.first_vertex = combinations.u32();
    combination.vertex_count = combinations.u32();
    combinations.skip(4);  // a slot for the reader's own use; nothing is kept in it
  }
  for (BoneCombination& combination : skin->combinations) {
    combination.bone_ids.resize(skin->palette_size);
    for (std::uint32_t& bone : combination.bone_ids) {
      bone = combinations.u32();
      if (bone != kUnusedBone && bone >= bone_count) return fail("a bone combination names no bone");
    }
  }
  if (!count_fits(bone_count, kMinBoneRecord)) return false;
  skin->bones.resize(bone_count);
  for (Bone& bone : skin->bones) {
    const std::uint32_t name_length = in_.u32();
    if (!in_.ok()) return short_read();
    if (name_length == 0) return fail("a bone without a name");
    if (!count_fits(name_length, 1)) return false;
    bone.name = in_.text(name_length);
    bone.bind_matrix = matrix();
    bone.offset_matrix = matrix();
    const std::uint32_t influences = in_.u32();
    if (!count_fits(influences, 8)) return false;
    bone.vertices.resize(influences);
    bone.weights.resize(influences);
    for (std::uint32_t& vertex : bone.vertices) {
      vertex = in_.u32();
      if (vertex >= skin->vertex_count) return fail("a bone influences a vertex that does not exist");
    }
    for (float& weight : bone.weights) weight = in_.f32();
  }
  if (!in_.ok()) return short_read();
  skin->bone_nodes.assign(bone_count, kNoNode);
  skin->compute_bone_box();
  node.skin = std::move(skin);
  return true;
}

bool TreeReader::read_playback(MeshNode& node) {
  PlaybackParameters playback;
  playback.loops = in_.i32();
  playback.loops_variation = in_.u8();
  playback.pause = in_.u32();
  playback.pause_variation = in_.u8();
  playback.rate = in_.f32();
  playback.rate_variation = in_.u8();
  playback.duration = in_.f32();
  if (!in_.ok()) return short_read();
  node.playback_block = playback;
  return true;
}

template <class Key, class ReadKey>
bool read_keys(base::ByteReader& in, std::vector<Key>& keys, std::uint64_t key_size, ReadKey read_key) {
  const std::uint32_t count = in.u32();
  if (!in.ok() || !in.fits(count, key_size)) return false;
  keys.resize(count);
  for (Key& key : keys) read_key(key);
  // A track stored newest key first is put in time order.
  if (keys.size() > 1 && keys.front().time > keys.back().time) std::reverse(keys.begin(), keys.end());
  return in.ok();
}

bool TreeReader::read_tracks(MeshNode& node) {
  KeyframeTracks tracks;
  auto vector_key = [&](VectorKey& key) {
    key.time = in_.f32();
    key.value = vec3();
  };
  const bool ok = read_keys(in_, tracks.rotation, 20,
                            [&](RotationKey& key) {
                              key.time = in_.f32();
                              key.value.x = in_.f32();
                              key.value.y = in_.f32();
                              key.value.z = in_.f32();
                              key.value.w = in_.f32();
                            }) &&
                  read_keys(in_, tracks.first, 16, vector_key) && read_keys(in_, tracks.second, 16, vector_key) &&
                  read_keys(in_, tracks.matrices, 68, [&](MatrixKey& key) {
                    key.time = in_.f32();
                    key.value = matrix();
                  });
  if (!ok) return fail("a keyframe track exceeds the bytes that are left");
  node.tracks = std::move(tracks);
  return true;
}

bool TreeReader::read_animation(MeshNode& node) {
  AnimationData animation;
  animation.max_outputs = in_.u32();
  const std::uint32_t set_count = in_.u32();
  animation.max_tracks = in_.u32();
  animation.max_events = in_.u32();
  animation.priority_blend = in_.u32();
  if (!count_fits(set_count, kMinAnimationSet)) return false;
  animation.sets.resize(set_count);
  for (AnimationSet& set : animation.sets) {
    const std::uint8_t name_length = in_.u8();
    if (!in_.ok()) return short_read();
    if (name_length == 0) return fail("an animation set without a name");
    set.name = in_.text(name_length);
    in_.skip(8);
    set.ticks_per_second = in_.f64();
    const std::uint32_t playback = in_.u32();
    const std::uint32_t animation_count = in_.u32();
    if (!in_.ok()) return short_read();
    if (!(set.ticks_per_second > 0.0) || !std::isfinite(set.ticks_per_second))
      return fail("an animation set with no ticks per second");
    if (playback > static_cast<std::uint32_t>(PlaybackType::PingPong))
      return fail("an animation set with an unknown playback type");
    set.playback = static_cast<PlaybackType>(playback);
    if (!count_fits(animation_count, 1)) return false;
    set.animations.resize(animation_count);
    for (NodeAnimation& animated : set.animations) {
      const std::uint8_t length = in_.u8();
      if (length == 0) continue;  // an empty slot
      animated.node_name = in_.text(length);
      const std::uint32_t rotations = in_.u32();
      const std::uint32_t scales = in_.u32();
      const std::uint32_t translations = in_.u32();
      if (!in_.ok()) return short_read();
      const std::uint64_t key_bytes =
          std::uint64_t{rotations} * 20 + std::uint64_t{scales} * 16 + std::uint64_t{translations} * 16;
      if (!count_fits(key_bytes, 1)) return false;
      animated.rotation.resize(rotations);
      for (RotationKey& key : animated.rotation) {
        key.time = in_.f32();
        key.value.x = in_.f32();
        key.value.y = in_.f32();
        key.value.z = in_.f32();
        key.value.w = in_.f32();
      }
      animated.scale.resize(scales);
      for (VectorKey& key : animated.scale) {
        key.time = in_.f32();
        key.value = vec3();
      }
      animated.translation.resize(translations);
      for (VectorKey& key : animated.translation) {
        key.time = in_.f32();
        key.value = vec3();
      }
    }
  }
  if (!in_.ok()) return short_read();
  node.animation = std::move(animation);
  return true;
}

bool TreeReader::read_params(MeshNode& node) {
  const std::uint32_t size = in_.u32();
  const std::span<const std::uint8_t> bytes = in_.bytes(size);
  if (!in_.ok()) return short_read();
  std::array<std::uint8_t, 64> params{};
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), params.size()), params.begin());
  node.params = params;
  return true;
}

bool TreeReader::read_morph(MeshNode& node, std::vector<MorphGroup>& groups) {
  const std::uint32_t count = in_.u32();
  if (!count_fits(count, kMinMorphGroup)) return false;
  groups.resize(count);
  for (MorphGroup& group : groups) {
    const std::uint8_t name_length = in_.u8();
    group.name = in_.text(name_length);
    for (char& c : group.name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const std::uint16_t index_count = in_.u16();
    if (!count_fits(index_count, 2)) return false;
    group.vertex_indices.resize(index_count);
    for (std::uint16_t& index : group.vertex_indices) {
      index = in_.u16();
      if (node.has_geometry && index >= node.vertex_count) return fail("a morph group names no vertex");
    }
    const std::uint16_t point_count = in_.u16();
    if (!count_fits(point_count, 1)) return false;
    group.point_sizes.resize(point_count);
    std::uint64_t covered = 0;
    for (std::uint8_t& size : group.point_sizes) {
      size = in_.u8();
      covered += size;
    }
    if (covered > index_count) return fail("morph points cover more vertices than the group lists");
    const std::uint16_t frame_count = in_.u16();
    if (!count_fits(frame_count, std::uint64_t{point_count} * 12)) return false;
    group.frames.resize(frame_count);
    for (std::vector<base::Vec3>& frame : group.frames) {
      frame.resize(point_count);
      for (base::Vec3& position : frame) position = vec3();
    }
  }
  return in_.ok() ? true : short_read();
}

bool TreeReader::read_tag(MeshNode& node) {
  NodeTag tag;
  tag.code = in_.u32();
  const std::uint32_t size = in_.u32();
  const std::span<const std::uint8_t> bytes = in_.bytes(size);
  if (!in_.ok()) return short_read();
  tag.data.assign(bytes.begin(), bytes.end());
  node.tag = std::move(tag);
  return true;
}

// Playback blocks: a block covers its node, the node's later siblings and
// all their subtrees; a block higher up (or earlier in a sibling chain)
// overrides those it covers.
void share_playback(MeshNode& root) {
  struct Step {
    MeshNode* node;
    std::shared_ptr<PlaybackParameters> inherited;
  };
  std::vector<Step> stack{{&root, nullptr}};
  while (!stack.empty()) {
    Step step = std::move(stack.back());
    stack.pop_back();
    MeshNode& node = *step.node;
    if (step.inherited) {
      node.playback = step.inherited;
    } else if (node.playback_block) {
      node.playback = std::make_shared<PlaybackParameters>(*node.playback_block);
    } else {
      node.playback = nullptr;
    }
    if (node.next_sibling) stack.push_back({node.next_sibling.get(), node.playback});
    if (node.first_child) stack.push_back({node.first_child.get(), node.playback});
  }
  if (root.playback_block && root.playback_block->duration == 0.0f && root.playback)
    root.playback->duration = longest_track_duration(root);
}

std::string_view without_extension(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name = name.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

void resolve_textures(MeshNode& root, TextureSource& textures) {
  for_each_node(root, [&](MeshNode& node) {
    for (Material& material : node.materials) {
      if (material.texture_name.empty()) continue;
      material.texture = textures.texture(material.texture_name, material.texture_alpha);
      if (is_placeholder_texture(material.texture_name)) {
        // The node is named after the picture it shows.
        const std::string_view base_name = without_extension(material.texture_name);
        node.name = std::string(base_name.substr(std::min<std::size_t>(5, base_name.size())));
      }
    }
  });
}

}  // namespace

float longest_track_duration(const MeshNode& root) {
  float longest = 0.0f;
  for_each_node(root, [&](const MeshNode& node) {
    if (node.tracks) longest = std::max(longest, node.tracks->duration());
  });
  return longest;
}

std::unique_ptr<MeshNode> read_mesh_tree(std::span<const std::uint8_t> bytes, TextureSource* textures,
                                         std::string* error) {
  TreeReader reader(bytes);
  std::unique_ptr<MeshNode> root = reader.read_tree();
  if (!root) {
    if (error != nullptr) *error = reader.error();
    return nullptr;
  }
  for_each_node(*root, [](MeshNode& node) {
    if (!node.draw_order_stored) node.compute_draw_order();
  });
  root->bind_skins();
  share_playback(*root);
  if (root->name.empty()) root->name = "m8";
  if (textures != nullptr) resolve_textures(*root, *textures);
  return root;
}

}  // namespace model
