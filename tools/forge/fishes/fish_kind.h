#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/vector.h"

namespace forge::fishes {

// A value along a part of the fish: at `at` (0..1) the value is `value`;
// between points it is interpolated smoothly without overshoot.
struct ProfilePoint {
  float at = 0.0f;
  float value = 0.0f;
};
using Profile = std::vector<ProfilePoint>;

enum class TailShape { Forked, Rounded };

// What the skin shows on top of the countershading.
enum class SkinPattern {
  LateralStripe,  // one glowing stripe along the flank
  EdgedBands,     // white bands with black edges across the body
  DarkScales,     // a fine reticulation of darker scale edges
};

// A median fin standing on the back or hanging under the belly: its base
// runs from `from` to `to` along the body (0 at the tail end, 1 at the
// nose); its height over the base follows `height` (fractions of the fish's
// length) and its tip leans back by `rake` heights.
struct MedianFin {
  float from = 0.0f;
  float to = 0.0f;
  Profile height;
  float rake = 0.5f;
};

// A paired fin on each flank (pectoral) or under the belly (ventral): where
// its base sits along the body and around the section (0 belly, 0.5 side),
// its base width and length as fractions of the fish's length, and the
// direction it points: back, out to the side and down.
struct PairedFin {
  float at = 0.5f;
  float around = 0.4f;
  float base = 0.05f;
  float length = 0.15f;
  base::Vec3 direction{0.5f, -0.1f, -1.0f};  // x outwards on the fin's side
  float roundness = 1.0f;                    // 1 paddle, 0 pointed
};

// The skin's colours and pattern.
struct SkinLook {
  base::Vec3 back;
  base::Vec3 flank;
  base::Vec3 belly;
  base::Vec3 pattern;          // stripe, band or scale-edge colour
  base::Vec3 pattern_edge;     // the bands' edges
  base::Vec3 iridescence;      // a tint that comes and goes along the flank
  SkinPattern kind = SkinPattern::LateralStripe;
  std::vector<float> bands;    // band centres along the body (0 tail .. 1 nose)
  float band_width = 0.08f;    // in body lengths
  base::Vec3 fin;              // fin membrane colour
  base::Vec3 fin_edge;         // fin edge colour
  base::Vec3 tail;             // tail fin colour
  base::Vec3 iris;             // ring around the pupil
};

// The swimming attributes a kind is tuned with (the words of its
// attribute record).
struct SwimWords {
  float school_power = 0.0f;
  float normal_speed = 0.0f;
  float max_speed = 0.0f;
  float wave_size = 0.0f;
  float frequency = 0.0f;
  float elasticity = 0.0f;
  float origin_fraction = 0.0f;
  float follow_factor = 0.0f;
  float school_weight = 0.0f;
  float pitch_limit = 0.0f;
  std::uint32_t spine_segments = 0;
};

// Everything that makes one kind of fish.
struct FishKind {
  int number = 0;
  std::uint8_t class_byte = 0;  // 1: lives by the anemone
  std::string caption;
  std::uint32_t seed = 0;

  float length = 5.0f;         // nose to tail tip, in tank units (1 ~ 1 cm)
  float body_share = 0.78f;    // of the length, the body without the tail fin
  // Along the body (0 at the tail end, 1 at the nose), as fractions of the
  // length: the half height, the half width and how far the section's
  // centre sits above the length axis.
  Profile half_height;
  Profile half_width;
  Profile centre;
  float exponent = 2.5f;       // of the super-ellipse cross sections

  TailShape tail = TailShape::Forked;
  float tail_span = 0.14f;     // half height of the tail fin's rear edge
  float fork = 0.5f;           // forked: share of the tail length the fork cuts

  MedianFin dorsal;
  MedianFin anal;
  PairedFin pectoral;
  PairedFin ventral;
  float eye_radius = 0.04f;    // of the length
  float eye_at = 0.86f;        // along the body
  float mouth_size = 0.025f;   // half width of the lips, of the length

  SkinLook look;
  SwimWords swim;
};

// The kinds the forge writes: 10008, 30001 and 30005.
const std::vector<FishKind>& fish_kinds();

}  // namespace forge::fishes
