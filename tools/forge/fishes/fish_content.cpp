#include "forge/fishes/fish_content.h"

#include <cmath>
#include <numbers>

#include "base/png.h"
#include "forge/fishes/attribute_records.h"
#include "forge/fishes/fish_model.h"
#include "forge/fishes/skin_textures.h"
#include "forge/scenery/soft_render.h"
#include "forge/scenery/thumbnail.h"
#include "model/mesh_writer.h"
#include "render/package_builder.h"

namespace forge::fishes {
namespace {

std::vector<std::uint8_t> png_of(const scenery::Picture& picture) {
  return base::encode_png(picture.width, picture.height, 4, scenery::to_rgba8(picture),
                          std::size_t{picture.width} * 4);
}

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

std::optional<std::vector<std::uint8_t>> fish_package(const FishKind& kind) {
  const FishPictures pictures = paint_fish(kind);
  const std::unique_ptr<model::MeshNode> fish = make_fish_model(kind, pictures);
  if (!fish) return std::nullopt;
  const std::optional<std::vector<std::uint8_t>> tree = model::encode_mesh_tree(*fish);
  const std::vector<std::uint8_t> normal_map = encode_normal_map(pictures.scales);
  if (!tree || normal_map.empty()) return std::nullopt;

  const std::string number = std::to_string(kind.number);
  render::PackageBuilder builder;
  builder.set_fixed_time(model::kFixedEntryTime);
  builder.set_class_byte(kind.class_byte);
  bool ok = builder.add(*tree, number + ".m8", true) >= 0;
  ok = ok && builder.add(png_of(pictures.skin), skin_texture_name(kind), false) >= 0;
  ok = ok && builder.add(normal_map, scales_texture_name(kind), true) >= 0;
  ok = ok && builder.add(png_of(pictures.fins), fin_texture_name(kind), false) >= 0;
  ok = ok && builder.add(png_of(pictures.tail), tail_texture_name(kind), false) >= 0;
  ok = ok && builder.add(png_of(pictures.eye), eye_texture_name(kind), false) >= 0;
  ok = ok && builder.add(bytes_of(attribute_x_file(kind)), number + ".att", true) >= 0;
  ok = ok && builder.add(encode_attribute_record(kind.swim), number + ".att+", false) >= 0;
  if (!ok) return std::nullopt;
  return builder.encode(number);
}

std::optional<std::vector<std::uint8_t>> fish_package(int number) {
  for (const FishKind& kind : fish_kinds()) {
    if (kind.number == number) return fish_package(kind);
  }
  return std::nullopt;
}

scenery::Picture fish_picture(const model::MeshNode& fish, const FishKind& kind, std::uint32_t width,
                              std::uint32_t height, bool from_above) {
  scenery::SceneView view;
  view.width = width * 2;
  view.height = height * 2;
  view.fov_y = 0.5f;
  const float aspect = static_cast<float>(width) / static_cast<float>(height);
  // Far enough back that the whole length fits the width with a margin.
  const float half_fov_x = std::atan(std::tan(view.fov_y * 0.5f) * aspect);
  const float distance = 0.62f * kind.length / std::tan(half_fov_x) + 0.1f * kind.length;
  if (from_above) {
    view.eye = {0.0f, distance, 0.0f};
    view.angles = {std::numbers::pi_v<float> * 0.5f, std::numbers::pi_v<float> * 0.5f, 0.0f};
  } else {
    view.eye = {-distance, 0.12f * distance, 0.0f};
    view.angles = {0.12f, std::numbers::pi_v<float> * 0.5f, 0.0f};
  }
  view.near_plane = 0.05f * kind.length;
  view.far_plane = 10.0f * kind.length + distance;
  view.light_travel = base::normalize(base::Vec3{0.45f, -1.0f, 0.3f});
  view.light_colour = {1.0f, 0.98f, 0.94f};
  view.ambient = 0.38f;
  view.gradient_top = {0.22f, 0.55f, 0.68f};
  view.gradient_bottom = {0.04f, 0.18f, 0.32f};
  view.fog_colour = {0.1f, 0.3f, 0.45f};
  view.fog_start = 10.0f * kind.length;
  view.fog_end = 20.0f * kind.length;
  view.fog_amount = 0.0f;
  std::vector<scenery::DrawItem> items;
  model::for_each_node(fish, [&](const model::MeshNode& node) {
    if (node.has_geometry) items.push_back({&node, node.local_matrix, false, {1, 1, 1}, {}});
  });
  return scenery::half_size(scenery::render_scene(view, items));
}

std::optional<std::vector<scenery::ContentFile>> fish_content() {
  std::vector<scenery::ContentFile> files;
  for (const FishKind& kind : fish_kinds()) {
    const std::optional<std::vector<std::uint8_t>> package = fish_package(kind);
    const std::unique_ptr<model::MeshNode> fish = make_fish_model(kind, paint_fish(kind));
    if (!package || !fish) return std::nullopt;
    const std::vector<std::uint8_t> thumbnail =
        scenery::encode_bmp24(fish_picture(*fish, kind, kThumbnailWidth, kThumbnailHeight, false));
    if (thumbnail.empty()) return std::nullopt;
    const std::string path = "Fish/" + std::to_string(kind.number);
    files.push_back({path + ".vmf", *package});
    files.push_back({path + ".bmp", thumbnail});
    files.push_back({path + ".txt", bytes_of(kind.caption)});
  }
  return files;
}

}  // namespace forge::fishes
