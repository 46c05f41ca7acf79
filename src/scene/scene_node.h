#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/matrix.h"
#include "model/model.h"
#include "render/shared_constants.h"

namespace scene {

// Which object effect a node draws with.
enum class NodeEffect : std::uint8_t { Model, ModelBlend };

// One placed object of the scene. It keeps, for every node of its mesh
// that has geometry, the node's world matrix and the light as seen in that
// node's model space, so that drawing a static object costs no maths.
class SceneNode : public model::ModelObject {
 public:
  struct Part {
    const model::MeshNode* node = nullptr;
    base::Matrix world;
    std::optional<base::Vec3> light_in_model;
  };

  SceneNode(std::shared_ptr<model::MeshNode> mesh, const base::Matrix& placement, std::uint8_t kind);

  NodeEffect effect() const { return kind() == 1 ? NodeEffect::ModelBlend : NodeEffect::Model; }
  bool is_anemone() const { return kind() == model::kKindActinia; }

  // Recomputes the world matrices of the mesh's nodes from the placement.
  void refresh_parts();
  // Recomputes each part's light vector in model space.
  void refresh_light(const render::Light& light);
  virtual void update(float dt) { (void)dt; }

  const std::vector<Part>& parts() const { return parts_; }
  bool has_transparent() const { return has_transparent_; }
  // The centre of the object's bounding box in the world.
  base::Vec3 world_centre() const;
  // The node whose triangles stop fish: the mesh root, or for an anemone
  // its "body" frame.
  const model::MeshNode* obstacle_node() const;

 private:
  std::vector<Part> parts_;
  bool has_transparent_ = false;
};

}  // namespace scene
