#include "render/icon_texture.h"

#include <vector>

namespace render {

IconTexture icon_texture(gfx::Device& device, const IconImage& image) {
  IconTexture result{{}, image.width, image.height, image.hot_x, image.hot_y};
  if (image.width <= 0 || image.height <= 0 ||
      image.argb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
    return result;
  }
  // 0xAARRGGBB words are the bytes B, G, R, A.
  std::vector<std::uint8_t> bytes(image.argb.size() * 4);
  for (std::size_t i = 0; i < image.argb.size(); ++i) {
    for (int b = 0; b < 4; ++b)
      bytes[i * 4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(image.argb[i] >> (8 * b));
  }
  result.texture = device.create_texture({image.width, image.height, 1}, gfx::PixelOrder::Bgra, bytes);
  return result;
}

IconTexture cursor_texture(gfx::Device& device, const IconBitmaps* window_cursor) {
  const std::optional<IconImage> image = cursor_image(window_cursor);
  return image ? icon_texture(device, *image) : IconTexture{};
}

}  // namespace render
