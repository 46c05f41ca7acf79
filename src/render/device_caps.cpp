#include "render/device_caps.h"

namespace render {

bool same_colour_channels(PixelFormat a, PixelFormat b) {
  const ChannelLayout* la = channel_layout(a);
  const ChannelLayout* lb = channel_layout(b);
  return la != nullptr && lb != nullptr && la->bits == lb->bits && la->red == lb->red &&
         la->green == lb->green && la->blue == lb->blue;
}

MonitorId monitor_with_largest_overlap(const std::vector<std::pair<MonitorId, base::Rect>>& monitors,
                                       const base::Rect& rect) {
  MonitorId best = 0;
  std::int64_t best_area = 0;
  for (const auto& [id, monitor_rect] : monitors) {
    const base::Rect overlap = base::intersect(monitor_rect, rect);
    const std::int64_t area = static_cast<std::int64_t>(overlap.width()) * overlap.height();
    if (area > best_area) {
      best = id;
      best_area = area;
    }
  }
  return best;
}

}  // namespace render
