// The tanks of "Scene/" and the water light pattern of "System/".
#include <optional>
#include <vector>

#include "forge/generator.h"
#include "forge/scenery/tank_content.h"

namespace {

bool write_tanks(const forge::Output& output) {
  const std::optional<std::vector<forge::scenery::ContentFile>> files = forge::scenery::tank_content();
  if (!files) return false;
  bool ok = true;
  for (const forge::scenery::ContentFile& file : *files) ok = output.write(file.path, file.bytes) && ok;
  return ok;
}

}  // namespace

FORGE_GENERATOR("tanks", write_tanks);
