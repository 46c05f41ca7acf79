#include "fish/fish_renderer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/mesh_texture.h"
#include "render/shared_params.h"

namespace fish {
namespace {

// Blend weights each fish vertex stores: the weight of its own bone. The
// skinning shader gives the rest of the vertex (1 - weight) to the bone of
// the next index, its neighbour.
constexpr std::int32_t kBlendWeightsPerVertex = 1;

// The stage the bump effect samples its normal map from ("BumpmapTexture").
constexpr int kBumpMapStage = 1;

// The bump map that goes with a material's texture on a device: the
// texture's "-b" companion.
gfx::TextureHandle bump_map_of(const model::Material& material, gfx::Device& device) {
  if (!material.texture || !material.texture->companion()) return {};
  return material.texture->companion()->handle_for(device);
}

// Binds each subset's bump map while the bump effect draws.
class BumpMapBinder final : public model::MaterialBinder {
 public:
  void apply_material(gfx::Device& device, const model::Material& material) override {
    device.set_texture(kBumpMapStage, bump_map_of(material, device));
  }
};

bool has_transparent(const model::MeshNode& node) {
  return std::min<std::size_t>(node.transparent_count, node.draw_order.size()) > 0;
}

bool has_opaque(const model::MeshNode& node) {
  return node.draw_order.size() > std::min<std::size_t>(node.transparent_count, node.draw_order.size());
}

}  // namespace

FishRenderer::FishRenderer(render::RenderDevices& devices, render::EffectPools& pools)
    : devices_(devices), pools_(pools), plain_(devices, pools), bump_(devices, pools) {}

bool FishRenderer::load(std::string_view program_folder, int shader_level, bool bump_allowed) {
  release();
  if (!render::load_object_effect(plain_, program_folder, "BWFish", false, shader_level)) return false;
  if (bump_allowed && shader_level >= 2) {
    render::load_object_effect(bump_, program_folder, "BWFish", true, shader_level);
  }
  return true;
}

void FishRenderer::release() {
  plain_.release();
  bump_.release();
}

void FishRenderer::draw(render::SharedConstants& constants, const model::MeshNode& model,
                        std::span<const base::Matrix> palette) {
  gfx::Device* device = devices_.current_device();
  if (device == nullptr || palette.empty() || !plain_.has_instance()) return;
  set_skin_constants(constants, palette);
  draw_nodes(model, Pass::Opaque);
  // Texels that are nearly clear write no depth, so fin edges do not hide
  // what lies behind them.
  device->set_render_state(gfx::RenderState::AlphaTestEnable, 1);
  device->set_render_state(gfx::RenderState::AlphaFunc, gfx::kCompareGreater);
  device->set_render_state(gfx::RenderState::AlphaRef, 8);
  draw_nodes(model, Pass::Transparent);
  device->set_render_state(gfx::RenderState::AlphaTestEnable, 0);
}

void FishRenderer::set_skin_constants(render::SharedConstants& constants,
                                      std::span<const base::Matrix> palette) {
  const base::Matrix identity = base::identity();
  // The palette lands in world space: the object's own space is the world.
  constants.set_object(identity, constants.light_in_model(identity));
  constants.set_view_position(constants.camera_position());
  render::EffectPool* pool = pools_.pool_for(devices_.current_device());
  if (pool == nullptr) return;
  pool->write(render::kSlotModelInvert, std::span<const float>(&identity.m[0][0], 16));
  // Slots past the fish's bones repeat its last bone, so a vertex naming a
  // bone the body lacks stays on this fish instead of taking a matrix left
  // by whatever drew before.
  std::array<base::Matrix, render::kSkinPaletteSize> full;
  const std::size_t count = std::min(palette.size(), full.size());
  std::copy_n(palette.begin(), count, full.begin());
  std::fill(full.begin() + static_cast<std::ptrdiff_t>(count), full.end(), palette[count - 1]);
  pool->write(render::kSlotSkinPalettes, std::span<const float>(&full[0].m[0][0], full.size() * 16));
  pool->write_int(render::kSlotSkinBones, kBlendWeightsPerVertex);
}

void FishRenderer::draw_nodes(const model::MeshNode& node, Pass pass) {
  draw_node(node, pass);
  for (const model::MeshNode* child = node.first_child.get(); child != nullptr;
       child = child->next_sibling.get()) {
    draw_nodes(*child, pass);
  }
}

void FishRenderer::draw_node(const model::MeshNode& node, Pass pass) {
  if (!node.has_geometry) return;
  if (pass == Pass::Opaque ? !has_opaque(node) : !has_transparent(node)) return;
  gfx::Device& device = *devices_.current_device();
  if (!node.bind_geometry(device)) return;
  render::EffectSet& effect = effect_for(node, device);
  BumpMapBinder bump_maps;
  model::DrawContext context{device, &effect == &bump_ ? &bump_maps : nullptr};
  const std::size_t passes = effect.pass_count();
  for (std::size_t index = 0; index < passes; ++index) {
    if (!effect.begin_pass(index)) continue;
    if (pass == Pass::Opaque) {
      node.draw_opaque_pass(context);
    } else {
      node.draw_transparent_pass(context);
    }
  }
  if (&effect == &bump_) device.set_texture(kBumpMapStage, {});
}

render::EffectSet& FishRenderer::effect_for(const model::MeshNode& node, gfx::Device& device) {
  if (!bump_.has_instance()) return plain_;
  // The bump effect shades with its normal map: without one for every
  // drawn material the plain effect looks right and the bump one does not.
  for (const model::Material& material : node.materials) {
    if (material.drawn() && !bump_map_of(material, device)) return plain_;
  }
  return bump_;
}

}  // namespace fish
