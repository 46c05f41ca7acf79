#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/mesh_node.h"

namespace model {

class TextureSource;

// Reads a mesh tree, the "m8" entry of a mesh package: node records in file
// order (a record, its first child's subtree, then its next sibling's
// subtree). Every count is checked against the bytes that are left before
// anything is allocated for it, and every index against what it indexes; a
// tree deeper than kMaxTreeDepth is refused. Any failure anywhere fails the
// whole tree: nullptr, and a short reason in *error.
//
// After reading: the root is marked and the tree indexed, morph groups move
// to the root, nodes without a stored draw order get one, skins are bound
// by bone name, playback blocks are shared by the nodes they cover, and a
// root without a name is named "m8". Textures are looked up through
// `textures` when it is given.
std::unique_ptr<MeshNode> read_mesh_tree(std::span<const std::uint8_t> bytes, TextureSource* textures = nullptr,
                                         std::string* error = nullptr);

// The longest track duration of all nodes of a tree.
float longest_track_duration(const MeshNode& root);

}  // namespace model
