#include "scene/scene_node.h"

#include <utility>

namespace scene {

SceneNode::SceneNode(std::shared_ptr<model::MeshNode> mesh, const base::Matrix& placement, std::uint8_t kind)
    : model::ModelObject(std::move(mesh), placement, kind) {
  refresh_parts();
}

void SceneNode::refresh_parts() {
  parts_.clear();
  has_transparent_ = false;
  if (!mesh()) return;
  // Depth-first with each node's parent world matrix; the root's sibling
  // chain hangs off the placement like the root itself.
  std::vector<std::pair<const model::MeshNode*, base::Matrix>> stack{{mesh().get(), placement()}};
  while (!stack.empty()) {
    auto [node, parent] = stack.back();
    stack.pop_back();
    const base::Matrix world = node->local_matrix * parent;
    if (node->has_geometry && node->vertex_count > 0 && node->index_count > 0) {
      parts_.push_back(Part{node, world, std::nullopt});
      if (node->transparent_count > 0) has_transparent_ = true;
    }
    if (node->next_sibling) stack.emplace_back(node->next_sibling.get(), parent);
    if (node->first_child) stack.emplace_back(node->first_child.get(), world);
  }
}

void SceneNode::refresh_light(const render::Light& light) {
  for (Part& part : parts_) {
    const std::optional<base::Matrix> inverse = base::inverse(part.world);
    part.light_in_model = inverse ? render::light_in_model(light, *inverse) : std::nullopt;
  }
}

base::Vec3 SceneNode::world_centre() const {
  if (!mesh()) return base::translation_of(placement());
  const std::array<base::Vec3, 8> corners = mesh()->box_corners(placement());
  base::Vec3 low = corners[0];
  base::Vec3 high = corners[0];
  for (const base::Vec3& corner : corners) {
    low = base::minimize(low, corner);
    high = base::maximize(high, corner);
  }
  return (low + high) * 0.5f;
}

const model::MeshNode* SceneNode::obstacle_node() const {
  if (!mesh()) return nullptr;
  if (is_anemone()) return mesh()->find("body");
  return mesh().get();
}

}  // namespace scene
