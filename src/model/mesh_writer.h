#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "model/mesh_node.h"

namespace render {
class PackageBuilder;
}

namespace model {

// The "m8" bytes of a tree: the node records of the root, its subtree and
// its sibling chain in file order, each with the node's local matrix and the
// optional parts the node has. Reading the result gives back the same tree. nullopt for a tree that
// the format cannot hold (a name or texture name above 255 bytes, a morph
// group above 65535 entries, buffers that disagree with their counts, bone
// combinations of another width than the palette).
std::optional<std::vector<std::uint8_t>> encode_mesh_tree(const MeshNode& root);

// Adds the tree as the entry "m8" (packed) to a mesh package being built.
bool add_mesh_tree(render::PackageBuilder& builder, const MeshNode& root);

// The time stamp of entries written from memory by the model writers, so
// that the same content always gives the same bytes: 2000-01-01 12:00 UTC.
inline constexpr std::uint64_t kFixedEntryTime = 125912016000000000ULL;

// A whole mesh package in memory: "m8" and, under each material's texture
// name, the texture's picture as a PNG file. The package carries
// package_name (empty: none). nullopt when the tree cannot be encoded.
std::optional<std::vector<std::uint8_t>> encode_mesh_package(const MeshNode& root, std::string_view package_name);

}  // namespace model
