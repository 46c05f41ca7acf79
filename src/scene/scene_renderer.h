#pragma once

#include <string_view>
#include <vector>

#include "base/vector.h"
#include "render/effect_set.h"
#include "render/shared_constants.h"
#include "scene/scene_node.h"

namespace scene {

// Draws the scene's objects through their object effects: "BWModel" for
// most nodes, "BWModelBlend" for nodes of kind 1, and "Actinia" held for the
// anemone's tentacles. Opaque subsets go first; objects with transparent
// subsets then draw far to near.
class SceneRenderer {
 public:
  SceneRenderer(render::RenderDevices& devices, render::EffectPools& pools);

  // Loads the effects for the device's shader level; false when "BWModel"
  // is missing (then nothing draws).
  bool load(std::string_view program_folder, int shader_level);
  void release();
  bool ready() const { return model_.has_instance(); }

  // Every object's opaque subsets.
  void draw_first_pass(render::SharedConstants& constants, const std::vector<SceneNode*>& objects);
  // The objects that have transparent subsets, in a list kept between
  // frames: the first backdrop_count objects (the sea floor and the far
  // wall, behind everything) in their order, then the others far to near
  // from the eye.
  const std::vector<const SceneNode*>& draw_order(const std::vector<SceneNode*>& objects,
                                                  std::size_t backdrop_count, const base::Vec3& eye);
  void draw_transparent(render::SharedConstants& constants, const SceneNode& object);
  // Every subset of every object without materials: the wireframe view.
  void draw_plain(render::SharedConstants& constants, const std::vector<SceneNode*>& objects);

  render::EffectSet& actinia() { return actinia_; }

 private:
  render::EffectSet& effect_for(const SceneNode& object);
  template <class DrawPart>
  void draw_parts(render::SharedConstants& constants, const SceneNode& object, DrawPart draw);

  render::RenderDevices& devices_;
  render::EffectSet model_;
  render::EffectSet model_blend_;
  render::EffectSet actinia_;
  std::vector<const SceneNode*> order_;
  struct SortKey {
    float distance;     // squared, from the eye
    std::size_t index;  // in the object list: equal distances keep list order
    const SceneNode* object;
  };
  std::vector<SortKey> sort_keys_;
};

}  // namespace scene
