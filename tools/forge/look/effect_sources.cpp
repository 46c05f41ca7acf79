// The aquarium's shaders. Every object effect lights with the scene's
// directional light, modulates its diffuse light by the moving water light
// pattern projected from above (world x and z), and fades into the water
// colour with distance. Matrices multiply row vectors (v * M), as the
// program stores them.
#include "forge/look/effect_sources.h"

#include "platform/gfx_device.h"
#include "render/shared_params.h"

namespace forge {
namespace {

using render::EffectFile;
using render::EffectParam;
using render::EffectParamType;
using render::EffectPass;
using render::EffectTechnique;

// Where a vertex comes from: the object's placement, a blend of two
// placements by the first blend weight, or the skinning palette (in world
// space for fish, in model space for the anemone's tentacles).
enum class Placement { Model, Blend, SkinWorld, SkinModel };

// How a fragment is shaded.
struct Shading {
  bool per_pixel = true;  // else the light is computed per vertex
  bool water = true;      // the light pattern
  bool bump = false;      // the normal map of stage 1
  bool specular = false;
  bool anemone = false;  // base and glow colours of the tentacles
  bool line = false;     // flat line colour
  // Light that wraps past the terminator, as a fish's shiny flank catches
  // light from above: 0 is plain Lambert.
  float wrap = 0.0f;
};

constexpr const char* kVertexInputs = R"(
layout(location = 0) in vec3 in_position;
layout(location = 1) in vec4 in_weights;
layout(location = 2) in vec4 in_indices;
layout(location = 3) in vec3 in_normal;
layout(location = 7) in vec2 in_uv;
out vec3 v_world;
out vec3 v_normal;
out vec2 v_uv;
out vec2 v_water;
out vec3 v_light;

// The palette holds 20 matrices; indices and the bone count are kept in it.
mat4 skin_matrix() {
  int bones = clamp(g_iSkinBones, 0, 3);
  mat4 m = mat4(0.0);
  float last = 1.0;
  for (int i = 0; i < bones; ++i) {
    m += g_mSkinPalettes[clamp(int(in_indices[i] + 0.5), 0, 19)] * in_weights[i];
    last -= in_weights[i];
  }
  m += g_mSkinPalettes[clamp(int(in_indices[bones] + 0.5), 0, 19)] * last;
  return m;
}

vec3 lighting(vec3 normal, vec2 water_uv, float wrap) {
  float diffuse = clamp((dot(normal, g_vLightDir.xyz) + wrap) / (1.0 + wrap), 0.0, 1.0);
  float caustic = texture(WaterShadowTexture, water_uv).r;
  return g_cAmbientColor.rgb + g_cDiffuseColor.rgb * diffuse * (0.55 + 0.9 * caustic);
}
)";

std::string placement_code(Placement placement) {
  switch (placement) {
    case Placement::Model:
      return "  mat4 world_matrix = g_mModel;\n";
    case Placement::Blend:
      return "  mat4 world_matrix = g_mModel * (1.0 - in_weights.x) + g_mModelBlend * in_weights.x;\n";
    case Placement::SkinWorld:
      return "  mat4 world_matrix = skin_matrix();\n";
    case Placement::SkinModel:
      return "  mat4 world_matrix = skin_matrix() * g_mModel;\n";
  }
  return {};
}

std::string vertex_source(Placement placement, const Shading& shading) {
  std::string source = "#version 330 core\n";
  source += render::kSharedBlockGlsl;
  source += kVertexInputs;
  source += "void main() {\n";
  source += placement_code(placement);
  source += R"(  vec4 world = vec4(in_position, 1.0) * world_matrix;
  vec4 clip = world * g_mViewProj;
  clip.z = 2.0 * clip.z - clip.w;  // depth 0..1 to GL's -1..1
  gl_Position = clip;
  v_world = world.xyz;
  v_normal = normalize((vec4(in_normal, 0.0) * world_matrix).xyz + vec3(0.0, 1e-6, 0.0));
  v_uv = in_uv;
  v_water = world.xz * g_fWaterSMapUV * g_vWaterSParam.xy + g_vWaterSParam.zw;
)";
  source += shading.per_pixel
                ? "  v_light = vec3(1.0);\n"
                : "  v_light = lighting(v_normal, v_water, " + std::to_string(shading.wrap) + ");\n";
  source += "}\n";
  return source;
}

