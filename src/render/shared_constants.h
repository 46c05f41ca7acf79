#pragma once

#include <cstdint>
#include <optional>

#include "base/matrix.h"
#include "base/vector.h"
#include "render/effect_set.h"

namespace render {

enum class LightType : std::uint32_t { Point = 1, Spot = 2, Directional = 3 };

// The scene light, with the fields of the classic light record.
struct Light {
  LightType type = LightType::Directional;
  base::Vec4 diffuse{1, 1, 1, 1};
  base::Vec4 specular{0, 0, 0, 0};
  base::Vec4 ambient{0, 0, 0, 0};
  base::Vec3 position{};
  base::Vec3 direction{0, -1, 0};  // where the light travels
  float range = 0.0f;
  float falloff = 0.0f;
  float attenuation0 = 0.0f;
  float attenuation1 = 0.0f;
  float attenuation2 = 0.0f;
  float theta = 0.0f;
  float phi = 0.0f;
};

// The values the shaders get from a light.
struct LightConstants {
  float diffuse_power = 0.0f;  // luminance of the diffuse colour
  base::Vec3 direction{};      // directional lights: towards the light; else zero
  base::Vec3 position{};       // point lights; else zero
  float inv_range = 0.0f;      // 1 / range, 0 for a range of 0
};

// The luminance 0.2125 r + 0.7154 g + 0.0721 b.
float light_luminance(const base::Vec4& colour);
LightConstants light_constants(const Light& light);
// The light as seen in an object's model space: a point light's position
// through the inverse world matrix, a directional light's direction (towards
// the light) as a normal, normalised; nothing for other lights.
std::optional<base::Vec3> light_in_model(const Light& light, const base::Matrix& inverse_world);
// (L, L, L, 1), or the colour's r, g and b times L with alpha 1. The colour
// is 0xAARRGGBB.
base::Vec4 line_colour(float luminance, std::optional<std::uint32_t> colour);

// The moving water light pattern: the scale of its texture coordinates and
// an offset that scrolls and wobbles.
struct WaterPatternMotion {
  base::Vec2 scale{1, 1};
  base::Vec2 scroll_speed{};
  base::Vec2 offset{};
  float wobble = 0.0f;

  // Advances by the frame duration and returns "g_vWaterSParam":
  // (scale.u, scale.v, offset.u + 0.1 sin w, offset.v + 0.1 cos w), with
  // w the wobble before this step.
  base::Vec4 step(float frame_seconds);
};

// The texture-coordinate scale of the water light-pattern map.
inline constexpr float kWaterMapUv = 1.0f / 128.0f;

// Sets the shared parameters on the shared effect (bound by
// load_shared_effect): the camera each frame, the light when it changes,
// and each object before it draws.
class SharedConstants {
 public:
  SharedConstants(EffectSet& shared, RenderDevices& devices) : shared_(shared), devices_(devices) {}

  // On the current device: view, its inverse, view x projection and the
  // projection; the camera position is kept for set_view_position.
  void set_camera(const base::Matrix& view, const base::Matrix& view_inverse, const base::Matrix& projection);
  const base::Vec3& camera_position() const { return camera_position_; }
  // On every device (device 0 is current afterwards).
  void set_light(const Light& light);
  const Light& light() const { return light_; }
  const LightConstants& light_values() const { return light_values_; }
  std::optional<base::Vec3> light_in_model(const base::Matrix& inverse_world) const {
    return render::light_in_model(light_, inverse_world);
  }
  // On the current device: the world matrix and the light in model space
  // (into the point or the directional slot by the light's type).
  void set_object(const base::Matrix& world, const std::optional<base::Vec3>& light_in_model);
  void set_line_colour(std::optional<std::uint32_t> colour);
  void set_view_position(const base::Vec3& position);
  // On the current device: the pattern's parameters, its map scale and the
  // device's frame texture.
  void set_water(const base::Vec4& params, float map_uv, gfx::TextureHandle texture);

 private:
  EffectSet& shared_;
  RenderDevices& devices_;
  Light light_;
  LightConstants light_values_;
  base::Vec3 camera_position_{};
};

}  // namespace render
