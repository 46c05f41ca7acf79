#include "platform/gfx_device.h"

namespace gfx {

uint32_t Image::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
  return (static_cast<uint32_t>(rgba[at + 3]) << 24) | (static_cast<uint32_t>(rgba[at]) << 16) |
         (static_cast<uint32_t>(rgba[at + 1]) << 8) | static_cast<uint32_t>(rgba[at + 2]);
}

}  // namespace gfx
