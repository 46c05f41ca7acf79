#pragma once

// The fish the program ships, made by the content generator, in a swim box
// like the default tank's with a hiding zone by the anemone: for the soak
// test, the allocation test and the fish benchmark.

#include <cstdint>
#include <vector>

#include "base/matrix.h"
#include "fish/fish_manager.h"
#include "forge/fishes/fish_content.h"
#include "render/package_reader.h"
#include "scene/group_box.h"

namespace fish_kit {

inline const scene::AlignedBox kShippedSwimBox{{-60, 4, -22}, {60, 58, 22}};

// The default tank's swim box and its one hiding zone.
inline void set_shipped_swim_box(fish::FishManager& manager) {
  scene::GroupBoxList zones;
  scene::GroupBox anemone;
  anemone.transform = base::scaling(10, 8, 10) * base::translation(20, 8, 5);
  zones.boxes().push_back(anemone);
  manager.SetSwimBox(nullptr, &zones, kShippedSwimBox);
}

// The open package of a shipped kind; `opened` is false when the forge could
// not make it.
struct ShippedKind {
  explicit ShippedKind(int kind)
      : bytes(forge::fishes::fish_package(kind).value_or(std::vector<std::uint8_t>{})),
        opened(reader.open_memory(bytes)) {}
  std::vector<std::uint8_t> bytes;
  render::PackageReader reader;
  bool opened;
};

}  // namespace fish_kit
