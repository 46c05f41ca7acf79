#pragma once

#include "render/device_caps.h"

namespace render {

// The effect tier a device's pixel shaders allow, and whether a device
// without usable pixel shaders can still blend textures in fixed-function
// stages.
struct ShaderCapability {
  int level = 0;  // 0 none, 1 from version 1.1, 2 from 1.4, 3 from 2.0
  bool fixed_function_multitexture = false;
};

// The capability for freshly read device capabilities, given the current
// one. Below pixel shader 1.1 the level stays what it was; the multitexture
// flag is set only then, with the level at 0, more than one simultaneous
// texture and the modulate operation.
ShaderCapability derive_shader_capability(const DeviceCaps& caps, int current_level);

}  // namespace render
