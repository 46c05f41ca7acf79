#pragma once

#include <cstdint>

namespace model {

// The flag word that opens every node record of a mesh tree ("m8"): which
// optional parts of the record follow, in this order in the file.
enum NodeFlags : std::uint16_t {
  kNodeGeometry = 0x0001,      // fvf, counts, vertices, indices
  kNodeSubsets = 0x0002,       // subset table and face attributes
  kNodeSubsetBoxes = 0x0004,   // one box per subset
  kNodeMaterials = 0x0008,     // material records and texture names
  kNodeDrawOrder = 0x0010,     // draw order and transparent count
  kNodeSkin = 0x0080,          // bones, influences, bone combinations
  kNodePlayback = 0x0100,      // playback parameters of the tree
  kNodeTracks = 0x0200,        // four keyframe tracks
  kNodeAnimation = 0x0400,     // animation controller limits and sets
  kNodeMorph = 0x0800,         // morph groups
  kNodeFirstChild = 0x1000,    // the first child's subtree follows
  kNodeNextSibling = 0x2000,   // the next sibling's subtree follows
  kNodeTag = 0x4000,           // a four-character tag and its data
  kNodeParams = 0x8000,        // a 64-byte object parameter block
};

}  // namespace model
