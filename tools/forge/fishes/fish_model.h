#pragma once

#include <memory>

#include "forge/fishes/fish_kind.h"
#include "forge/fishes/skin_textures.h"
#include "model/mesh_node.h"

namespace forge::fishes {

// Frame names of a fish's mesh tree.
inline constexpr const char* kBodyFrame = "body";
inline constexpr const char* kLipsFrame = "lips";
// An empty frame standing where the mouth is: the one frame whose name
// holds "mo", so the fish finds its mouth point by name.
inline constexpr const char* kMouthFrame = "mouth";
inline constexpr const char* kEyesFrame = "eyes";
inline constexpr const char* kDorsalFrame = "dorsal";
inline constexpr const char* kAnalFrame = "anal";
inline constexpr const char* kTailFrame = "tail";
inline constexpr const char* kLeftPectoralFrame = "fin_pel";
inline constexpr const char* kRightPectoralFrame = "fin_per";
inline constexpr const char* kVentralFrame = "ventral";

// The kind's mesh tree: a root frame "Fish<kind>" carrying the "DEFO"
// deformer list and the morph groups (lips: closed, open; dorsal: raised,
// folded), with the body, lips, mouth, eyes and fins as its children. Every
// frame's matrix is the identity (vertices are in model space) except the
// mouth's, which places it. Every vertex carries the body's blend weight
// and two bone indices for the kind's spine. nullptr when a part cannot be
// built.
std::unique_ptr<model::MeshNode> make_fish_model(const FishKind& kind, const FishPictures& pictures);

}  // namespace forge::fishes
