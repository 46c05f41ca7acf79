#include "platform/music_backend.h"

#include <cmath>

namespace platform {

double gain_of_millibels(int32_t millibels) {
  if (millibels <= -10000) return 0.0;
  if (millibels >= 0) return 1.0;
  return std::pow(10.0, static_cast<double>(millibels) / 2000.0);
}

}  // namespace platform
