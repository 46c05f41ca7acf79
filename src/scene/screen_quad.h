#pragma once

#include <array>
#include <cstdint>

#include "platform/gfx_device.h"
#include "scene/screen_vertex.h"

namespace scene {

// Draws untextured, coloured quads given in screen space: the background
// gradient and the fade to black. The depth test and depth writes are off
// while a quad draws, so it neither hides nor is hidden; blending follows
// the device's state. One per device.
class ScreenQuads {
 public:
  explicit ScreenQuads(gfx::Device& device);
  ~ScreenQuads();
  ScreenQuads(const ScreenQuads&) = delete;
  ScreenQuads& operator=(const ScreenQuads&) = delete;

  bool ok() const { return program_ && buffer_; }
  // Four corners in fan order.
  void draw(const std::array<ScreenVertex, 4>& corners);
  // A quad of one colour over the whole viewport, alpha-blended.
  void fill(std::uint32_t colour);

 private:
  gfx::Device& device_;
  gfx::ProgramHandle program_;
  gfx::UniformHandle viewport_size_;
  gfx::VertexBufferHandle buffer_;
};

}  // namespace scene
