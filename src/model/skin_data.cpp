#include "model/skin_data.h"

#include <algorithm>

namespace model {

bool SkinData::bound() const {
  return !bones.empty() && bone_nodes.size() == bones.size() &&
         std::none_of(bone_nodes.begin(), bone_nodes.end(), [](std::uint32_t n) { return n == kNoNode; });
}

void SkinData::compute_bone_box() {
  bone_box_min = bone_box_max = base::Vec3{};
  for (std::size_t i = 0; i < bones.size(); ++i) {
    const base::Vec3 position = base::translation_of(bones[i].bind_matrix);
    bone_box_min = i == 0 ? position : base::minimize(bone_box_min, position);
    bone_box_max = i == 0 ? position : base::maximize(bone_box_max, position);
  }
}

}  // namespace model
