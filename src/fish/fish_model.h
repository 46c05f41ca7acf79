#pragma once

#include <memory>
#include <string>

#include "model/mesh_library.h"
#include "model/mesh_node.h"

namespace render {
class PackageReader;
}

namespace fish {

// The name the model of a kind is shared under: "RKFish" + kind.
std::string fish_model_name(int kind);

// The kind's model: the one already shared under its name, else the first
// "m8" entry of the kind's open package (textures from the same package),
// shared from then on. nullptr when the package has no readable model.
std::shared_ptr<model::MeshNode> load_fish_model(int kind, render::PackageReader& package,
                                                 model::MeshLibrary& library);

}  // namespace fish
