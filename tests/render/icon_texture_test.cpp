#include "render/icon_texture.h"

#include <gtest/gtest.h>

#include "platform/recording_device.h"

namespace {

TEST(IconTexture, TheCursorBecomesATextureOfItsSizeWithItsHotSpot) {
  gfx::RecordingDevice device;
  const render::IconTexture arrow = render::cursor_texture(device, nullptr);
  ASSERT_TRUE(arrow.texture);
  EXPECT_EQ(device.textures[arrow.texture.id].width, 32);
  EXPECT_EQ(device.textures[arrow.texture.id].height, 32);
  EXPECT_EQ(device.textures[arrow.texture.id].levels, 1);
  EXPECT_EQ(arrow.hot_x, 0);
  EXPECT_EQ(arrow.hot_y, 0);

  render::IconImage odd{3, 2, std::vector<std::uint32_t>(5, 0xFF000000u), 1, 1};
  EXPECT_FALSE(render::icon_texture(device, odd).texture) << "pixels that do not fill the size";
  device.fail_creation = true;
  EXPECT_FALSE(render::cursor_texture(device, nullptr).texture);
}

}  // namespace
