#pragma once

#include <string>
#include <vector>

#include "render/effect_file.h"

namespace forge {

struct NamedEffect {
  std::string name;  // file name without extension, in "Shader/"
  render::EffectFile effect;
};

// "Shared" (the shared parameters with their defaults) and the object
// effects "BWModel", "BWModelBlend", "BWFish", "BWFishBump" and "Actinia".
std::vector<NamedEffect> effect_files();

}  // namespace forge
