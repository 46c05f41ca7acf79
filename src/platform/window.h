#pragma once
#include <cstdint>
#include <string>

#include "base/rect.h"

namespace platform {

// The three kinds of window the run modes need.
enum class WindowShape {
  Popup,   // borderless, covering the whole primary screen (the full-screen saver)
  Framed,  // caption, sizing frame, minimise box, no maximise box (free-standing run)
  Child,   // inside a foreign X11 window, sized to its client area (preview, desktop)
};

struct WindowDesc {
  WindowShape shape = WindowShape::Framed;
  std::string title;
  // Client area. Popup: ignored (the primary screen). Framed: screen position and
  // size. Child: position and size inside the parent (an empty rect means the
  // parent's whole client area).
  base::Rect rect{0, 0, 800, 600};
  uint64_t parent = 0;  // X11 window id of the parent of a Child window; 0 = the root window
  int min_width = 0;
  int min_height = 0;
  bool visible = true;
  // A Framed window that starts covering its screen; rect stays the place it
  // takes when it leaves full screen.
  bool fullscreen = false;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void show() = 0;
  virtual void hide() = 0;
  virtual void minimize() = 0;
  virtual void restore() = 0;
  virtual bool minimized() const = 0;
  virtual bool visible() const = 0;

  // Client area position on the screen and its size.
  virtual void move_to(int x, int y) = 0;
  virtual void resize_client(int width, int height) = 0;
  // The outer rectangle on the screen, frame included.
  virtual base::Rect window_rect() const = 0;
  // The client area, always at (0, 0).
  virtual base::Rect client_rect() const = 0;
  // Size of the frame around the client area: left, top, right, bottom.
  virtual base::Rect frame_extents() const = 0;

  // Switches a Framed window between its frame and covering its screen.
  virtual void set_fullscreen(bool on) = 0;
  virtual bool fullscreen() const = 0;
  virtual void set_topmost(bool on) = 0;
  virtual void set_min_size(int width, int height) = 0;
  virtual void set_title(const std::string& title) = 0;
  virtual std::string title() const = 0;

  virtual void raise() = 0;
  virtual void focus() = 0;

  // The X11 id of the window; 0 where there is none (offscreen rendering).
  virtual uint64_t native_id() const = 0;
  // The X11 id of the foreign parent, 0 for top-level windows.
  virtual uint64_t parent_id() const = 0;
};

}  // namespace platform