std::string fragment_source(const Shading& shading) {
  std::string source = "#version 330 core\n";
  source += gfx::kAlphaTestGlsl;
  source += render::kSharedBlockGlsl;
  source += R"(
uniform sampler2D gfx_stage0;  // DiffuseTexture
uniform sampler2D gfx_stage1;  // BumpmapTexture
uniform vec4 s_cGlowColor;
uniform vec4 s_cBaseColor;
uniform vec4 s_vTentParam;
in vec3 v_world;
in vec3 v_normal;
in vec2 v_uv;
in vec2 v_water;
in vec3 v_light;
out vec4 frag_colour;

vec3 camera_position() { return vec3(g_mViewInvert[0][3], g_mViewInvert[1][3], g_mViewInvert[2][3]); }

vec3 fogged(vec3 colour) {
  float distance = length(v_world - camera_position());
  float range = max(g_vFogDist.y - g_vFogDist.x, 1e-3);
  float amount = clamp((distance - g_vFogDist.x) / range, 0.0, 1.0) * g_vFogParam.w;
  return mix(colour, g_vFogParam.rgb, amount);
}

void main() {
)";
  if (shading.line) {
    source += "  gfx_alpha_test(g_cLineColor.a);\n  frag_colour = g_cLineColor;\n}\n";
    return source;
  }
  source += "  vec4 texel = texture(gfx_stage0, v_uv);\n";
  source += "  vec3 normal = normalize(v_normal);\n";
  if (shading.bump) {
    source += "  vec3 bump = texture(gfx_stage1, v_uv).rgb * 2.0 - 1.0;\n";
    source += "  normal = normalize(normal + vec3(bump.x, bump.y, 0.0) * 0.4);\n";
  }
  if (shading.per_pixel) {
    const std::string wrap = std::to_string(shading.wrap);
    source += "  float diffuse = clamp((dot(normal, g_vLightDir.xyz) + " + wrap + ") / (1.0 + " + wrap +
              "), 0.0, 1.0);\n  float caustic = ";
    source += shading.water ? "texture(WaterShadowTexture, v_water).r;\n" : "0.5;\n";
    source +=
        "  vec3 light = g_cAmbientColor.rgb + g_cDiffuseColor.rgb * diffuse * (0.55 + 0.9 * caustic);\n";
  } else {
    source += "  vec3 light = v_light;\n";
  }
  source += "  vec4 colour = vec4(texel.rgb * light, texel.a);\n";
  if (shading.specular) {
    source += R"(  vec3 to_eye = normalize(camera_position() - v_world);
  vec3 halfway = normalize(to_eye + g_vLightDir.xyz);
  colour.rgb += g_cDiffuseColor.rgb * pow(max(dot(normal, halfway), 0.0), 24.0) * 0.35;
)";
  }
  if (shading.anemone) {
    source += R"(  float tip = clamp(v_uv.y * s_vTentParam.x, 0.0, 1.0);
  colour = colour * s_cBaseColor + s_cGlowColor * tip * texel.a;
)";
  }
  source += "  gfx_alpha_test(colour.a);\n  frag_colour = vec4(fogged(colour.rgb), colour.a);\n}\n";
  return source;
}

EffectTechnique technique(const char* name, Placement placement, const Shading& shading,
                          std::vector<std::pair<std::uint32_t, std::uint32_t>> states = {}) {
  EffectPass pass{"P0", std::move(states), vertex_source(placement, shading), fragment_source(shading)};
  return EffectTechnique{name, {std::move(pass)}};
}

EffectParam texture_param(const char* name, std::uint8_t stage) {
  return EffectParam{name, EffectParamType::Texture, false, 1, stage, {}};
}

EffectParam float4_param(const char* name, float x, float y, float z, float w) {
  return EffectParam{name, EffectParamType::Float4, false, 1, 0, {x, y, z, w}};
}

constexpr Shading kLit{};
constexpr Shading kVertexLit{.per_pixel = false, .water = false};
constexpr float kFishWrap = 0.6f;
constexpr Shading kFishLit{.wrap = kFishWrap};
constexpr Shading kFishVertexLit{.per_pixel = false, .water = false, .wrap = kFishWrap};
constexpr Shading kLine{.line = true};

// A plain object effect: TE_PS00, TE_PS11 and TE_LINE.
EffectFile plain_effect(Placement placement, Shading lit, Shading vertex_lit) {
  EffectFile effect;
  effect.parameters.push_back(texture_param("DiffuseTexture", 0));
  effect.techniques.push_back(technique("TE_PS11", placement, lit));
  effect.techniques.push_back(technique("TE_PS00", placement, vertex_lit));
  effect.techniques.push_back(technique("TE_LINE", placement, kLine));
  return effect;
}

