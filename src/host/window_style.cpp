#include "host/window_style.h"

namespace host {

WindowStyle choose_window_style(SaverMode mode, const base::Rect& primary_screen,
                                const std::optional<base::Rect>& parent_client) {
  switch (mode) {
    case SaverMode::FullScreenSaver:
      return {platform::WindowShape::Popup, 0x90000000u, false, true, primary_screen};
    case SaverMode::Preview:
      return {platform::WindowShape::Child, 0x50000000u, true, false, parent_client};
    case SaverMode::ActiveDesktop:
      return {platform::WindowShape::Child, 0x50000000u, true, true,
              base::Rect{0, 0, primary_screen.width(), primary_screen.height()}};
    default:
      return {platform::WindowShape::Framed, 0x10CE0000u, true, true, std::nullopt};
  }
}

}  // namespace host
