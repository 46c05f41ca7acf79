#include "render/shared_params.h"

#include <array>

namespace render {
namespace {

using T = EffectParamType;

// Matrices first (64 bytes each), then the four-float vectors, then the
// scalars, so std140 puts each at the offset written here.
constexpr std::array<SharedParamInfo, kSharedSlotCount> kParams = {{
    {"g_mView", T::Matrix, 1, 0},
    {"g_mViewInvert", T::Matrix, 1, 64},
    {"g_mViewProj", T::Matrix, 1, 128},
    {"g_mViewPosInModel", T::Float4, 1, 1856},
    {"g_mProj", T::Matrix, 1, 192},
    {"g_mModel", T::Matrix, 1, 256},
    {"g_mModelInvert", T::Matrix, 1, 320},
    {"g_mModelView", T::Matrix, 1, 384},
    {"g_mModelViewProj", T::Matrix, 1, 448},
    {"g_mModelBlend", T::Matrix, 1, 512},
    {"g_mSkinPalettes", T::Matrix, kSkinPaletteSize, 576},
    {"g_iSkinBones", T::Int, 1, 2048},
    {"g_cLineColor", T::Float4, 1, 1872},
    {"g_cAmbientColor", T::Float4, 1, 1888},
    {"g_cDiffuseColor", T::Float4, 1, 1904},
    {"g_fDiffusePower", T::Float, 1, 2052},
    {"g_vLightDir", T::Float4, 1, 1920},
    {"g_vLightDirInModel", T::Float4, 1, 1936},
    {"g_vLightPos", T::Float4, 1, 1952},
    {"g_vLightPosInModel", T::Float4, 1, 1968},
    {"g_fLightInvRange", T::Float, 1, 2056},
    {nullptr, T::Float, 0, 0},
    {"g_vFogDist", T::Float4, 1, 1984},
    {"g_vFogParam", T::Float4, 1, 2000},
    {"g_vFogViewPos", T::Float4, 1, 2016},
    {"g_vWaterSParam", T::Float4, 1, 2032},
    {"g_fWaterSMapUV", T::Float, 1, 2060},
    {"WaterShadowTexture", T::Texture, 1, 0},
}};

}  // namespace

const SharedParamInfo* shared_param(int slot) {
  if (slot < 0 || slot >= kSharedSlotCount || kParams[static_cast<std::size_t>(slot)].name == nullptr) {
    return nullptr;
  }
  return &kParams[static_cast<std::size_t>(slot)];
}

int shared_slot_of(std::string_view name) {
  for (int slot = 0; slot < kSharedSlotCount; ++slot) {
    const SharedParamInfo* info = shared_param(slot);
    if (info != nullptr && name == info->name) return slot;
  }
  return -1;
}

const char* const kSharedBlockGlsl = R"(
layout(std140, row_major) uniform SharedParams {
  mat4 g_mView;
  mat4 g_mViewInvert;
  mat4 g_mViewProj;
  mat4 g_mProj;
  mat4 g_mModel;
  mat4 g_mModelInvert;
  mat4 g_mModelView;
  mat4 g_mModelViewProj;
  mat4 g_mModelBlend;
  mat4 g_mSkinPalettes[20];
  vec4 g_mViewPosInModel;
  vec4 g_cLineColor;
  vec4 g_cAmbientColor;
  vec4 g_cDiffuseColor;
  vec4 g_vLightDir;
  vec4 g_vLightDirInModel;
  vec4 g_vLightPos;
  vec4 g_vLightPosInModel;
  vec4 g_vFogDist;
  vec4 g_vFogParam;
  vec4 g_vFogViewPos;
  vec4 g_vWaterSParam;
  int g_iSkinBones;
  float g_fDiffusePower;
  float g_fLightInvRange;
  float g_fWaterSMapUV;
};
uniform sampler2D gfx_stage7;
#define WaterShadowTexture gfx_stage7
)";

}  // namespace render
