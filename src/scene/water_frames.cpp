#include "scene/water_frames.h"

#include <optional>
#include <string>

#include "base/file_io.h"
#include "render/package_reader.h"

namespace scene {
namespace {

// The bytes of a "System" resource: the packed "System" package's entry,
// else the loose file in the "System" folder.
std::optional<render::Block> read_system_resource(std::string_view program_folder, const std::string& name) {
  render::PackageReader system;
  const std::string package = std::string(program_folder) + "System";
  if (system.open_file(package.c_str(), true) && system.read(name) != nullptr) return system.detach_current();
  std::optional<std::vector<std::uint8_t>> file = base::read_file(std::string(program_folder) + "System/" + name);
  if (!file) return std::nullopt;
  return render::Block::copy_of(*file);
}

}  // namespace

bool WaterFrames::load(render::TextureManager& textures, std::string_view program_folder, int shader_level) {
  release(textures);
  std::optional<render::Block> bytes =
      read_system_resource(program_folder, shader_level == 0 ? "WS0.vmf" : "WS.vmf");
  render::PackageReader frames;
  if (!bytes || !frames.open_memory(std::move(*bytes))) return false;
  for (std::uint32_t i = 1; i <= frames.count(); ++i) {
    const std::string name = frames.entry(i)->name;
    if (render::Texture* texture = textures.load_from_package(frames, name, false)) frames_.push_back(texture);
  }
  return !frames_.empty();
}

void WaterFrames::release(render::TextureManager& textures) {
  for (render::Texture* texture : frames_) textures.release(texture);
  frames_.clear();
}

gfx::TextureHandle WaterFrames::frame(std::size_t device, int index) const {
  if (index < 0 || index >= count()) return {};
  return frames_[static_cast<std::size_t>(index)]->main(device);
}

}  // namespace scene