// The fish's bump variant: TE_PS20 (with highlights), TE_PS14 and TE_LINE.
EffectFile fish_bump_effect(Placement placement) {
  EffectFile effect;
  effect.parameters.push_back(texture_param("DiffuseTexture", 0));
  effect.parameters.push_back(texture_param("BumpmapTexture", 1));
  effect.techniques.push_back(
      technique("TE_PS20", placement, Shading{.bump = true, .specular = true, .wrap = kFishWrap}));
  effect.techniques.push_back(technique("TE_PS14", placement, Shading{.bump = true, .wrap = kFishWrap}));
  effect.techniques.push_back(technique("TE_LINE", placement, kLine));
  return effect;
}

EffectFile anemone_effect() {
  EffectFile effect = plain_effect(Placement::SkinModel, Shading{.anemone = true},
                                   Shading{.per_pixel = false, .water = false, .anemone = true});
  effect.parameters.push_back(float4_param("s_cGlowColor", 0.9f, 0.45f, 0.7f, 1.0f));
  effect.parameters.push_back(float4_param("s_cBaseColor", 1.0f, 0.9f, 0.85f, 1.0f));
  effect.parameters.push_back(float4_param("s_vTentParam", 1.0f, 0.0f, 0.0f, 0.0f));
  return effect;
}

std::vector<float> identity_values(std::size_t count) {
  std::vector<float> values(count * 16, 0.0f);
  for (std::size_t m = 0; m < count; ++m) {
    for (std::size_t i = 0; i < 4; ++i) values[m * 16 + i * 5] = 1.0f;
  }
  return values;
}

// The shared parameters with their starting values (the fog ones stay as
// given here: a blue-green haze from 60 units on), and one line technique.
EffectFile shared_effect() {
  EffectFile effect;
  for (int slot = 0; slot < render::kSharedSlotCount; ++slot) {
    const render::SharedParamInfo* info = render::shared_param(slot);
    if (info == nullptr) continue;
    EffectParam param{info->name, info->type, true, info->elements, 0, {}};
    switch (slot) {
      case render::kSlotSkinBones:
        param.defaults = {0};
        break;
      case render::kSlotLineColor:
        param.defaults = {1, 1, 1, 1};
        break;
      case render::kSlotAmbientColor:
        param.defaults = {0.3f, 0.3f, 0.3f, 1};
        break;
      case render::kSlotDiffuseColor:
        param.defaults = {1, 1, 1, 1};
        break;
      case render::kSlotDiffusePower:
        param.defaults = {1};
        break;
      case render::kSlotLightDir:
        param.defaults = {0, 1, 0, 0};
        break;
      case render::kSlotFogDist:
        param.defaults = {60, 400, 0, 0};
        break;
      case render::kSlotFogParam:
        param.defaults = {0.08f, 0.3f, 0.38f, 0.7f};
        break;
      case render::kSlotWaterSParam:
        param.defaults = {1, 1, 0, 0};
        break;
      case render::kSlotWaterSMapUV:
        param.defaults = {1.0f / 128.0f};
        break;
      case render::kSlotWaterShadowTexture:
        param.stage = render::kWaterShadowStage;
        break;
      default:
        if (info->type == EffectParamType::Matrix) {
          param.defaults = identity_values(info->elements);
        } else {
          param.defaults.assign(render::effect_param_components(info->type) * info->elements, 0.0f);
        }
        break;
    }
    effect.parameters.push_back(std::move(param));
  }
  effect.techniques.push_back(technique("TE_SHARED", Placement::Model, kLine));
  return effect;
}

}  // namespace

std::vector<NamedEffect> effect_files() {
  std::vector<NamedEffect> files;
  files.push_back({"Shared", shared_effect()});
  files.push_back({"BWModel", plain_effect(Placement::Model, kLit, kVertexLit)});
  files.push_back({"BWModelBlend", plain_effect(Placement::Blend, kLit, kVertexLit)});
  files.push_back({"BWFish", plain_effect(Placement::SkinWorld, kFishLit, kFishVertexLit)});
  files.push_back({"BWFishBump", fish_bump_effect(Placement::SkinWorld)});
  files.push_back({"Actinia", anemone_effect()});
  return files;
}

}  // namespace forge
