#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/rect.h"

namespace platform {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int refresh_rate = 0;  // Hz, 0 when unknown
  int bits_per_pixel = 32;
  bool operator==(const DisplayMode&) const = default;
};

// One monitor of the desktop. The primary display is first and sits at (0, 0).
struct DisplayInfo {
  std::string name;
  base::Rect rect;
  DisplayMode desktop_mode;
  std::vector<DisplayMode> modes;
};

}  // namespace platform
