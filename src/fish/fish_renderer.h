#pragma once

#include <span>
#include <string_view>

#include "base/matrix.h"
#include "model/mesh_node.h"
#include "render/effect_set.h"
#include "render/shared_constants.h"

namespace fish {

// Draws fish through the skinning effect "BWFish" (and its bump variant
// "BWFishBump" where the device and the settings allow it). A fish's bone
// palette carries its vertices from model space straight to world space,
// so every node draws with an identity world matrix and the node transforms
// of the model are not used.
class FishRenderer {
 public:
  FishRenderer(render::RenderDevices& devices, render::EffectPools& pools);

  // Loads "BWFish", and "BWFishBump" as well when bump is allowed (shader
  // level 2 or more and the settings' pixel-shader flag); false without
  // "BWFish" (then nothing draws).
  bool load(std::string_view program_folder, int shader_level, bool bump_allowed);
  void release();
  bool ready() const { return plain_.has_instance(); }
  bool bump_loaded() const { return bump_.has_instance(); }

  // Draws one fish on the current device: every node of its model tree that
  // has geometry, the opaque subsets of all nodes first and then the
  // transparent ones, skinned by the palette (model space to world space;
  // at most 20 matrices are taken). An empty palette draws nothing.
  void draw(render::SharedConstants& constants, const model::MeshNode& model,
            std::span<const base::Matrix> palette);

 private:
  enum class Pass { Opaque, Transparent };

  void set_skin_constants(render::SharedConstants& constants, std::span<const base::Matrix> palette);
  void draw_nodes(const model::MeshNode& node, Pass pass);
  void draw_node(const model::MeshNode& node, Pass pass);
  render::EffectSet& effect_for(const model::MeshNode& node, gfx::Device& device);

  render::RenderDevices& devices_;
  render::EffectPools& pools_;
  render::EffectSet plain_;
  render::EffectSet bump_;
};

}  // namespace fish
