#include "host/view_rect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace host {

base::Rect compute_view_rectangle(int aspect, int width, int height) {
  base::Rect whole{0, 0, width, height};
  int64_t w = width, h = height;
  int64_t a = 9;
  if (aspect == 1) {
    a = 10;
  } else if (aspect != 2) {
    if (16 * h >= 9 * w) return whole;
  }
  int64_t b = a * w - 16 * h;
  if (b > 0) {
    int64_t view_width = 16 * h / a;
    int64_t left = (w - view_width) >> 1;
    return base::Rect{static_cast<int32_t>(left), 0, static_cast<int32_t>(left + view_width), height};
  }
  if (b < 0) {
    int64_t view_height = a * w / 16;
    int64_t top = (h - view_height) >> 1;
    return base::Rect{0, static_cast<int32_t>(top), width, static_cast<int32_t>(top + view_height)};
  }
  return whole;
}

ClientSize constrain_user_resize(ClientSize requested, ClientSize old_client, ClientSize minimum,
                                 float ratio) {
  ClientSize size{std::max(requested.width, minimum.width), std::max(requested.height, minimum.height)};
  if (static_cast<float>(size.height) < ratio * static_cast<float>(size.width)) {
    if (std::abs(old_client.width - size.width) > std::abs(old_client.height - size.height)) {
      size.height = static_cast<int>(std::ceil(ratio * static_cast<float>(size.width)));
    } else if (ratio > 0.0f) {
      size.width = static_cast<int>(std::floor(static_cast<float>(size.height) / ratio));
    }
  }
  return size;
}

}  // namespace host
