#pragma once

#include <memory>

#include "forge/fishes/body_shape.h"
#include "model/material.h"
#include "model/mesh_node.h"

namespace forge::fishes {

// The body frame "body": rings of super-ellipse sections from the tail end
// to a rounded nose, closed at both ends, in the skin's texture space (u
// around from the belly, v along from the nose).
std::unique_ptr<model::MeshNode> make_body(const BodyShape& shape, const model::Material& skin);

}  // namespace forge::fishes
