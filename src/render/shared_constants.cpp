#include "render/shared_constants.h"

#include <cmath>

namespace render {

float light_luminance(const base::Vec4& colour) {
  return 0.2125f * colour.x + 0.7154f * colour.y + 0.0721f * colour.z;
}

LightConstants light_constants(const Light& light) {
  LightConstants values;
  values.diffuse_power = light_luminance(light.diffuse);
  if (light.type == LightType::Directional) values.direction = -light.direction;
  if (light.type == LightType::Point) values.position = light.position;
  values.inv_range = light.range != 0.0f ? 1.0f / light.range : 0.0f;
  return values;
}

std::optional<base::Vec3> light_in_model(const Light& light, const base::Matrix& inverse_world) {
  if (light.type == LightType::Point) return base::transform_coord(light.position, inverse_world);
  if (light.type == LightType::Directional) {
    return base::normalize(base::transform_normal(-light.direction, inverse_world));
  }
  return std::nullopt;
}

base::Vec4 line_colour(float luminance, std::optional<std::uint32_t> colour) {
  if (!colour) return base::Vec4{luminance, luminance, luminance, 1.0f};
  auto channel = [&](int shift) {
    return static_cast<float>((*colour >> shift) & 0xFF) / 255.0f * luminance;
  };
  return base::Vec4{channel(16), channel(8), channel(0), 1.0f};
}

base::Vec4 WaterPatternMotion::step(float frame_seconds) {
  offset.x += scroll_speed.x * frame_seconds;
  offset.y += scroll_speed.y * frame_seconds;
  const base::Vec4 params{scale.x, scale.y, offset.x + 0.1f * std::sin(wobble),
                          offset.y + 0.1f * std::cos(wobble)};
  wobble += frame_seconds;
  return params;
}

void SharedConstants::set_camera(const base::Matrix& view, const base::Matrix& view_inverse,
                                 const base::Matrix& projection) {
  shared_.set_matrix(kSlotView, view);
  shared_.set_matrix(kSlotViewInvert, view_inverse);
  shared_.set_matrix(kSlotViewProj, view * projection);
  shared_.set_matrix(kSlotProj, projection);
  camera_position_ = base::translation_of(view_inverse);
}

void SharedConstants::set_light(const Light& light) {
  light_ = light;
  light_values_ = light_constants(light);
  const std::size_t current = devices_.current;
  for (std::size_t device = 0; device < devices_.devices.size(); ++device) {
    devices_.current = device;
    shared_.set_vector(kSlotLightDir, light_values_.direction);
    shared_.set_vector(kSlotLightPos, light_values_.position);
    shared_.set_vector4(kSlotDiffuseColor, light.diffuse);
    shared_.set_vector4(kSlotAmbientColor, light.ambient);
    shared_.set_float(kSlotDiffusePower, light_values_.diffuse_power);
    shared_.set_float(kSlotLightInvRange, light_values_.inv_range);
  }
  devices_.current = devices_.devices.empty() ? current : 0;
}

void SharedConstants::set_object(const base::Matrix& world, const std::optional<base::Vec3>& in_model) {
  shared_.set_matrix(kSlotModel, world);
  if (!in_model) return;
  if (light_.type == LightType::Point) shared_.set_vector(kSlotLightPosInModel, *in_model);
  if (light_.type == LightType::Directional) shared_.set_vector(kSlotLightDirInModel, *in_model);
}

void SharedConstants::set_line_colour(std::optional<std::uint32_t> colour) {
  shared_.set_vector4(kSlotLineColor, line_colour(light_values_.diffuse_power, colour));
}

void SharedConstants::set_view_position(const base::Vec3& position) {
  shared_.set_vector(kSlotViewPosInModel, position);
}

void SharedConstants::set_water(const base::Vec4& params, float map_uv, gfx::TextureHandle texture) {
  shared_.set_vector4(kSlotWaterSParam, params);
  shared_.set_float(kSlotWaterSMapUV, map_uv);
  shared_.set_texture(kSlotWaterShadowTexture, texture);
}

}  // namespace render
