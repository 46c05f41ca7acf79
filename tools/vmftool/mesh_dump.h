#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

namespace vmftool {

// Prints the mesh tree of "m8" bytes: every node with its flags, matrix,
// bounds, vertex format and counts, subsets, materials and textures, skin
// and bones, playback, tracks, animation sets, morph groups, parameters and
// tag, children indented below their parent. False, with the reader's
// reason printed, when the bytes are no mesh tree.
bool dump_mesh_tree(std::span<const std::uint8_t> bytes, std::ostream& out);

// Prints a package of meshes: a mesh package ("m8"), a model package
// ("Model.info" and the meshes of "Model.vmf"), or with `entry` just that
// entry (looked up in the package, then in its mesh store).
bool dump_package(std::span<const std::uint8_t> package, const std::string& entry, std::ostream& out,
                  std::ostream& err);

}  // namespace vmftool
