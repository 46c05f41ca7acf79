#include "model/mesh_node.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/mesh_texture.h"
#include "platform/ascii.h"
#include "platform/vertex_format.h"

namespace model {

MeshNode::~MeshNode() {
  // Long sibling chains would nest one destructor call per node; take the
  // links apart here and destroy the nodes one at a time instead.
  std::vector<std::unique_ptr<MeshNode>> pending;
  if (first_child) pending.push_back(std::move(first_child));
  if (next_sibling) pending.push_back(std::move(next_sibling));
  while (!pending.empty()) {
    std::unique_ptr<MeshNode> node = std::move(pending.back());
    pending.pop_back();
    if (node->first_child) pending.push_back(std::move(node->first_child));
    if (node->next_sibling) pending.push_back(std::move(node->next_sibling));
  }
}

void MeshNode::index_tree() {
  nodes_.clear();
  std::uint32_t next = 0;
  for_each_node(*this, [&](MeshNode& node) {
    if (&node != this) node.nodes_.clear();
    node.root_ = this;
    node.handle_ = next++;
    nodes_.push_back(&node);
  });
}

MeshNode* MeshNode::node(std::uint32_t handle) const {
  const std::vector<MeshNode*>& nodes = root_->nodes_;
  return handle < nodes.size() ? nodes[handle] : nullptr;
}

MeshNode* MeshNode::find(std::string_view wanted) {
  std::vector<MeshNode*> stack{this};
  while (!stack.empty()) {
    MeshNode* node = stack.back();
    stack.pop_back();
    if (platform::equals_ignore_ascii_case(node->name, wanted)) return node;
    if (node->next_sibling) stack.push_back(node->next_sibling.get());
    if (node->first_child) stack.push_back(node->first_child.get());
  }
  return nullptr;
}

void MeshNode::copy_from(const MeshNode& o) {
  name = o.name;
  is_root = o.is_root;
  resource_name = o.resource_name;
  local_matrix = o.local_matrix;
  rest_matrix = o.rest_matrix;
  has_geometry = o.has_geometry;
  fvf = o.fvf;
  vertex_size = o.vertex_size;
  vertex_count = o.vertex_count;
  index_count = o.index_count;
  vertices = o.vertices;
  indices = o.indices;
  box = o.box;
  center = o.center;
  radius = o.radius;
  has_subsets = o.has_subsets;
  subsets = o.subsets;
  face_attributes = o.face_attributes;
  subset_boxes = o.subset_boxes;
  has_materials = o.has_materials;
  materials = o.materials;
  draw_order = o.draw_order;
  transparent_count = o.transparent_count;
  draw_order_stored = o.draw_order_stored;
  face_planes = o.face_planes;
  params = o.params;
  tag = o.tag;
  skin = o.skin ? std::make_unique<SkinData>(*o.skin) : nullptr;
  tracks = o.tracks;
  playback_block = o.playback_block;
  playback = o.playback ? std::make_shared<PlaybackParameters>(*o.playback) : nullptr;
  animation = o.animation;
  morph_groups = o.morph_groups;
}

std::unique_ptr<MeshNode> MeshNode::clone_tree() const {
  auto top = std::make_unique<MeshNode>();
  // Nodes that shared one set of playback parameters share one copy.
  std::vector<std::pair<const PlaybackParameters*, std::shared_ptr<PlaybackParameters>>> shared;
  std::vector<std::pair<const MeshNode*, MeshNode*>> stack{{this, top.get()}};
  while (!stack.empty()) {
    const MeshNode* from = stack.back().first;
    MeshNode* to = stack.back().second;
    stack.pop_back();
    to->copy_from(*from);
    if (from->playback) {
      auto found = std::find_if(shared.begin(), shared.end(),
                                [&](const auto& entry) { return entry.first == from->playback.get(); });
      if (found != shared.end()) {
        to->playback = found->second;
      } else {
        shared.emplace_back(from->playback.get(), to->playback);
      }
    }
    if (from->next_sibling) {
      to->next_sibling = std::make_unique<MeshNode>();
      stack.emplace_back(from->next_sibling.get(), to->next_sibling.get());
    }
    if (from->first_child) {
      to->first_child = std::make_unique<MeshNode>();
      stack.emplace_back(from->first_child.get(), to->first_child.get());
    }
  }
  top->index_tree();
  return top;
}

bool MeshNode::bind_skins() {
  bool all = true;
  for_each_node(*this, [&](MeshNode& node) {
    if (node.skin && !node.bind_skin()) all = false;
  });
  return all;
}

bool MeshNode::bind_skin() {
  if (!skin) return false;
  MeshNode* root = root_;
  std::vector<std::uint32_t> bound(skin->bones.size(), kNoNode);
  for (std::size_t i = 0; i < skin->bones.size(); ++i) {
    const std::string& bone = skin->bones[i].name;
    for (MeshNode* node : root->nodes_) {
      const std::string_view answer = node == root ? std::string_view(kSceneRootName) : node->name;
      if (platform::equals_ignore_ascii_case(answer, bone)) {
        bound[i] = node->handle_;
        break;
      }
    }
    if (bound[i] == kNoNode) {
      skin->bone_nodes.assign(skin->bones.size(), kNoNode);
      return false;
    }
  }
  skin->bone_nodes = std::move(bound);
  return true;
}

bool MeshNode::set_skin(std::unique_ptr<SkinData> new_skin) {
  skin = std::move(new_skin);
  if (!skin) return false;
  skin->palette_size = std::min(static_cast<std::uint32_t>(skin->bones.size()), kMaxPaletteMatrices);
  skin->bone_nodes.assign(skin->bones.size(), kNoNode);
  skin->compute_bone_box();
  return bind_skin();
}

void MeshNode::compute_draw_order() {
  draw_order.clear();
  std::vector<std::uint32_t> transparent;
  for (std::uint32_t i = 0; i < subsets.size(); ++i) {
    const std::uint32_t material = subsets[i].material;
    if (material < materials.size() && materials[material].transparent()) {
      transparent.push_back(i);
    } else {
      draw_order.push_back(i);
    }
  }
  transparent_count = static_cast<std::uint32_t>(transparent.size());
  draw_order.insert(draw_order.end(), transparent.begin(), transparent.end());
}

std::uint16_t MeshNode::vertex_index(std::size_t i) const {
  if (i * 2 + 2 > indices.size()) return 0;
  const std::uint8_t* p = indices.bytes().data() + i * 2;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool MeshNode::has_positions() const {
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(fvf);
  return layout && layout->position_floats >= 3 && layout->stride == vertex_size &&
         vertices.size() >= static_cast<std::size_t>(vertex_count) * vertex_size;
}

base::Vec3 MeshNode::position(std::uint32_t vertex) const {
  base::Vec3 p;
  const std::size_t at = static_cast<std::size_t>(vertex) * vertex_size;
  if (vertex_size < 12 || at + 12 > vertices.size()) return p;
  std::memcpy(&p, vertices.bytes().data() + at, 12);
  return p;
}

bool MeshNode::bind_geometry(gfx::Device& device) const {
  const gfx::VertexBufferHandle vertex_buffer = vertices.vertex_buffer(device);
  const gfx::IndexBufferHandle index_buffer = indices.index_buffer(device);
  if (!vertex_buffer || !index_buffer) return false;
  device.set_vertex_format(fvf);
  device.set_vertex_buffer(vertex_buffer);
  device.set_index_buffer(index_buffer);
  return true;
}

void MeshNode::prepare_subset(DrawContext& context, const Subset& subset) const {
  if (subset.material >= materials.size()) return;
  const Material& material = materials[subset.material];
  context.device.set_render_state(gfx::RenderState::CullMode, material.cull);
  if (context.binder != nullptr) context.binder->apply_material(context.device, material);
  context.device.set_texture(0, material.texture ? material.texture->handle_for(context.device)
                                                 : gfx::TextureHandle{});
}

void MeshNode::draw_subset_primitives(gfx::Device& device, const Subset& subset) const {
  if (subset.triangle_count == 0) return;
  device.draw_indexed(gfx::PrimitiveType::TriangleList, 0, subset.first_index, subset.triangle_count);
}

namespace {

// The material of a subset when it is drawn at all.
const Material* drawn_material(const MeshNode& node, std::uint32_t subset_index) {
  if (subset_index >= node.subsets.size()) return nullptr;
  const std::uint32_t material = node.subsets[subset_index].material;
  if (material >= node.materials.size() || !node.materials[material].drawn()) return nullptr;
  return &node.materials[material];
}

}  // namespace

void MeshNode::draw_opaque_pass(DrawContext& context) const {
  context.device.set_render_state(gfx::RenderState::AlphaBlendEnable, 0);
  const std::size_t opaque = draw_order.size() - std::min<std::size_t>(transparent_count, draw_order.size());
  for (std::size_t i = 0; i < opaque; ++i) {
    if (drawn_material(*this, draw_order[i]) == nullptr) continue;
    const Subset& subset = subsets[draw_order[i]];
    prepare_subset(context, subset);
    draw_subset_primitives(context.device, subset);
  }
}

void MeshNode::draw_transparent_pass(DrawContext& context) const {
  context.device.set_render_state(gfx::RenderState::AlphaBlendEnable, 1);
  const std::size_t first = draw_order.size() - std::min<std::size_t>(transparent_count, draw_order.size());
  for (std::size_t i = first; i < draw_order.size(); ++i) {
    const Material* material = drawn_material(*this, draw_order[i]);
    if (material == nullptr) continue;
    context.device.set_render_state(gfx::RenderState::SrcBlend, material->src_blend);
    context.device.set_render_state(gfx::RenderState::DestBlend, material->dest_blend);
    const Subset& subset = subsets[draw_order[i]];
    prepare_subset(context, subset);
    draw_subset_primitives(context.device, subset);
  }
  context.device.set_render_state(gfx::RenderState::AlphaBlendEnable, 0);
}

void MeshNode::draw_all(DrawContext& context, bool bind) const {
  if (subsets.empty() || vertex_count == 0) return;
  if (bind && !bind_geometry(context.device)) return;
  const std::size_t transparent = std::min<std::size_t>(transparent_count, draw_order.size());
  if (draw_order.size() > transparent) draw_opaque_pass(context);
  if (transparent > 0) draw_transparent_pass(context);
}

void MeshNode::draw_subset(DrawContext& context, std::size_t position) const {
  if (position >= draw_order.size()) return;
  const Material* material = drawn_material(*this, draw_order[position]);
  if (material == nullptr) return;
  if (material->blend != 0) {
    context.device.set_render_state(gfx::RenderState::AlphaBlendEnable, 1);
    context.device.set_render_state(gfx::RenderState::SrcBlend, material->src_blend);
    context.device.set_render_state(gfx::RenderState::DestBlend, material->dest_blend);
  }
  const Subset& subset = subsets[draw_order[position]];
  prepare_subset(context, subset);
  draw_subset_primitives(context.device, subset);
  context.device.set_render_state(gfx::RenderState::AlphaBlendEnable, 0);
}

void MeshNode::draw_raw(gfx::Device& device, bool bind) const {
  if (subsets.empty() || vertex_count == 0) return;
  if (bind && !bind_geometry(device)) return;
  for (const Subset& subset : subsets) draw_subset_primitives(device, subset);
}

void MeshNode::release_device(gfx::Device& device) {
  for_each_node(*this, [&](MeshNode& node) {
    node.vertices.release_device(device);
    node.indices.release_device(device);
    for (Material& material : node.materials) {
      if (material.texture) material.texture->release_device(device);
    }
  });
}

std::array<base::Vec3, 8> MeshNode::box_corners(const base::Matrix& matrix) const {
  std::array<base::Vec3, 8> corners;
  for (int i = 0; i < 8; ++i) {
    const base::Vec3 corner{(i & 4) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                            (i & 1) ? box.max.z : box.min.z};
    corners[static_cast<std::size_t>(i)] = base::transform_coord(corner, matrix);
  }
  return corners;
}

float MeshNode::scale_of(const base::Matrix& matrix) const {
  const float extent = base::length(box.max - box.min);
  if (extent == 0.0f) return 1.0f;
  const base::Vec3 a = base::transform_coord(box.max, matrix);
  const base::Vec3 b = base::transform_coord(box.min, matrix);
  return base::length(a - b) / extent;
}

Box box_of_points(const std::uint8_t* base, std::size_t stride, std::size_t count) {
  Box box;
  for (std::size_t i = 0; i < count; ++i) {
    base::Vec3 p;
    std::memcpy(&p, base + i * stride, sizeof p);
    box.min = i == 0 ? p : base::minimize(box.min, p);
    box.max = i == 0 ? p : base::maximize(box.max, p);
  }
  return box;
}

std::string tag_text(std::uint32_t code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (8 * i)) & 0xFF);
  return text;
}

}  // namespace model
