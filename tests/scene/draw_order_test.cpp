// The order in which the transparent scene objects are drawn: the backdrop's
// in list order first, then the others from far to near.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "model/mesh_builder.h"
#include "render/effect_set.h"
#include "scene/scene_node.h"
#include "scene/scene_renderer.h"

namespace {

std::shared_ptr<model::MeshNode> leaf_box(bool transparent) {
  std::shared_ptr<model::MeshNode> box = model::make_box({1, 1, 1}, model::plain_material({1, 1, 1, 1}), "leaf");
  box->transparent_count = transparent ? 1 : 0;
  return box;
}

TEST(DrawOrder, BackdropFirstThenFarToNearWithTiesInListOrder) {
  render::RenderDevices devices;
  render::EffectPools pools;
  scene::SceneRenderer renderer(devices, pools);
  const base::Vec3 eye{0, 0, -100};
  const std::shared_ptr<model::MeshNode> leaf = leaf_box(true);
  const std::shared_ptr<model::MeshNode> stone = leaf_box(false);
  // Objects 0 and 1 are the backdrop; the others are placed along z.
  std::vector<std::unique_ptr<scene::SceneNode>> owned;
  const auto add = [&](const std::shared_ptr<model::MeshNode>& mesh, float z, float x = 0.0f) {
    owned.push_back(std::make_unique<scene::SceneNode>(mesh, base::translation(x, 0, z), 0));
  };
  add(leaf, -90);   // 0: backdrop, near, still first
  add(leaf, 50);    // 1: backdrop
  add(leaf, 0);     // 2
  add(stone, 80);   // 3: opaque, not in the order
  add(leaf, 40);    // 4
  add(leaf, 0);     // 5: as far as 2, after it
  add(leaf, NAN);   // 6: a broken placement counts as farthest
  add(leaf, -50);   // 7
  std::vector<scene::SceneNode*> objects;
  for (const auto& object : owned) objects.push_back(object.get());

  const std::vector<const scene::SceneNode*>& order = renderer.draw_order(objects, 2, eye);
  const std::vector<const scene::SceneNode*> expected{objects[0], objects[1], objects[6], objects[4],
                                                      objects[2], objects[5], objects[7]};
  EXPECT_EQ(order, expected);
}

}  // namespace
