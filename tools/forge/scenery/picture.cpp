#include "forge/scenery/picture.h"

#include <algorithm>
#include <cmath>

#include "model/mesh_builder.h"
#include "model/mesh_texture.h"

namespace forge::scenery {
namespace {

std::uint8_t byte_of(float v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

std::vector<std::uint8_t> to_rgba8(const Picture& picture) {
  std::vector<std::uint8_t> rgba(picture.pixels.size() * 4);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const base::Vec4& p = picture.pixels[i];
    rgba[i * 4 + 0] = byte_of(p.x);
    rgba[i * 4 + 1] = byte_of(p.y);
    rgba[i * 4 + 2] = byte_of(p.z);
    rgba[i * 4 + 3] = byte_of(p.w);
  }
  return rgba;
}

std::shared_ptr<model::MeshTexture> make_texture(const std::string& name, const Picture& picture) {
  return std::make_shared<model::MeshTexture>(name, picture.width, picture.height, to_rgba8(picture));
}

model::Material textured_material(const std::string& texture_name, const Picture& picture) {
  model::Material material = model::plain_material(base::Vec4{1, 1, 1, 1});
  material.ambient = base::Vec4{0.35f, 0.35f, 0.35f, 1};
  material.texture_name = texture_name;
  material.texture = make_texture(texture_name, picture);
  return material;
}

model::Material leaf_material(const std::string& texture_name, const Picture& picture) {
  model::Material material = textured_material(texture_name, picture);
  material.cull = 1;
  material.blend = 1;
  material.src_blend = 5;   // source alpha
  material.dest_blend = 6;  // inverse source alpha
  material.texture_alpha = 1;
  return material;
}

base::Vec4 rgb(float r, float g, float b) { return {r, g, b, 1.0f}; }

base::Vec4 mix(const base::Vec4& a, const base::Vec4& b, float t) { return base::lerp(a, b, t); }

base::Vec4 shade(const base::Vec4& colour, float factor) {
  return {colour.x * factor, colour.y * factor, colour.z * factor, colour.w};
}

}  // namespace forge::scenery
