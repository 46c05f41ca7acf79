#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forge/fishes/fish_kind.h"
#include "forge/scenery/picture.h"

namespace forge::fishes {

// The pictures of a kind. The skin lies in the body's texture space: u runs
// around the body (0 the belly, 0.5 the back, 1 the belly again, so left
// and right match), v along it (0 at the nose, 1 at the tail end).
struct FishPictures {
  scenery::Picture skin;    // countershading, pattern, iridescence
  scenery::Picture scales;  // the skin's normal map of overlapping scales
  scenery::Picture fins;    // rays and translucent edge: u across, v base to edge
  scenery::Picture tail;
  scenery::Picture eye;     // iris, pupil and highlight on a disc
};

FishPictures paint_fish(const FishKind& kind);

// Texture names inside a kind's package: "<kind>-d.png" for the skin, its
// normal map is the skin's companion "<kind>-b.dds".
std::string skin_texture_name(const FishKind& kind);
std::string scales_texture_name(const FishKind& kind);
std::string fin_texture_name(const FishKind& kind);
std::string tail_texture_name(const FishKind& kind);
std::string eye_texture_name(const FishKind& kind);

// A DDS file of the picture (32-bit, no alpha), as normal maps are stored.
std::vector<std::uint8_t> encode_normal_map(const scenery::Picture& picture);

// Scale shape at a point of the skin: the height of the visible scale
// (0 at its free edge, 1 near its root) and how close the point is to that
// edge (0..1). Scales overlap towards the tail.
struct ScaleSample {
  float height = 0.0f;
  float edge = 0.0f;
};
ScaleSample scale_at(float u, float v, int around, int along);

}  // namespace forge::fishes
