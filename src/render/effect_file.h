#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace render {

// Effect files ("Shader/<name>.fxo"): techniques made of passes, each pass a
// GLSL 330 program with the render states it sets, and the parameters the
// programs read, with their default values. All numbers little-endian.
//
//   u32 magic "PTFX", u16 version 1, u16 zero
//   u16 parameter count (at most kMaxEffectParameters), then per parameter:
//     name (u8 length 1..kMaxEffectName, printable ASCII)
//     u8 type (EffectParamType), u8 flags (bit 0: shared), u16 elements
//     (1..kMaxEffectElements; 1 for textures), u8 texture stage (0..7 for
//     textures, 0 otherwise), then the default value: elements x components
//     values of 4 bytes (f32, or i32 for Int); textures have none
//   u16 technique count (1..kMaxEffectTechniques), then per technique:
//     name, u8 pass count (1..kMaxEffectPasses), then per pass:
//       name, u8 render-state count (at most kMaxEffectStates) with
//       (u32 state, u32 value) each,
//       u32 length + vertex source, u32 length + fragment source (each
//       1..kMaxEffectSource bytes, no zero bytes)
//   nothing after the last technique.
//
// Names are unique among the parameters and among the techniques (compared
// without regard to case). A shared parameter lives in the shared block of
// the device (the effect pool) rather than in the effect: the programs read
// it from the uniform block "SharedParams"; a texture parameter is sampled
// by the programs as "gfx_stage<stage>".
enum class EffectParamType : std::uint8_t { Float = 1, Int = 2, Float4 = 3, Matrix = 4, Texture = 5 };

inline constexpr std::size_t kMaxEffectName = 63;
inline constexpr std::size_t kMaxEffectParameters = 64;
inline constexpr std::size_t kMaxEffectElements = 64;
inline constexpr std::size_t kMaxEffectTechniques = 16;
inline constexpr std::size_t kMaxEffectPasses = 8;
inline constexpr std::size_t kMaxEffectStates = 16;
inline constexpr std::size_t kMaxEffectSource = 64 * 1024;
inline constexpr std::uint8_t kEffectParamShared = 1;

// Four-byte values per element: 1, 1, 4, 16, and 0 for textures.
std::size_t effect_param_components(EffectParamType type);

struct EffectParam {
  std::string name;
  EffectParamType type = EffectParamType::Float;
  bool shared = false;
  std::uint16_t elements = 1;
  std::uint8_t stage = 0;
  // elements x components floats; Int values are held as floats here and
  // stored as i32 in the file.
  std::vector<float> defaults;
};

struct EffectPass {
  std::string name;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> states;  // render state, value
  std::string vertex_source;
  std::string fragment_source;
};

struct EffectTechnique {
  std::string name;
  std::vector<EffectPass> passes;
};

struct EffectFile {
  std::vector<EffectParam> parameters;
  std::vector<EffectTechnique> techniques;
};

// nullopt for anything that breaks the layout or the limits above, with a
// short reason in *error when given.
std::optional<EffectFile> parse_effect_file(std::span<const std::uint8_t> bytes,
                                            std::string* error = nullptr);
// nullopt when the effect breaks the limits (so every file written reads).
std::optional<std::vector<std::uint8_t>> encode_effect_file(const EffectFile& effect);

}  // namespace render
