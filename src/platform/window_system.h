#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/rect.h"
#include "platform/display_info.h"
#include "platform/window.h"

namespace platform {

class MessageQueue;

// A 32 x 32 cursor image, 0xAARRGGBB pixels, rows top to bottom.
struct CursorImage {
  static constexpr int kSize = 32;
  uint32_t pixels[kSize * kSize] = {};
  int hot_x = 0;
  int hot_y = 0;
};

// Windows, their input and the things that go with a desktop session: displays,
// timers, the cursor and the keyboard state. The input of every window made
// here, and the timers, arrive as messages in the queue the system was made
// with.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // nullptr and a reason in *error when the window cannot be made.
  virtual std::unique_ptr<Window> create_window(const WindowDesc& desc, std::string* error) = 0;

  // The displays of the desktop; the primary one first.
  virtual std::vector<DisplayInfo> displays() = 0;
  base::Rect primary_screen();

  // Client area of a foreign window (nullopt when it does not exist); window
  // 0 is the root window.
  virtual std::optional<base::Rect> foreign_client_rect(uint64_t native_id) = 0;

  // Moves pending native events into the queue.
  virtual void pump() = 0;
  // Blocks until a native event or a posted message is waiting, or the
  // time-out (ms, -1 forever) ends.
  virtual void wait(int timeout_ms) = 0;

  // Posts WM_TIMER with wparam = id every interval; a second start of the same
  // id replaces the first.
  virtual void start_timer(uint32_t id, int interval_ms) = 0;
  virtual void stop_timer(uint32_t id) = 0;

  virtual void show_cursor(bool visible) = 0;
  virtual void set_cursor_image(const CursorImage* image) = 0;  // nullptr: the arrow
  virtual void warp_cursor(Window& window, int x, int y) = 0;
  virtual void confine_cursor(Window& window, bool confine) = 0;

  // Whether a virtual key (VK_CONTROL, VK_SHIFT, VK_MENU, letters, ...) is held.
  virtual bool key_down(uint32_t virtual_key) = 0;

  // Keeps the desktop from blanking while the saver runs.
  virtual void inhibit_screen_blanking(bool inhibit) = 0;
};

// The SDL-backed window system, or nullptr and a reason when no display can be
// opened. Creating it initialises SDL's video; posting to the queue wakes wait().
std::unique_ptr<WindowSystem> create_sdl_window_system(MessageQueue& queue, std::string* error);

}  // namespace platform
