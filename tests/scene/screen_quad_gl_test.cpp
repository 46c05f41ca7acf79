// Screen-space quads on a real device: the background gradient runs from
// its top colour to its bottom colour, and the fade darkens what is drawn.
#include "scene/screen_quad.h"

#include <gtest/gtest.h>

#include "support/gl_window.h"

namespace {

int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

TEST(ScreenQuadTest, GradientAndFadeCoverTheViewport) {
  test_support::GlWindow gl;
  std::string error;
  ASSERT_TRUE(gl.open(64, 48, &error, "screen quads")) << error;
  gfx::Device& device = *gl.device;
  scene::ScreenQuads quads(device);
  ASSERT_TRUE(quads.ok());

  // A viewport in the lower half: quad coordinates are relative to it.
  device.set_viewport(gfx::Viewport{0, 24, 64, 24, 0.0f, 1.0f});
  device.clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000, 1.0f, 0);
  const std::uint32_t top = 0xFFFF0000;
  const std::uint32_t bottom = 0xFF0000FF;
  quads.draw({scene::ScreenVertex{-0.5f, -0.5f, 0.999f, 0.001f, top},
              scene::ScreenVertex{64.5f, -0.5f, 0.999f, 0.001f, top},
              scene::ScreenVertex{64.5f, 24.5f, 0.999f, 0.001f, bottom},
              scene::ScreenVertex{-0.5f, 24.5f, 0.999f, 0.001f, bottom}});
  gfx::Image image = device.read_back();
  EXPECT_EQ(image.pixel(32, 10), 0xFF000000u) << "outside the viewport";
  EXPECT_GT(red(image.pixel(32, 25)), 200);
  EXPECT_LT(blue(image.pixel(32, 25)), 50);
  EXPECT_GT(blue(image.pixel(32, 46)), 200);
  EXPECT_LT(red(image.pixel(32, 46)), 50);

  // Half-way black over everything.
  device.set_viewport(gfx::Viewport{0, 0, 64, 48, 0.0f, 1.0f});
  quads.fill(0x80000000);
  image = device.read_back();
  EXPECT_NEAR(red(image.pixel(32, 25)), 127, 12);
  EXPECT_EQ(device.render_state(gfx::RenderState::AlphaBlendEnable), 0u) << "blending is put back";
  EXPECT_EQ(device.render_state(gfx::RenderState::ZEnable), 1u);
}

}  // namespace
