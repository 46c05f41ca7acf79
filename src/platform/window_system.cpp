#include "platform/window_system.h"

namespace platform {

base::Rect WindowSystem::primary_screen() {
  auto list = displays();
  if (list.empty()) return base::Rect{0, 0, 800, 600};
  return list.front().rect;
}

}  // namespace platform
