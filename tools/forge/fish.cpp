// The fish kinds of "Fish/": packages, thumbnails and captions.
#include <optional>
#include <vector>

#include "forge/fishes/fish_content.h"
#include "forge/generator.h"

namespace {

bool write_fish(const forge::Output& output) {
  const std::optional<std::vector<forge::scenery::ContentFile>> files = forge::fishes::fish_content();
  if (!files) return false;
  bool ok = true;
  for (const forge::scenery::ContentFile& file : *files) ok = output.write(file.path, file.bytes) && ok;
  return ok;
}

}  // namespace

FORGE_GENERATOR("fish", write_fish);
