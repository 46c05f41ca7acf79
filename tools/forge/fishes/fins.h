#pragma once

#include <memory>
#include <vector>

#include "base/vector.h"
#include "forge/fishes/body_shape.h"
#include "model/material.h"
#include "model/mesh_node.h"

namespace forge::fishes {

// Fins are thin double-sided sheets, each its own frame, textured with rays
// from the base (v = 0) to a translucent edge (v = 1).

// The tail fin "tail" behind the body's tail end: forked or rounded.
std::unique_ptr<model::MeshNode> make_tail(const BodyShape& shape, const model::Material& material);

// A median fin on the back (upward) or under the belly. `fold` 0 stands the
// fin up, 1 lays it back against the body (the fin's speed morph target).
std::unique_ptr<model::MeshNode> make_median_fin(const BodyShape& shape, const MedianFin& fin, bool upward,
                                                 float fold, const model::Material& material, const char* name);
// The vertex positions of that fin, in the order of its vertices.
std::vector<base::Vec3> median_fin_positions(const BodyShape& shape, const MedianFin& fin, bool upward, float fold);

// One pectoral fin on the +x (side 1) or -x (side -1) flank, and the point
// it turns about (on its base, at the body).
std::unique_ptr<model::MeshNode> make_pectoral(const BodyShape& shape, float side, const model::Material& material,
                                               const char* name);
base::Vec3 pectoral_hinge(const BodyShape& shape, float side);

// Both ventral fins in one frame "ventral".
std::unique_ptr<model::MeshNode> make_ventral(const BodyShape& shape, const model::Material& material);

}  // namespace forge::fishes
