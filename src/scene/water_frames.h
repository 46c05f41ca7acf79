#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/gfx_device.h"
#include "render/texture_manager.h"

namespace scene {

// The frames of the water light pattern, made a texture on every device:
// the entries of "WS.vmf" (or "WS0.vmf" for devices without pixel shaders)
// in their order. The package comes from the "System" package of the
// program folder, else from the file "System/WS.vmf".
class WaterFrames {
 public:
  // Replaces the frames; false when the package is missing or no frame
  // loads.
  bool load(render::TextureManager& textures, std::string_view program_folder, int shader_level);
  void release(render::TextureManager& textures);

  int count() const { return static_cast<int>(frames_.size()); }
  // The frame on a device; empty for an index out of range.
  gfx::TextureHandle frame(std::size_t device, int index) const;

 private:
  std::vector<render::Texture*> frames_;
};

}  // namespace scene
