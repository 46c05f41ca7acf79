#include "render/shader_level.h"

namespace render {

ShaderCapability derive_shader_capability(const DeviceCaps& caps, int current_level) {
  ShaderCapability result;
  result.level = current_level;
  const std::uint32_t version = caps.pixel_shader_version;
  if (version >= pixel_shader_version(2, 0)) {
    result.level = 3;
  } else if (version >= pixel_shader_version(1, 4)) {
    result.level = 2;
  } else if (version >= pixel_shader_version(1, 1)) {
    result.level = 1;
  }
  result.fixed_function_multitexture = version < pixel_shader_version(1, 1) &&
                                       caps.max_simultaneous_textures > 1 &&
                                       (caps.texture_op_caps & kTextureOpModulate) != 0 && result.level == 0;
  return result;
}

}  // namespace render
