#include "model/mesh_writer.h"

#include "base/byte_writer.h"
#include "base/png.h"
#include "model/mesh_texture.h"
#include "model/node_flags.h"
#include "render/byte_stream.h"
#include "render/package_builder.h"

namespace model {

namespace {

class TreeWriter {
 public:
  bool write_record(const MeshNode& node, std::uint32_t handle, const MeshNode& root);
  std::vector<std::uint8_t> take() { return out_.take(); }

 private:
  void vec3(const base::Vec3& v) {
    out_.f32(v.x);
    out_.f32(v.y);
    out_.f32(v.z);
  }
  void vec4(const base::Vec4& v) {
    out_.f32(v.x);
    out_.f32(v.y);
    out_.f32(v.z);
    out_.f32(v.w);
  }
  void matrix(const base::Matrix& m) {
    for (const auto& row : m.m)
      for (float value : row) out_.f32(value);
  }
  bool short_name(const std::string& name) {
    if (name.size() > 255) return false;
    out_.u8(static_cast<std::uint8_t>(name.size()));
    out_.bytes(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
    return true;
  }
  bool write_skin(const SkinData& skin);
  void write_tracks(const KeyframeTracks& tracks);
  bool write_animation(const AnimationData& animation);
  bool write_morph(const std::vector<const MorphGroup*>& groups);

  base::ByteWriter out_;
};

bool TreeWriter::write_record(const MeshNode& node, std::uint32_t handle, const MeshNode& root) {
  std::vector<const MorphGroup*> morph;
  for (const MorphGroup& group : root.morph_groups) {
    if (group.owner == handle) morph.push_back(&group);
  }
  const bool subsets = node.has_subsets || node.subset_boxes || node.draw_order_stored;
  std::uint16_t flags = 0;
  if (node.has_geometry) flags |= kNodeGeometry;
  if (subsets) flags |= kNodeSubsets;
  if (node.subset_boxes) flags |= kNodeSubsetBoxes;
  if (node.has_materials) flags |= kNodeMaterials;
  if (node.draw_order_stored) flags |= kNodeDrawOrder;
  if (node.skin) flags |= kNodeSkin;
  if (node.playback_block) flags |= kNodePlayback;
  if (node.tracks) flags |= kNodeTracks;
  if (node.animation) flags |= kNodeAnimation;
  if (!morph.empty()) flags |= kNodeMorph;
  if (node.first_child) flags |= kNodeFirstChild;
  if (node.next_sibling) flags |= kNodeNextSibling;
  if (node.tag) flags |= kNodeTag;
  if (node.params) flags |= kNodeParams;

  out_.u16(flags);
  if (!short_name(node.name)) return false;
  matrix(node.local_matrix);
  vec3(node.box.min);
  vec3(node.box.max);
  vec3(node.center);
  out_.f32(node.radius);

  if (node.has_geometry) {
    if (node.vertices.size() != std::size_t{node.vertex_count} * node.vertex_size ||
        node.indices.size() != std::size_t{node.index_count} * 2)
      return false;
    out_.u32(node.fvf);
    out_.u32(node.vertex_count);
    out_.u32(node.index_count);
    out_.bytes(node.vertices.bytes());
    out_.bytes(node.indices.bytes());
  }
  if (subsets) {
    out_.u32(static_cast<std::uint32_t>(node.subsets.size()));
    for (const Subset& subset : node.subsets) {
      out_.u32(subset.material);
      out_.u32(subset.first_index);
      out_.u32(subset.triangle_count);
      out_.u32(subset.first_vertex);
      out_.u32(subset.vertex_count);
      out_.zeros(8);
    }
    if (node.face_attributes) {
      base::ByteWriter raw;
      for (std::uint32_t attribute : *node.face_attributes) raw.u32(attribute);
      out_.bytes(render::encode_packed_block(raw.data()));
    } else {
      out_.u8(0);
    }
  }
  if (node.subset_boxes) {
    if (node.subset_boxes->size() != node.subsets.size()) return false;
    for (const Box& box : *node.subset_boxes) {
      vec3(box.min);
      vec3(box.max);
    }
  }
  if (node.draw_order_stored) {
    if (node.draw_order.size() != node.subsets.size()) return false;
    for (std::uint32_t entry : node.draw_order) out_.u32(entry);
    out_.u32(node.transparent_count);
  }
  if (node.has_materials) {
    out_.u32(static_cast<std::uint32_t>(node.materials.size()));
    for (const Material& material : node.materials) {
      vec4(material.diffuse);
      vec4(material.ambient);
      vec4(material.specular);
      vec4(material.emissive);
      out_.f32(material.power);
      out_.u8(material.cull);
      out_.u8(material.blend);
      out_.u8(material.src_blend);
      out_.u8(material.dest_blend);
      out_.u32(material.texture_alpha);
      out_.zeros(16);
    }
    for (const Material& material : node.materials) {
      if (!short_name(material.texture_name)) return false;
    }
  }
  if (node.skin && !write_skin(*node.skin)) return false;
  if (node.playback_block) {
    const PlaybackParameters& playback = *node.playback_block;
    out_.i32(playback.loops);
    out_.u8(playback.loops_variation);
    out_.u32(playback.pause);
    out_.u8(playback.pause_variation);
    out_.f32(playback.rate);
    out_.u8(playback.rate_variation);
    out_.f32(playback.duration);
  }
  if (node.tracks) write_tracks(*node.tracks);
  if (node.animation && !write_animation(*node.animation)) return false;
  if (node.params) {
    out_.u32(64);
    out_.bytes(*node.params);
  }
  if (!morph.empty() && !write_morph(morph)) return false;
  if (node.tag) {
    out_.u32(node.tag->code);
    out_.u32(static_cast<std::uint32_t>(node.tag->data.size()));
    out_.bytes(node.tag->data);
  }
  return true;
}

bool TreeWriter::write_skin(const SkinData& skin) {
  for (const BoneCombination& combination : skin.combinations) {
    if (combination.bone_ids.size() != skin.palette_size) return false;
  }
  out_.u32(static_cast<std::uint32_t>(skin.bones.size()));
  out_.u32(skin.fvf);
  out_.u32(skin.vertex_count);
  out_.u32(skin.palette_size);
  out_.u32(skin.max_face_influences);
  out_.u32(static_cast<std::uint32_t>(skin.combinations.size()));
  const std::uint64_t bytes = skin.combinations.size() * (24 + std::uint64_t{skin.palette_size} * 4);
  if (bytes > 0xFFFFFFFFu) return false;
  out_.u32(static_cast<std::uint32_t>(bytes));
  for (const BoneCombination& combination : skin.combinations) {
    out_.u32(combination.attribute_id);
    out_.u32(combination.first_face);
    out_.u32(combination.face_count);
    out_.u32(combination.first_vertex);
    out_.u32(combination.vertex_count);
    out_.u32(0);
  }
  for (const BoneCombination& combination : skin.combinations) {
    for (std::uint32_t bone : combination.bone_ids) out_.u32(bone);
  }
  for (const Bone& bone : skin.bones) {
    if (bone.name.empty() || bone.vertices.size() != bone.weights.size()) return false;
    out_.u32(static_cast<std::uint32_t>(bone.name.size()));
    out_.bytes(std::span(reinterpret_cast<const std::uint8_t*>(bone.name.data()), bone.name.size()));
    matrix(bone.bind_matrix);
    matrix(bone.offset_matrix);
    out_.u32(static_cast<std::uint32_t>(bone.vertices.size()));
    for (std::uint32_t vertex : bone.vertices) out_.u32(vertex);
    for (float weight : bone.weights) out_.f32(weight);
  }
  return true;
}

void TreeWriter::write_tracks(const KeyframeTracks& tracks) {
  out_.u32(static_cast<std::uint32_t>(tracks.rotation.size()));
  for (const RotationKey& key : tracks.rotation) {
    out_.f32(key.time);
    out_.f32(key.value.x);
    out_.f32(key.value.y);
    out_.f32(key.value.z);
    out_.f32(key.value.w);
  }
  for (const std::vector<VectorKey>* track : {&tracks.first, &tracks.second}) {
    out_.u32(static_cast<std::uint32_t>(track->size()));
    for (const VectorKey& key : *track) {
      out_.f32(key.time);
      vec3(key.value);
    }
  }
  out_.u32(static_cast<std::uint32_t>(tracks.matrices.size()));
  for (const MatrixKey& key : tracks.matrices) {
    out_.f32(key.time);
    matrix(key.value);
  }
}

bool TreeWriter::write_animation(const AnimationData& animation) {
  out_.u32(animation.max_outputs);
  out_.u32(static_cast<std::uint32_t>(animation.sets.size()));
  out_.u32(animation.max_tracks);
  out_.u32(animation.max_events);
  out_.u32(animation.priority_blend);
  for (const AnimationSet& set : animation.sets) {
    if (set.name.empty() || !short_name(set.name)) return false;
    out_.zeros(8);
    out_.f64(set.ticks_per_second);
    out_.u32(static_cast<std::uint32_t>(set.playback));
    out_.u32(static_cast<std::uint32_t>(set.animations.size()));
    for (const NodeAnimation& animated : set.animations) {
      if (!short_name(animated.node_name)) return false;
      if (animated.node_name.empty()) continue;
      out_.u32(static_cast<std::uint32_t>(animated.rotation.size()));
      out_.u32(static_cast<std::uint32_t>(animated.scale.size()));
      out_.u32(static_cast<std::uint32_t>(animated.translation.size()));
      for (const RotationKey& key : animated.rotation) {
        out_.f32(key.time);
        out_.f32(key.value.x);
        out_.f32(key.value.y);
        out_.f32(key.value.z);
        out_.f32(key.value.w);
      }
      for (const std::vector<VectorKey>* keys : {&animated.scale, &animated.translation}) {
        for (const VectorKey& key : *keys) {
          out_.f32(key.time);
          vec3(key.value);
        }
      }
    }
  }
  return true;
}

bool TreeWriter::write_morph(const std::vector<const MorphGroup*>& groups) {
  out_.u32(static_cast<std::uint32_t>(groups.size()));
  for (const MorphGroup* group : groups) {
    if (!short_name(group->name)) return false;
    if (group->vertex_indices.size() > 0xFFFF || group->point_sizes.size() > 0xFFFF || group->frames.size() > 0xFFFF)
      return false;
    out_.u16(static_cast<std::uint16_t>(group->vertex_indices.size()));
    for (std::uint16_t index : group->vertex_indices) out_.u16(index);
    out_.u16(static_cast<std::uint16_t>(group->point_sizes.size()));
    for (std::uint8_t size : group->point_sizes) out_.u8(size);
    out_.u16(static_cast<std::uint16_t>(group->frames.size()));
    for (const std::vector<base::Vec3>& frame : group->frames) {
      if (frame.size() != group->point_sizes.size()) return false;
      for (const base::Vec3& position : frame) vec3(position);
    }
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encode_mesh_tree(const MeshNode& root) {
  TreeWriter writer;
  bool ok = true;
  std::uint32_t handle = 0;  // file order, as the reader numbers the nodes
  for_each_node(root, [&](const MeshNode& node) {
    if (ok) ok = writer.write_record(node, handle++, root);
  });
  if (!ok) return std::nullopt;
  return writer.take();
}

bool add_mesh_tree(render::PackageBuilder& builder, const MeshNode& root) {
  std::optional<std::vector<std::uint8_t>> bytes = encode_mesh_tree(root);
  return bytes && builder.add(*bytes, "m8", true) >= 0;
}

std::optional<std::vector<std::uint8_t>> encode_mesh_package(const MeshNode& root, std::string_view package_name) {
  render::PackageBuilder builder;
  builder.set_fixed_time(kFixedEntryTime);  // the same tree gives the same bytes
  if (!add_mesh_tree(builder, root)) return std::nullopt;
  bool ok = true;
  for_each_node(root, [&](const MeshNode& node) {
    for (const Material& material : node.materials) {
      if (!material.texture || !material.texture->has_picture() || material.texture_name.empty()) continue;
      const MeshTexture& texture = *material.texture;
      const std::vector<std::uint8_t> png =
          base::encode_png(texture.width(), texture.height(), 4, texture.rgba(), std::size_t{texture.width()} * 4);
      if (png.empty() || builder.add(png, material.texture_name, false) < 0) ok = false;
    }
  });
  if (!ok) return std::nullopt;
  return builder.encode(package_name);
}

}  // namespace model
