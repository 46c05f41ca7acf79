#pragma once
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/message_queue.h"
#include "platform/window_system.h"

namespace platform {

// A window that only remembers what was asked of it.
class FakeWindow final : public Window {
 public:
  explicit FakeWindow(const WindowDesc& desc);

  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  void minimize() override { minimized_ = true; }
  void restore() override { minimized_ = false; }
  bool minimized() const override { return minimized_; }
  bool visible() const override { return visible_; }
  void move_to(int x, int y) override;
  void resize_client(int width, int height) override;
  base::Rect window_rect() const override;
  base::Rect client_rect() const override { return base::Rect{0, 0, width_, height_}; }
  base::Rect frame_extents() const override { return frame_; }
  void set_fullscreen(bool on) override { fullscreen_ = on; }
  bool fullscreen() const override { return fullscreen_; }
  void set_topmost(bool on) override { topmost_ = on; }
  void set_min_size(int width, int height) override;
  void set_title(const std::string& title) override { title_ = title; }
  std::string title() const override { return title_; }
  void raise() override { ++raise_count; }
  void focus() override { ++focus_count; }
  uint64_t native_id() const override { return 0; }
  uint64_t parent_id() const override { return parent_; }

  WindowShape shape;
  bool topmost() const { return topmost_; }
  int min_width = 0;
  int min_height = 0;
  int raise_count = 0;
  int focus_count = 0;

 private:
  std::string title_;
  uint64_t parent_ = 0;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  base::Rect frame_{4, 24, 4, 4};
  bool visible_ = true;
  bool minimized_ = false;
  bool fullscreen_ = false;
  bool topmost_ = false;
};

// A window system without a display. Tests set the displays and foreign
// windows, push native input with post(), and advance timers by hand.
class FakeWindowSystem final : public WindowSystem {
 public:
  explicit FakeWindowSystem(MessageQueue& queue);

  std::unique_ptr<Window> create_window(const WindowDesc& desc, std::string* error) override;
  std::vector<DisplayInfo> displays() override { return display_list; }
  std::optional<base::Rect> foreign_client_rect(uint64_t native_id) override;
  void pump() override {}
  void wait(int timeout_ms) override;
  void start_timer(uint32_t id, int interval_ms) override { timers[id] = interval_ms; }
  void stop_timer(uint32_t id) override { timers.erase(id); }
  void show_cursor(bool visible) override { cursor_visible = visible; }
  void set_cursor_image(const CursorImage* image) override { custom_cursor = image != nullptr; }
  void warp_cursor(Window&, int x, int y) override { cursor_x = x, cursor_y = y; }
  void confine_cursor(Window&, bool confine) override { cursor_confined = confine; }
  bool key_down(uint32_t virtual_key) override { return keys_held.count(virtual_key) != 0; }
  void inhibit_screen_blanking(bool inhibit) override { blanking_inhibited = inhibit; }

  // Posts WM_TIMER once for every running timer.
  void fire_timers();

  std::vector<DisplayInfo> display_list;
  std::map<uint64_t, base::Rect> foreign_windows;
  std::map<uint32_t, int> timers;
  std::set<uint32_t> keys_held;
  FakeWindow* last_window = nullptr;
  bool cursor_visible = true;
  bool custom_cursor = false;
  bool cursor_confined = false;
  bool blanking_inhibited = false;
  int cursor_x = 0, cursor_y = 0;
  int waits = 0;

 private:
  MessageQueue& queue_;
};

}  // namespace platform
