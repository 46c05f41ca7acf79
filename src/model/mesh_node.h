#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "model/animation_data.h"
#include "model/device_buffer.h"
#include "model/material.h"
#include "model/skin_data.h"
#include "platform/gfx_device.h"

namespace model {

struct Box {
  base::Vec3 min;
  base::Vec3 max;
  friend bool operator==(const Box&, const Box&) = default;
};

// A run of triangles drawn with one material.
struct Subset {
  static constexpr std::size_t kRecordSize = 28;
  std::uint32_t material = 0;
  std::uint32_t first_index = 0;  // the first triangle is first_index / 3
  std::uint32_t triangle_count = 0;
  std::uint32_t first_vertex = 0;
  std::uint32_t vertex_count = 0;
  friend bool operator==(const Subset&, const Subset&) = default;
};

struct NodeTag {
  std::uint32_t code = 0;  // four characters, the first in the low byte
  std::vector<std::uint8_t> data;
  friend bool operator==(const NodeTag&, const NodeTag&) = default;
};

constexpr std::uint32_t tag_code(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[0])) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[3])) << 24;
}

// Turns a material into shader state (colours, light response) while a mesh
// draws; the node sets the cull mode and the texture itself.
class MaterialBinder {
 public:
  virtual ~MaterialBinder() = default;
  virtual void apply_material(gfx::Device& device, const Material& material) = 0;
};

struct DrawContext {
  gfx::Device& device;
  MaterialBinder* binder = nullptr;  // none: materials change only cull and texture
};

// Trees deeper than this (counted in first-child steps) are refused by the
// reader; picking and other walks recurse only on children.
inline constexpr int kMaxTreeDepth = 256;

// One node of a mesh tree: a transform relative to its parent, optional
// geometry with subsets and materials, and the optional skin, tracks,
// playback, animation, morph, parameter and tag parts of its record. The
// tree is linked by first child and next sibling, each owned.
//
// Node handles number the nodes of a tree in file order (a node, its child's
// subtree, then its next sibling's subtree) from 0 at the root; they stay
// valid in a copy of the tree.
class MeshNode {
 public:
  MeshNode() = default;
  ~MeshNode();
  MeshNode(const MeshNode&) = delete;
  MeshNode& operator=(const MeshNode&) = delete;

  std::string name;  // compared without regard to case
  bool is_root = false;
  // On a loaded root: the name the mesh library and models know the mesh
  // by (its package's file name, "Rock01.vmf").
  std::string resource_name;
  base::Matrix local_matrix = base::identity();  // animation writes here
  base::Matrix rest_matrix = base::identity();   // local_matrix as loaded

  bool has_geometry = false;
  std::uint32_t fvf = 0;
  std::uint32_t vertex_size = 0;
  std::uint32_t vertex_count = 0;
  std::uint32_t index_count = 0;
  DeviceBuffer vertices{DeviceBuffer::Kind::Vertex};
  DeviceBuffer indices{DeviceBuffer::Kind::Index};  // 16-bit triangle list
  Box box;  // node space
  base::Vec3 center;
  float radius = 0.0f;

  bool has_subsets = false;
  std::vector<Subset> subsets;
  std::optional<std::vector<std::uint32_t>> face_attributes;  // subset of each triangle
  std::optional<std::vector<Box>> subset_boxes;
  bool has_materials = false;
  std::vector<Material> materials;
  // Subsets in drawing order: opaque first, then the last transparent_count
  // transparent ones. Always filled after loading.
  std::vector<std::uint32_t> draw_order;
  std::uint32_t transparent_count = 0;
  bool draw_order_stored = false;  // the record carried it
  // Optional picking cache filled by users: one plane (normal, d) per
  // triangle, with d = normal . first vertex.
  std::vector<base::Vec4> face_planes;

  std::optional<std::array<std::uint8_t, 64>> params;
  std::optional<NodeTag> tag;
  std::unique_ptr<SkinData> skin;
  std::optional<KeyframeTracks> tracks;
  // The playback block as stored in this node's record, and the parameters
  // in effect for the node (shared by the nodes a block covers; on the root
  // of a loaded tree a duration of 0 is replaced by the longest track).
  std::optional<PlaybackParameters> playback_block;
  std::shared_ptr<PlaybackParameters> playback;
  std::optional<AnimationData> animation;
  // On a root: the morph groups of the whole tree, each naming its node.
  std::vector<MorphGroup> morph_groups;

