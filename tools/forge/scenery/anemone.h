#pragma once

#include <memory>
#include <vector>

#include "base/matrix.h"
#include "forge/scenery/anemone_data.h"
#include "forge/scenery/picture.h"
#include "model/mesh_node.h"

namespace forge::scenery {

// The anemone in its own units: the tentacle template stands 1 unit tall,
// the column is about 2 units wide. Layouts place it scaled by about this
// much, so the tentacles reach a few centimetres and the water current (in
// model units) sways them visibly.
inline constexpr float kAnemoneScale = 8.0f;
// How far the column's foot reaches below its origin.
inline constexpr float kAnemoneFoot = 0.15f;

// The anemone's mesh: a root frame tagged "ACTI" with the tentacle data and
// two children, "body" (the column with its oral disc) and "hand" (one
// tentacle standing on +y, 1 unit tall, texture v running from 0 at the root
// to 1 at the tip).
std::unique_ptr<model::MeshNode> make_anemone(const std::string& name);

// The tentacle data the mesh carries: rings of roots on the oral disc, the
// outer ones reaching outwards.
AnemoneData anemone_data();

// Each tentacle standing at rest along its growth direction, at the middle
// of its scale ranges: the tentacle template's model-to-anemone transforms,
// for pictures made without the tentacle simulation.
std::vector<base::Matrix> resting_tentacles(const AnemoneData& data);

Picture anemone_body_texture();
Picture anemone_tentacle_texture();

}  // namespace forge::scenery
