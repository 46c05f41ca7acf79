#include "scene/scene_renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/matrix.h"

namespace scene {

SceneRenderer::SceneRenderer(render::RenderDevices& devices, render::EffectPools& pools)
    : devices_(devices), model_(devices, pools), model_blend_(devices, pools), actinia_(devices, pools) {}

bool SceneRenderer::load(std::string_view program_folder, int shader_level) {
  const bool model = render::load_object_effect(model_, program_folder, "BWModel", false, shader_level);
  render::load_object_effect(model_blend_, program_folder, "BWModelBlend", false, shader_level);
  render::load_object_effect(actinia_, program_folder, "Actinia", false, shader_level);
  return model;
}

void SceneRenderer::release() {
  model_.release();
  model_blend_.release();
  actinia_.release();
}

render::EffectSet& SceneRenderer::effect_for(const SceneNode& object) {
  if (object.effect() == NodeEffect::ModelBlend && model_blend_.has_instance()) return model_blend_;
  return model_;
}

template <class DrawPart>
void SceneRenderer::draw_parts(render::SharedConstants& constants, const SceneNode& object, DrawPart draw) {
  gfx::Device* device = devices_.current_device();
  if (device == nullptr) return;
  render::EffectSet& effect = effect_for(object);
  const std::size_t passes = effect.pass_count();
  for (const SceneNode::Part& part : object.parts()) {
    if (!part.node->bind_geometry(*device)) continue;
    constants.set_object(part.world, part.light_in_model);
    for (std::size_t pass = 0; pass < passes; ++pass) {
      if (!effect.begin_pass(pass)) continue;
      draw(*device, *part.node);
    }
  }
}

void SceneRenderer::draw_first_pass(render::SharedConstants& constants, const std::vector<SceneNode*>& objects) {
  for (const SceneNode* object : objects) {
    draw_parts(constants, *object, [](gfx::Device& device, const model::MeshNode& node) {
      model::DrawContext context{device};
      node.draw_opaque_pass(context);
    });
  }
}

const std::vector<const SceneNode*>& SceneRenderer::draw_order(const std::vector<SceneNode*>& objects,
                                                               std::size_t backdrop_count, const base::Vec3& eye) {
  order_.clear();
  sort_keys_.clear();
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const SceneNode* object = objects[i];
    if (!object->has_transparent()) continue;
    if (i < backdrop_count) {
      order_.push_back(object);
      continue;
    }
    const base::Vec3 offset = object->world_centre() - eye;
    // A broken placement sorts as farthest: NaN keys would break the sort.
    const float distance = base::dot(offset, offset);
    sort_keys_.push_back({std::isnan(distance) ? std::numeric_limits<float>::infinity() : distance, i, object});
  }
  // Far to near; the index as a second key makes the order stable without
  // the buffer a stable sort would allocate every frame.
  std::sort(sort_keys_.begin(), sort_keys_.end(), [](const SortKey& a, const SortKey& b) {
    return a.distance != b.distance ? a.distance > b.distance : a.index < b.index;
  });
  for (const SortKey& key : sort_keys_) order_.push_back(key.object);
  return order_;
}

void SceneRenderer::draw_transparent(render::SharedConstants& constants, const SceneNode& object) {
  gfx::Device* device = devices_.current_device();
  if (device == nullptr) return;
  // Texels that are nearly clear write no depth, so leaves behind leaves show.
  device->set_render_state(gfx::RenderState::AlphaTestEnable, 1);
  device->set_render_state(gfx::RenderState::AlphaFunc, gfx::kCompareGreater);
  device->set_render_state(gfx::RenderState::AlphaRef, 8);
  draw_parts(constants, object, [](gfx::Device& d, const model::MeshNode& node) {
    model::DrawContext context{d};
    node.draw_transparent_pass(context);
  });
  device->set_render_state(gfx::RenderState::AlphaTestEnable, 0);
}

void SceneRenderer::draw_plain(render::SharedConstants& constants, const std::vector<SceneNode*>& objects) {
  for (const SceneNode* object : objects) {
    draw_parts(constants, *object,
               [](gfx::Device& device, const model::MeshNode& node) { node.draw_raw(device, false); });
  }
}

}  // namespace scene
