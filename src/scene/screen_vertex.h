#pragma once

#include <cstdint>

namespace scene {

// A vertex already in screen space: pixels of the current viewport from its
// top-left corner, depth, reciprocal w (unused), and the colour 0xAARRGGBB.
struct ScreenVertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float rhw = 1.0f;
  std::uint32_t colour = 0;
};

}  // namespace scene
