// The effects of "Shader/".
#include <optional>
#include <vector>

#include "forge/generator.h"
#include "forge/look/effect_sources.h"

namespace {

bool write_effects(const forge::Output& output) {
  bool ok = true;
  for (const forge::NamedEffect& file : forge::effect_files()) {
    const std::optional<std::vector<std::uint8_t>> bytes = render::encode_effect_file(file.effect);
    ok = bytes && output.write("Shader/" + file.name + ".fxo", *bytes) && ok;
  }
  return ok;
}

}  // namespace

FORGE_GENERATOR("effects", write_effects);
