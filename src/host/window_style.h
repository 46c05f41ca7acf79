#pragma once
#include <cstdint>
#include <optional>

#include "base/rect.h"
#include "host/saver_mode.h"
#include "platform/window.h"

namespace host {

// The window a run mode gets.
struct WindowStyle {
  platform::WindowShape shape;
  uint32_t style;                         // the classic style word, kept for what it tells
  bool windowed;                          // false: covers the screen
  bool interactive;                       // mouse and command input are used
  std::optional<base::Rect> client_rect;  // where it is fixed by the mode
};

// full-screen saver: a pop-up over the primary screen; preview: a child of
// the given window, its size; desktop: a child covering the primary screen;
// the others: a framed window (whether it covers the screen is the
// settings' choice).
WindowStyle choose_window_style(SaverMode mode, const base::Rect& primary_screen,
                                const std::optional<base::Rect>& parent_client);

}  // namespace host
