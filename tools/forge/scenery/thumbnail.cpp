#include "forge/scenery/thumbnail.h"

#include <algorithm>
#include <cmath>

#include "forge/scenery/anemone.h"
#include "forge/scenery/soft_render.h"
#include "render/packed_dib.h"

namespace forge::scenery {
namespace {

base::Vec3 colour_of(std::uint32_t colorref) {
  return {static_cast<float>(colorref & 0xFF) / 255.0f, static_cast<float>((colorref >> 8) & 0xFF) / 255.0f,
          static_cast<float>((colorref >> 16) & 0xFF) / 255.0f};
}

const model::MeshNode* node_named(const model::MeshNode& root, std::string_view name) {
  const model::MeshNode* found = nullptr;
  model::for_each_node(root, [&](const model::MeshNode& node) {
    if (found == nullptr && node.name == name) found = &node;
  });
  return found;
}

}  // namespace

Picture tank_picture(const SceneryMeshes& meshes, const std::vector<PlacedObject>& objects,
                     const scene::SeaSetRecord& record, const CausticFrames& caustics, std::uint32_t width,
                     std::uint32_t height) {
  SceneView view;
  view.width = width * 2;
  view.height = height * 2;
  view.eye = record.home_position();
  view.angles = record.home_angles();
  view.fov_y = record.field_of_view();
  view.near_plane = record.near_plane();
  view.far_plane = record.far_plane();
  view.light_travel = record.light_direction();
  view.light_colour = {1, 1, 1};
  view.ambient = 0.25f;
  view.gradient_top = {0.5f, 1.0f, 1.0f};
  view.gradient_bottom = {0.0f, 0.25f, 0.5f};
  view.fog_colour = {0.08f, 0.3f, 0.38f};
  view.caustics = &caustics;
  view.caustic_scale = record.pattern_scale();

  const AnemoneData anemone = anemone_data();
  const std::vector<base::Matrix> tentacles = resting_tentacles(anemone);
  std::vector<DrawItem> items;
  for (const PlacedObject& object : objects) {
    const model::MeshNode* mesh = meshes.find(object.mesh);
    if (mesh == nullptr) continue;
    if (mesh->tag && mesh->tag->code == model::tag_code("ACTI")) {
      const model::MeshNode* body = node_named(*mesh, "body");
      const model::MeshNode* hand = node_named(*mesh, "hand");
      if (body != nullptr)
        items.push_back(DrawItem{body, body->local_matrix * object.placement, false, {1, 1, 1}, {}});
      if (hand == nullptr) continue;
      for (const base::Matrix& tentacle : tentacles) {
        items.push_back({hand, tentacle * object.placement, true, colour_of(anemone.base_colour),
                         colour_of(anemone.glow_colour) * 0.8f});
      }
      continue;
    }
    if (mesh->has_geometry)
      items.push_back(DrawItem{mesh, mesh->local_matrix * object.placement, false, {1, 1, 1}, {}});
  }
  return half_size(render_scene(view, items));
}

std::vector<std::uint8_t> encode_bmp24(const Picture& picture) {
  render::PackedDib dib;
  if (!dib.create(static_cast<std::int32_t>(picture.width), static_cast<std::int32_t>(picture.height), 24))
    return {};
  const auto byte = [](float v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  for (std::uint32_t y = 0; y < picture.height; ++y) {
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const base::Vec4& p = picture.at(x, y);
      dib.set_pixel(x, y, byte(p.x) << 16 | byte(p.y) << 8 | byte(p.z));
    }
  }
  return dib.encode_bmp();
}

}  // namespace forge::scenery
