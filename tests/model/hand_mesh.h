#pragma once

// Mesh trees assembled byte by byte from the record layout, independent of
// the mesh writer, so that the reader is checked against the format itself.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace model_test {

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields.
struct Put {
  Bytes bytes;

  Put& u8(std::uint32_t v) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Put& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
  Put& u32(std::uint32_t v) { return u16(v).u16(v >> 16); }
  Put& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Put& f32(float v) { return u32(std::bit_cast<std::uint32_t>(v)); }
  Put& f64(double v) {
    const auto raw = std::bit_cast<std::uint64_t>(v);
    return u32(static_cast<std::uint32_t>(raw)).u32(static_cast<std::uint32_t>(raw >> 32));
  }
  Put& floats(std::initializer_list<float> values) {
    for (float v : values) f32(v);
    return *this;
  }
  Put& chars(std::string_view text) {
    for (char c : text) u8(static_cast<std::uint8_t>(c));
    return *this;
  }
  // u8 length, then the characters.
  Put& short_name(std::string_view text) { return u8(static_cast<std::uint32_t>(text.size())).chars(text); }
  Put& zeros(std::size_t n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
  Put& append(const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }
  // A row-major matrix: identity with a translation row.
  Put& matrix(float tx = 0, float ty = 0, float tz = 0) {
    return floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1});
  }
  // Fields 1 to 7 of a node record: flags, name, local matrix, box, centre,
  // radius.
  Put& node_head(std::uint16_t flags, std::string_view name, float tx = 0, float ty = 0, float tz = 0) {
    u16(flags).short_name(name).matrix(tx, ty, tz);
    return floats({-1, -1, -1, 1, 1, 1}).floats({0, 0, 0}).f32(1.75f);
  }
  // A 92-byte material record.
  Put& material(float r, float g, float b, float a, std::uint8_t cull, std::uint8_t blend, std::uint8_t src,
                std::uint8_t dest, std::uint32_t texture_alpha) {
    floats({r, g, b, a}).floats({r * 0.5f, g * 0.5f, b * 0.5f, a}).floats({0.1f, 0.1f, 0.1f, 1}).floats({0, 0, 0, 0});
    f32(8.0f).u8(cull).u8(blend).u8(src).u8(dest).u32(texture_alpha);
    return zeros(16);
  }
};

// Flags of a node record.
enum : std::uint16_t {
  kGeometry = 0x0001,
  kSubsets = 0x0002,
  kSubsetBoxes = 0x0004,
  kMaterials = 0x0008,
  kDrawOrder = 0x0010,
  kSkin = 0x0080,
  kPlayback = 0x0100,
  kTracks = 0x0200,
  kAnimation = 0x0400,
  kMorph = 0x0800,
  kChild = 0x1000,
  kSibling = 0x2000,
  kTag = 0x4000,
  kParams = 0x8000,
};

// The vertex format of the hand-made quad: position, normal, one set of two
// texture coordinates (32 bytes).
inline constexpr std::uint32_t kQuadFormat = 0x112;

// Geometry of a 2 x 2 quad in the plane z = 0 facing -z (clockwise seen
// from -z): vertices (-1,-1) (-1,1) (1,1) (1,-1), triangles 0 1 2 and 0 2 3.
inline Put& quad_geometry(Put& put) {
  put.u32(kQuadFormat).u32(4).u32(6);
  const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
  for (const auto& c : corners) put.floats({c[0], c[1], 0, 0, 0, -1, (c[0] + 1) / 2, (1 - c[1]) / 2});
  for (int i : {0, 1, 2, 0, 2, 3}) put.u16(static_cast<std::uint32_t>(i));
  return put;
}

