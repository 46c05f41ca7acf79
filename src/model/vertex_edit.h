#pragma once

#include <cstdint>
#include <vector>

#include "base/vector.h"

namespace model {

class MeshNode;

// Copies every vertex of the node into the layout of new_fvf: position,
// blend values (as many as both formats have), then the normal, point size,
// diffuse and specular colours where both formats have them, then texture
// coordinates up to the smaller of the two totals; other fields become
// zero. False, with the node unchanged, for a format that is invalid or has
// no position.
bool change_fvf(MeshNode& node, std::uint32_t new_fvf);
// change_fvf on every node of the tree that has geometry; false when any
// node could not change.
bool change_tree_fvf(MeshNode& root, std::uint32_t new_fvf);

// Converts the node to new_fvf and writes a unit tangent per vertex into
// texture set 1, from the positions and set-0 coordinates of the triangles
// that use it (made orthogonal to the normal when there is one). False,
// with the node unchanged, when new_fvf has no set 1 of at least three
// floats or the node no set 0 of at least two.
bool make_tangent_space(MeshNode& node, std::uint32_t new_fvf);

// Averages the normals of vertices at (nearly) the same position, subset by
// subset: an unvisited vertex starts a group that every later unvisited
// vertex within `tolerance` on each axis joins; the plain mean of the
// group's normals (not renormalised) goes into every member of a group of
// two or more. Each group's first position and its normal are appended to
// the optional outputs. False when the format has no normal.
bool smooth_normals(MeshNode& node, float tolerance, std::vector<base::Vec3>* group_positions = nullptr,
                    std::vector<base::Vec3>* group_normals = nullptr);
bool smooth_tree_normals(MeshNode& root, float tolerance);

}  // namespace model
