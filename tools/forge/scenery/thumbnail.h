#pragma once

#include <cstdint>
#include <vector>

#include "forge/scenery/caustics.h"
#include "forge/scenery/model_package.h"
#include "forge/scenery/picture.h"
#include "forge/scenery/scenery_meshes.h"
#include "scene/sea_set_record.h"

namespace forge::scenery {

inline constexpr std::uint32_t kThumbnailWidth = 128;
inline constexpr std::uint32_t kThumbnailHeight = 96;

// The tank seen from the sea set's camera in the first colours of the
// colour cycle (white light over a cyan to deep blue gradient), the
// anemone's tentacles standing at rest. Rendered at twice the size and
// averaged down.
Picture tank_picture(const SceneryMeshes& meshes, const std::vector<PlacedObject>& objects,
                     const scene::SeaSetRecord& record, const CausticFrames& caustics, std::uint32_t width,
                     std::uint32_t height);

// A 24-bit BMP file of the picture.
std::vector<std::uint8_t> encode_bmp24(const Picture& picture);

}  // namespace forge::scenery