  std::unique_ptr<MeshNode> first_child;
  std::unique_ptr<MeshNode> next_sibling;

  // --- the tree

  // Numbers every node reachable from this root and points them back at it.
  // Called by the reader and by clone_tree; call again after relinking.
  void index_tree();
  MeshNode* tree_root() const { return root_; }
  std::uint32_t handle() const { return handle_; }
  // The node of a handle in this node's tree, or nullptr.
  MeshNode* node(std::uint32_t handle) const;
  std::size_t node_count() const { return root_ == this ? nodes_.size() : root_->nodes_.size(); }
  // The first node named `name` (without regard to case) among this node,
  // its sibling chain and all their subtrees.
  MeshNode* find(std::string_view name);

  // A deep copy of this node with its subtree and its sibling chain: fields,
  // bytes in memory and texture references; no device copies.
  std::unique_ptr<MeshNode> clone_tree() const;
  // Copies every field but the links and the device copies.
  void copy_from(const MeshNode& other);

  // Binds the skin of every node of the tree (see bind_skin).
  bool bind_skins();
  // Looks up each bone's node by name among the root, its siblings and all
  // their subtrees, with the root answering to "Scene_Root" instead of its
  // own name. Any bone without a node leaves the skin unbound (false).
  bool bind_skin();
  // Replaces the skin: no bone references, palette of min(bones, 20); then
  // binds it again.
  bool set_skin(std::unique_ptr<SkinData> new_skin);

  // Computes draw_order and transparent_count from the materials: the
  // subsets that are not transparent in index order, then the transparent
  // ones.
  void compute_draw_order();

  // --- geometry access

  std::uint32_t triangle_count() const { return index_count / 3; }
  std::uint16_t vertex_index(std::size_t i) const;
  base::Vec3 position(std::uint32_t vertex) const;
  bool has_positions() const;

  // --- drawing on one device (callers draw for each device in turn)

  // Sets format, vertex and index buffer; false when the buffers cannot be
  // made on this device (then nothing should be drawn).
  bool bind_geometry(gfx::Device& device) const;
  void prepare_subset(DrawContext& context, const Subset& subset) const;
  void draw_subset_primitives(gfx::Device& device, const Subset& subset) const;
  void draw_opaque_pass(DrawContext& context) const;
  void draw_transparent_pass(DrawContext& context) const;
  void draw_all(DrawContext& context, bool bind) const;
  // Draws draw_order[position] with its material and blending.
  void draw_subset(DrawContext& context, std::size_t position) const;
  // Every subset in index order without material or texture changes.
  void draw_raw(gfx::Device& device, bool bind) const;
  // Drops the device copies of the whole tree's buffers on this device.
  void release_device(gfx::Device& device);

  // --- bounds

  // Corner i takes x from box.max when i & 4, y when i & 2, z when i & 1.
  std::array<base::Vec3, 8> box_corners(const base::Matrix& matrix) const;
  // |M max - M min| / |max - min|; 1 for an empty box.
  float scale_of(const base::Matrix& matrix) const;

 private:
  MeshNode* root_ = this;
  std::uint32_t handle_ = 0;
  std::vector<MeshNode*> nodes_;  // on the root: by handle
};

// Visits node, its subtree and its sibling chain with their subtrees, in file
// order, without recursion.
template <class F>
void for_each_node(MeshNode& start, F visit) {
  std::vector<MeshNode*> stack{&start};
  while (!stack.empty()) {
    MeshNode* node = stack.back();
    stack.pop_back();
    visit(*node);
    if (node->next_sibling) stack.push_back(node->next_sibling.get());
    if (node->first_child) stack.push_back(node->first_child.get());
  }
}
template <class F>
void for_each_node(const MeshNode& start, F visit) {
  std::vector<const MeshNode*> stack{&start};
  while (!stack.empty()) {
    const MeshNode* node = stack.back();
    stack.pop_back();
    visit(*node);
    if (node->next_sibling) stack.push_back(node->next_sibling.get());
    if (node->first_child) stack.push_back(node->first_child.get());
  }
}

// Min and max over `count` points, the first at `base`, each `stride` bytes
// after the previous one. An empty box for count 0.
Box box_of_points(const std::uint8_t* base, std::size_t stride, std::size_t count);

// The four-character text of a tag code ("ACTI").
std::string tag_text(std::uint32_t code);

// The name the root answers to while bones are bound.
inline constexpr const char* kSceneRootName = "Scene_Root";

}  // namespace model
