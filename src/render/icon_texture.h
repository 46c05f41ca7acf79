#pragma once

#include <cstdint>

#include "platform/gfx_device.h"
#include "render/cursor_image.h"

namespace render {

// An icon or cursor as a texture for the in-scene cursor, with its hot
// spot. The caller owns the texture.
struct IconTexture {
  gfx::TextureHandle texture;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t hot_x = 0;
  std::int32_t hot_y = 0;
};

// A one-level texture of the picture's size on the device; an empty handle
// for a picture whose pixels do not match its size or that the device
// cannot make.
IconTexture icon_texture(gfx::Device& device, const IconImage& image);

// The window's cursor (the standard arrow when it has none) as a texture.
IconTexture cursor_texture(gfx::Device& device, const IconBitmaps* window_cursor);

}  // namespace render
