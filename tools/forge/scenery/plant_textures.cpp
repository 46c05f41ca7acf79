// The leaf pictures of the plants: outline in alpha, veins and colour.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/scenery/noise.h"
#include "forge/scenery/plants.h"
#include "forge/scenery/random.h"

namespace forge::scenery {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

constexpr std::uint32_t kBladeWidth = 64;
constexpr std::uint32_t kBladeVariants = 4;
constexpr std::uint32_t kBladeHeight = 512;

constexpr std::uint32_t kLeafWidth = 128;
constexpr std::uint32_t kLeafHeight = 512;

}  // namespace

Picture seagrass_texture() {
  Picture picture(kBladeWidth * kBladeVariants, kBladeHeight, {0, 0, 0, 0});
  const base::Vec4 greens[kBladeVariants] = {rgb(0.30f, 0.58f, 0.22f), rgb(0.38f, 0.62f, 0.20f),
                                             rgb(0.24f, 0.50f, 0.24f), rgb(0.42f, 0.56f, 0.18f)};
  const base::Vec4 old_tip = rgb(0.55f, 0.50f, 0.26f);
  for (std::uint32_t variant = 0; variant < kBladeVariants; ++variant) {
    const float tip_age = 0.15f + 0.2f * static_cast<float>(variant % 2);
    for (std::uint32_t y = 0; y < kBladeHeight; ++y) {
      const float along =
          1.0f - (static_cast<float>(y) + 0.5f) / kBladeHeight;  // 0 at the root, 1 at the tip
      // The blade keeps its width and rounds off at the tip.
      const float tip = std::max(0.0f, (along - 0.94f) / 0.06f);
      const float half = 0.46f * std::sqrt(std::max(0.0f, 1.0f - tip * tip));
      for (std::uint32_t x = 0; x < kBladeWidth; ++x) {
        const float across = (static_cast<float>(x) + 0.5f) / kBladeWidth - 0.5f;
        const float coverage = smoothstep(half + 0.02f, half - 0.02f, std::abs(across));
        base::Vec4 colour = mix(shade(greens[variant], 0.8f), greens[variant], smoothstep(0.0f, 0.4f, along));
        colour = mix(colour, old_tip, smoothstep(1.0f - tip_age, 1.0f, along) * 0.8f);
        // Fine parallel veins, a lighter middle and darker edges.
        const float veins = 0.5f + 0.5f * std::cos(across * 2.0f * kPi * 5.0f);
        colour = shade(colour, 0.92f + 0.1f * veins + 0.1f * (1.0f - std::abs(across) * 2.0f));
        const float streak =
            fractal_noise({across * 3.0f, along * 40.0f, static_cast<float>(variant)}, 2, 71);
        colour = shade(colour, 1.0f + 0.08f * streak);
        colour.w = coverage;
        picture.at(variant * kBladeWidth + x, y) = colour;
      }
    }
  }
  return picture;
}

Picture broad_leaf_texture(bool red) {
  Picture picture(kLeafWidth, kLeafHeight, {0, 0, 0, 0});
  const base::Vec4 base_colour = red ? rgb(0.45f, 0.20f, 0.16f) : rgb(0.20f, 0.45f, 0.16f);
  const base::Vec4 tip_colour = red ? rgb(0.70f, 0.34f, 0.22f) : rgb(0.44f, 0.66f, 0.22f);
  const base::Vec4 vein_colour = red ? rgb(0.80f, 0.52f, 0.40f) : rgb(0.62f, 0.78f, 0.40f);
  constexpr float kStalk = 0.22f;  // the stalk's share of the length
  for (std::uint32_t y = 0; y < kLeafHeight; ++y) {
    const float along = 1.0f - (static_cast<float>(y) + 0.5f) / kLeafHeight;
    const float blade = std::clamp((along - kStalk) / (1.0f - kStalk), 0.0f, 1.0f);
    // A lance: widest a third of the way up, pointed at the tip.
    const float outline = along < kStalk ? 0.0f : std::pow(std::sin(kPi * std::pow(blade, 0.75f)), 0.9f);
    const float half = std::max(0.045f, 0.47f * outline);
    for (std::uint32_t x = 0; x < kLeafWidth; ++x) {
      const float across = (static_cast<float>(x) + 0.5f) / kLeafWidth - 0.5f;
      const float side = std::abs(across);
      const float coverage = smoothstep(half + 0.012f, half - 0.012f, side);
      base::Vec4 colour = mix(base_colour, tip_colour, smoothstep(0.1f, 1.0f, along));
      // Darker towards the rim, a pale midrib and curved side veins.
      colour = shade(colour, 1.05f - 0.25f * smoothstep(0.3f, 1.0f, side / std::max(half, 0.05f)));
      const float midrib = smoothstep(0.02f, 0.005f, side);
      const float vein_phase = (along - side * 1.6f) * 22.0f;
      const float vein =
          smoothstep(0.9f, 1.0f, std::cos(vein_phase * 2.0f * kPi)) * (along > kStalk ? 1.0f : 0.0f);
      colour = mix(colour, vein_colour, std::max(midrib, vein * 0.45f));
      const float mottle = fractal_noise({across * 8.0f, along * 20.0f, red ? 3.0f : 1.0f}, 3, 83);
      colour = shade(colour, 1.0f + 0.1f * mottle);
      colour.w = coverage;
      picture.at(x, y) = colour;
    }
  }
  return picture;
}

}  // namespace forge::scenery
