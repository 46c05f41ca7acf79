#pragma once

#include <memory>
#include <vector>

#include "base/vector.h"
#include "forge/fishes/body_shape.h"
#include "model/material.h"
#include "model/mesh_node.h"

namespace forge::fishes {

// Both eyes in one frame "eyes": flattened spheres half sunk into the head,
// the iris disc of the eye texture facing outwards. Vertices with x < 0 are
// the left eye, the others the right one.
std::unique_ptr<model::MeshNode> make_eyes(const BodyShape& shape, const model::Material& material);

// The lips at the nose, frame "lips": a short tube of lip rings around a
// dark throat. `open` 0 gives the closed mouth (a slit), 1 the open one; the
// vertex order is the same for every opening, so the two are morph targets
// of each other. skin draws the lips, throat the inside.
std::unique_ptr<model::MeshNode> make_lips(const BodyShape& shape, float open, const model::Material& skin,
                                           const model::Material& throat);
std::vector<base::Vec3> lip_positions(const BodyShape& shape, float open);

// Where the mouth is: the middle of the lips' front ring.
base::Vec3 mouth_point(const BodyShape& shape);

}  // namespace forge::fishes
