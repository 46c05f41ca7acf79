#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forge/fishes/fish_kind.h"
#include "forge/scenery/picture.h"
#include "forge/scenery/tank_content.h"
#include "model/mesh_node.h"

namespace forge::fishes {

// The package of one kind, "<kind>.vmf" (named "<kind>", class byte 1 for
// anemone dwellers): the mesh tree "<kind>.m8", its textures "<kind>-d.png"
// (skin), "<kind>-b.dds" (the skin's normal map), "<kind>-f.png" (fins),
// "<kind>-t.png" (tail), "<kind>-e.png" (eyes), and the attributes
// "<kind>.att" (X text) and "<kind>.att+" (the raw record). nullopt when
// the model cannot be made or encoded.
std::optional<std::vector<std::uint8_t>> fish_package(const FishKind& kind);
// The package of the shipped kind numbered `number`; nullopt for a number
// the forge does not make.
std::optional<std::vector<std::uint8_t>> fish_package(int number);

// The kind's catalogue picture: the fish from its right side on water blue.
inline constexpr std::uint32_t kThumbnailWidth = 74;
inline constexpr std::uint32_t kThumbnailHeight = 38;
scenery::Picture fish_picture(const model::MeshNode& fish, const FishKind& kind, std::uint32_t width,
                              std::uint32_t height, bool from_above);

// Every kind: "Fish/<kind>.vmf", "Fish/<kind>.bmp" (24-bit thumbnail) and
// "Fish/<kind>.txt" (caption). nullopt when any part cannot be made.
std::optional<std::vector<scenery::ContentFile>> fish_content();

}  // namespace forge::fishes
