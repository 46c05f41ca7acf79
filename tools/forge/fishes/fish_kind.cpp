#include "forge/fishes/fish_kind.h"

namespace forge::fishes {
namespace {

base::Vec3 colour(float r, float g, float b) { return {r, g, b}; }

// A slender, fast schooling fish: silvery blue, a glowing stripe along each
// flank, big eyes and a deeply forked tail.
FishKind glowing_stripe() {
  FishKind kind;
  kind.number = 10008;
  kind.caption = "Neon dart";
  kind.seed = 10008;
  kind.length = 6.0f;  // about 1/20 of the tank's width
  kind.body_share = 0.8f;
  kind.half_height = {{0.0f, 0.032f}, {0.15f, 0.04f}, {0.35f, 0.072f}, {0.6f, 0.092f},
                      {0.78f, 0.084f}, {0.92f, 0.058f}, {1.0f, 0.018f}};
  kind.half_width = {{0.0f, 0.012f}, {0.2f, 0.02f}, {0.5f, 0.044f}, {0.7f, 0.05f},
                     {0.85f, 0.045f}, {0.95f, 0.03f}, {1.0f, 0.01f}};
  kind.centre = {{0.0f, 0.004f}, {0.5f, 0.0f}, {1.0f, -0.008f}};
  kind.exponent = 2.3f;
  kind.tail = TailShape::Forked;
  kind.tail_span = 0.115f;
  kind.fork = 0.58f;
  kind.dorsal = {0.44f, 0.6f, {{0.0f, 0.008f}, {0.25f, 0.07f}, {0.6f, 0.05f}, {1.0f, 0.006f}}, 0.9f};
  kind.anal = {0.2f, 0.4f, {{0.0f, 0.006f}, {0.3f, 0.045f}, {1.0f, 0.006f}}, 0.8f};
  kind.pectoral = {0.74f, 0.36f, 0.035f, 0.13f, {0.45f, -0.25f, -1.0f}, 0.3f};
  kind.ventral = {0.54f, 0.08f, 0.025f, 0.075f, {0.25f, -0.45f, -1.0f}, 0.2f};
  kind.eye_radius = 0.04f;
  kind.eye_at = 0.875f;
  kind.mouth_size = 0.02f;
  SkinLook& look = kind.look;
  look.kind = SkinPattern::LateralStripe;
  look.back = colour(0.16f, 0.30f, 0.46f);
  look.flank = colour(0.70f, 0.78f, 0.86f);
  look.belly = colour(0.93f, 0.94f, 0.96f);
  look.pattern = colour(0.30f, 0.88f, 1.0f);
  look.pattern_edge = colour(0.14f, 0.36f, 0.62f);
  look.iridescence = colour(0.62f, 0.52f, 0.95f);
  look.fin = colour(0.74f, 0.84f, 0.92f);
  look.fin_edge = colour(0.52f, 0.70f, 0.88f);
  look.tail = colour(0.62f, 0.76f, 0.92f);
  look.iris = colour(0.82f, 0.88f, 0.92f);
  kind.swim = {1.0f, 0.7f, 2.4f, 0.06f, 2.4f, 2.0f, 0.5f, 0.1f, 1.0f, 0.5f, 8};
  return kind;
}

// A rounded fish that lives by the anemone: warm orange with three white
// bands edged in black and rounded, black-edged fins.
FishKind anemone_dweller() {
  FishKind kind;
  kind.number = 30001;
  kind.class_byte = 1;
  kind.caption = "Anemone clown";
  kind.seed = 30001;
  kind.length = 7.5f;
  kind.body_share = 0.8f;
  kind.half_height = {{0.0f, 0.058f}, {0.15f, 0.08f}, {0.4f, 0.132f}, {0.6f, 0.146f},
                      {0.8f, 0.128f}, {0.93f, 0.09f}, {1.0f, 0.03f}};
  kind.half_width = {{0.0f, 0.02f}, {0.3f, 0.05f}, {0.6f, 0.075f}, {0.8f, 0.07f},
                     {0.93f, 0.05f}, {1.0f, 0.015f}};
  kind.centre = {{0.0f, 0.0f}, {0.6f, 0.01f}, {1.0f, -0.012f}};
  kind.exponent = 2.6f;
  kind.tail = TailShape::Rounded;
  kind.tail_span = 0.12f;
  kind.fork = 0.0f;
  kind.dorsal = {0.2f, 0.8f,
                 {{0.0f, 0.02f}, {0.12f, 0.085f}, {0.35f, 0.095f}, {0.5f, 0.06f}, {0.58f, 0.042f},
                  {0.72f, 0.062f}, {0.9f, 0.05f}, {1.0f, 0.01f}},
                 0.3f};
  kind.anal = {0.16f, 0.42f, {{0.0f, 0.02f}, {0.3f, 0.078f}, {0.7f, 0.068f}, {1.0f, 0.01f}}, 0.3f};
  kind.pectoral = {0.72f, 0.34f, 0.06f, 0.13f, {0.6f, -0.15f, -1.0f}, 1.0f};
  kind.ventral = {0.62f, 0.07f, 0.04f, 0.1f, {0.3f, -0.5f, -1.0f}, 0.8f};
  kind.eye_radius = 0.042f;
  kind.eye_at = 0.86f;
  kind.mouth_size = 0.026f;
  SkinLook& look = kind.look;
  look.kind = SkinPattern::EdgedBands;
  look.back = colour(0.86f, 0.34f, 0.04f);
  look.flank = colour(1.0f, 0.5f, 0.08f);
  look.belly = colour(1.0f, 0.64f, 0.26f);
  look.pattern = colour(0.97f, 0.97f, 0.95f);
  look.pattern_edge = colour(0.04f, 0.035f, 0.035f);
  look.bands = {0.815f, 0.5f, 0.06f};
  look.band_width = 0.048f;
  look.iridescence = colour(1.0f, 0.75f, 0.45f);
  look.fin = colour(1.0f, 0.52f, 0.1f);
  look.fin_edge = colour(0.05f, 0.04f, 0.04f);
  look.tail = colour(1.0f, 0.52f, 0.1f);
  look.iris = colour(0.95f, 0.58f, 0.12f);
  kind.swim = {0.0f, 0.45f, 1.2f, 0.08f, 1.6f, 1.4f, 0.45f, 0.15f, 1.0f, 0.7f, 7};
  return kind;
}

// A deep-bodied, laterally flat fish in cool grey-blue with a fine scale
// net and a bright yellow tail.
FishKind deep_body() {
  FishKind kind;
  kind.number = 30005;
  kind.caption = "Yellowtail disc";
  kind.seed = 30005;
  kind.length = 8.0f;
  kind.body_share = 0.78f;
  kind.half_height = {{0.0f, 0.05f}, {0.15f, 0.09f}, {0.35f, 0.185f}, {0.55f, 0.215f},
                      {0.75f, 0.185f}, {0.9f, 0.115f}, {1.0f, 0.034f}};
  kind.half_width = {{0.0f, 0.014f}, {0.3f, 0.034f}, {0.6f, 0.048f}, {0.8f, 0.044f},
                     {0.95f, 0.024f}, {1.0f, 0.01f}};
  kind.centre = {{0.0f, 0.0f}, {0.5f, 0.01f}, {1.0f, -0.03f}};
  kind.exponent = 2.8f;
  kind.tail = TailShape::Forked;
  kind.tail_span = 0.16f;
  kind.fork = 0.3f;
  kind.dorsal = {0.2f, 0.74f, {{0.0f, 0.02f}, {0.3f, 0.09f}, {0.7f, 0.065f}, {1.0f, 0.008f}}, 0.55f};
  kind.anal = {0.18f, 0.5f, {{0.0f, 0.02f}, {0.3f, 0.08f}, {1.0f, 0.008f}}, 0.55f};
  kind.pectoral = {0.7f, 0.4f, 0.045f, 0.12f, {0.5f, -0.2f, -1.0f}, 0.6f};
  kind.ventral = {0.6f, 0.05f, 0.03f, 0.1f, {0.2f, -0.6f, -1.0f}, 0.3f};
  kind.eye_radius = 0.04f;
  kind.eye_at = 0.87f;
  kind.mouth_size = 0.022f;
  SkinLook& look = kind.look;
  look.kind = SkinPattern::DarkScales;
  look.back = colour(0.2f, 0.25f, 0.34f);
  look.flank = colour(0.56f, 0.61f, 0.69f);
  look.belly = colour(0.86f, 0.86f, 0.83f);
  look.pattern = colour(0.22f, 0.26f, 0.34f);
  look.pattern_edge = colour(0.22f, 0.26f, 0.34f);
  look.iridescence = colour(0.55f, 0.75f, 0.8f);
  look.fin = colour(0.46f, 0.52f, 0.62f);
  look.fin_edge = colour(0.95f, 0.8f, 0.2f);
  look.tail = colour(1.0f, 0.82f, 0.12f);
  look.iris = colour(0.85f, 0.25f, 0.15f);
  kind.swim = {0.5f, 0.4f, 1.0f, 0.07f, 1.4f, 1.5f, 0.45f, 0.12f, 0.6f, 0.5f, 8};
  return kind;
}

}  // namespace

const std::vector<FishKind>& fish_kinds() {
  static const std::vector<FishKind> kinds = {glowing_stripe(), anemone_dweller(), deep_body()};
  return kinds;
}

}  // namespace forge::fishes
