#pragma once

#include <cstdint>
#include <string_view>

#include "render/effect_file.h"

namespace render {

// The parameters every effect shares through the effect pool, by the slot
// the shared effect keeps them in (slot 21 is unused). All but the water
// texture live in one std140 uniform block, "SharedParams", whose layout is
// fixed here and declared for the shaders by kSharedBlockGlsl; matrices are
// stored row by row (the block is row_major) so shaders multiply v * M.
enum SharedSlot : int {
  kSlotView = 0,
  kSlotViewInvert = 1,
  kSlotViewProj = 2,
  kSlotViewPosInModel = 3,
  kSlotProj = 4,
  kSlotModel = 5,
  kSlotModelInvert = 6,
  kSlotModelView = 7,
  kSlotModelViewProj = 8,
  kSlotModelBlend = 9,
  kSlotSkinPalettes = 10,
  kSlotSkinBones = 11,
  kSlotLineColor = 12,
  kSlotAmbientColor = 13,
  kSlotDiffuseColor = 14,
  kSlotDiffusePower = 15,
  kSlotLightDir = 16,
  kSlotLightDirInModel = 17,
  kSlotLightPos = 18,
  kSlotLightPosInModel = 19,
  kSlotLightInvRange = 20,
  kSlotFogDist = 22,
  kSlotFogParam = 23,
  kSlotFogViewPos = 24,
  kSlotWaterSParam = 25,
  kSlotWaterSMapUV = 26,
  kSlotWaterShadowTexture = 27,
};
inline constexpr int kSharedSlotCount = 28;

// Matrices of the skinning palette.
inline constexpr int kSkinPaletteSize = 20;

struct SharedParamInfo {
  const char* name;
  EffectParamType type;
  std::uint16_t elements;
  std::uint32_t offset;  // in the block; textures: none
};

// The parameter of a slot; nullptr for slot 21 and numbers outside 0..27.
const SharedParamInfo* shared_param(int slot);
// The slot of a shared parameter's name (exact case, as GLSL has it); -1
// when there is none.
int shared_slot_of(std::string_view name);

inline constexpr std::uint32_t kSharedBlockBytes = 2064;
inline constexpr int kSharedBlockBinding = 0;
inline constexpr const char* kSharedBlockName = "SharedParams";
// The water light pattern is sampled from this stage, as gfx_stage7.
inline constexpr int kWaterShadowStage = 7;

// The block's declaration, for pasting into shader sources after #version.
extern const char* const kSharedBlockGlsl;

}  // namespace render
