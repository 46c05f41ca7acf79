#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/vector.h"
#include "model/material.h"

namespace model {
class MeshTexture;
}

namespace forge::scenery {

// A picture being painted: r, g, b, a floats (0..1) per pixel, rows top to
// bottom.
struct Picture {
  Picture() = default;
  Picture(std::uint32_t w, std::uint32_t h, const base::Vec4& fill = {0, 0, 0, 1})
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

  base::Vec4& at(std::uint32_t x, std::uint32_t y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const base::Vec4& at(std::uint32_t x, std::uint32_t y) const {
    return pixels[static_cast<std::size_t>(y) * width + x];
  }
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<base::Vec4> pixels;
};

// 8-bit RGBA, rounded and clamped.
std::vector<std::uint8_t> to_rgba8(const Picture& picture);

std::shared_ptr<model::MeshTexture> make_texture(const std::string& name, const Picture& picture);

// An opaque material drawing `texture`, lit and culling back faces.
model::Material textured_material(const std::string& texture_name, const Picture& picture);
// A thin, double-sided surface (leaves, blades) whose texture alpha cuts its
// outline: no culling, blending by texture alpha.
model::Material leaf_material(const std::string& texture_name, const Picture& picture);

// Colour helpers for painting.
base::Vec4 rgb(float r, float g, float b);
base::Vec4 mix(const base::Vec4& a, const base::Vec4& b, float t);
// Multiplies the colour channels, leaving alpha.
base::Vec4 shade(const base::Vec4& colour, float factor);

}  // namespace forge::scenery