// A tree that uses every part of the format:
//   "Fish" (root): quad geometry with two subsets (one opaque, one
//     transparent), stored face attributes, subset boxes and draw order,
//     two materials (the first textured "Scales.png"), a skin of the bones
//     "Scene_Root" and "Tail", playback, tracks, an animation set "Swim",
//     a parameter block, a morph group "mouth", the tag "DEFO", a child:
//   "Tail" (child): tracks with a matrix key at 3.5, a next sibling:
//   "Fin" (the child's sibling): nothing but its transform.
inline Bytes full_tree() {
  Put put;
  put.node_head(kGeometry | kSubsets | kSubsetBoxes | kMaterials | kDrawOrder | kSkin | kPlayback | kTracks |
                    kAnimation | kMorph | kChild | kTag | kParams,
                "Fish");
  quad_geometry(put);
  // Subsets: material, first index, triangles, first vertex, vertices, 8 reserved.
  put.u32(2);
  put.u32(0).u32(0).u32(1).u32(0).u32(3).zeros(8);
  put.u32(1).u32(3).u32(1).u32(0).u32(4).zeros(8);
  // Face attributes as a stored packed block: raw 8, stored 8.
  put.u8(0x50).u32(8).u32(8).u32(0).u32(1);
  // Subset boxes.
  put.floats({-1, -1, 0, 1, 1, 0}).floats({-1, -1, 0, 1, 1, 0});
  // Draw order and transparent count.
  put.u32(0).u32(1).u32(1);
  // Materials and their texture names.
  put.u32(2);
  put.material(1, 0.5f, 0.25f, 1, 3, 0, 0, 0, 0);
  put.material(0, 0, 1, 0.5f, 1, 1, 5, 6, 0);
  put.short_name("Scales.png").short_name("");
  // Skin: bones, fvf, vertices, palette size, max face influences,
  // combinations, combination bytes; one combination of two bone ids.
  put.u32(2).u32(kQuadFormat).u32(4).u32(2).u32(2).u32(1).u32(24 + 8);
  put.u32(0).u32(0).u32(2).u32(0).u32(4).u32(0);
  put.u32(0).u32(1);
  put.u32(10).chars("Scene_Root").matrix().matrix().u32(2).u32(0).u32(1).floats({1.0f, 0.5f});
  put.u32(4).chars("Tail").matrix(0, 0, 2).matrix(0, 0, -2).u32(2).u32(2).u32(3).floats({0.5f, 1.0f});
  // Playback: loops, variation, pause, variation, rate, variation, duration.
  put.i32(3).u8(10).u32(2).u8(20).f32(25.0f).u8(5).f32(0.0f);
  // Tracks: two rotation keys, one key in track 1, none in track 2, no matrix keys.
  put.u32(2).floats({0, 0, 0, 0, 1}).floats({1.5f, 0, 0.7071f, 0, 0.7071f});
  put.u32(1).floats({2.5f, 1, 2, 3});
  put.u32(0).u32(0);
  // Animation: outputs, sets, tracks, events, priority blend; one set.
  put.u32(2).u32(1).u32(2).u32(4).u32(1);
  put.short_name("Swim").zeros(8).f64(4800.0).u32(0).u32(2);
  put.short_name("Tail").u32(1).u32(0).u32(1).floats({0, 0, 0, 0, 1}).floats({0, 0, 0, 2});
  put.u8(0);  // an empty slot
  // Parameter block (64 bytes).
  put.u32(64).floats({0.5f, 0, 0, 2.0f}).zeros(48);
  // Morph: one group of two vertices forming one point, two frames.
  put.u32(1).short_name("mouth").u16(2).u16(2).u16(3).u16(1).u8(2).u16(2);
  put.floats({0, 0, 0}).floats({0, 0.25f, 0});
  // Tag and its data.
  put.chars("DEFO").u32(3).u8(7).u8(8).u8(9);

  put.node_head(kTracks | kSibling, "Tail", 0, 0, 2);
  put.u32(0).u32(0).u32(0).u32(2).f32(0).matrix().f32(3.5f).matrix(0, 0, 1);

  put.node_head(0, "Fin", 0, 1, 0);
  return put.bytes;
}

}  // namespace model_test
