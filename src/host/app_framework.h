#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "base/rect.h"
#include "host/app_services.h"
#include "host/error_codes.h"
#include "host/frame_timer.h"
#include "platform/display_info.h"
#include "platform/gfx_device.h"
#include "platform/window.h"
#include "render/device_enumeration.h"

namespace host {

// What the device is created with: one adapter (the primary display), one
// device kind, windowed or covering the screen in a display mode.
struct DeviceSettings {
  bool windowed = true;
  platform::DisplayMode full_screen_mode;
  bool vsync = false;
  int multisample = 0;
  int device_type = 1;        // 1 hardware
  int vertex_processing = 2;  // 2 hardware
};

// The bottom layer of the application object: the main window, the rendering
// device, the message loop, the render timer, pausing, frame timing, device
// loss and reset, the windowed/full-screen switch and fatal errors. The upper
// layers customise it through the virtual operations, declared here in their
// fixed order.
class AppFramework {
 public:
  explicit AppFramework(AppServices& services);
  virtual ~AppFramework();
  AppFramework(const AppFramework&) = delete;
  AppFramework& operator=(const AppFramework&) = delete;

  virtual HResult confirm_device(const render::DeviceCaps& caps, int vertex_processing,
                                 render::PixelFormat adapter_format, render::PixelFormat back_buffer_format);
  virtual void one_time_scene_init() {}
  virtual HResult recover_from_out_of_video_memory_at_start() { return kOutOfVideoMemory; }
  virtual HResult recover_from_out_of_video_memory_at_reset() { return kOutOfVideoMemory; }
  virtual HResult init_device_objects();
  virtual void delete_device_objects();
  virtual HResult restore_device_objects();
  virtual void invalidate_device_objects() {}
  virtual double frame_move() { return 0.0; }
  virtual void render() {}
  virtual HResult present();
  virtual void on_init_menu() {}
  virtual HResult create_window();
  virtual HResult choose_initial_device_settings();
  virtual void apply_window_mode();
  virtual void cleanup_3d_environment();
  virtual HResult initialize_3d_environment();
  virtual HResult reset_3d_environment(bool first_time);
  virtual HResult render_frame();
  virtual void final_cleanup();
  virtual std::string device_description() const;
  virtual std::string statistics_text() const;
  virtual void handle_possible_size_change();
  virtual void recreate_device();
  virtual void build_present_parameters();
  virtual void adjust_window_style();
  virtual void apply_window_position();
  virtual void on_size(uint32_t kind);
  virtual HResult create();
  virtual int run_message_loop();
  virtual void pause(bool pausing);
  virtual void toggle_pause() { pause(!paused()); }
  virtual void pause_for_dialog(bool entering);
  virtual int64_t window_procedure(uint32_t message, uint64_t wparam, int64_t lparam);
  virtual void on_command(uint32_t /*id*/) {}

  // Switches between windowed and full screen; the mode is the desktop's.
  HResult change_display_mode(bool full_screen);
  HResult toggle_windowed() { return change_display_mode(windowed_); }
  void set_topmost(bool topmost);
  // Records the first fatal error and closes the window (or, before there is
  // one, shows the error at once).
  void fatal_error(HResult code);
  // Delivers a message to the window procedure as a sent message would be.
  int64_t send_message(uint32_t message, uint64_t wparam = 0, int64_t lparam = 0);
  void post_message(uint32_t message, uint64_t wparam = 0, int64_t lparam = 0);
  void set_timer(uint32_t id, int interval_ms);
  void destroy_window();

  bool paused() const;
  static int pause_count();
  bool windowed() const { return windowed_; }
  bool active() const { return active_; }
  bool objects_valid() const { return objects_valid_; }
  bool device_lost() const { return device_lost_; }
  bool minimized() const { return minimized_; }
  HResult fatal_error_code() const { return fatal_error_; }
  platform::Window* window() const { return window_.get(); }
  gfx::Device* device() const { return device_.get(); }
  int back_buffer_width() const { return back_buffer_width_; }
  int back_buffer_height() const { return back_buffer_height_; }
  const base::Rect& window_rect() const { return window_rect_; }
  const base::Rect& client_rect() const { return client_rect_; }
  const DeviceSettings& device_settings() const { return device_settings_; }
  const render::DeviceEnumeration& enumeration() const { return enumeration_; }
  FrameTimer& frame_timer() { return frame_timer_; }
  uint32_t timer_id() const { return timer_id_; }
  int timer_interval() const { return timer_interval_; }
  int last_mouse_x() const { return last_mouse_x_; }
  int last_mouse_y() const { return last_mouse_y_; }
  bool quit_requested() const { return quit_; }
  int exit_code() const { return exit_code_; }
  const gfx::PresentParams& present_params() const { return present_params_; }

  // Cursor over the window: hidden or shown, confined in full screen.
  void set_cursor_visible(bool visible);
  void show_cursor(bool visible);
  bool cursor_visible() const { return cursor_visible_; }

 protected:
  // Gets the next message: pumps native events and takes one from the queue,
  // blocking when asked. False when there is none (or the loop must end).
  bool next_message(platform::Message& message, bool block);
  // Key presses become WM_COMMAND through the shortcut table; true when the
  // key was a shortcut.
  virtual bool translate_accelerator(const platform::Message& message);
  void dispatch(const platform::Message& message);
  void read_window_rects();
  void apply_cursor_clip();

  AppServices& services_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<gfx::Device> device_;
  DeviceSettings device_settings_;
  render::DeviceEnumeration enumeration_;
  gfx::PresentParams present_params_;
  FrameTimer frame_timer_;

  // Window description, set by the upper layers before create().
  platform::WindowShape window_shape_ = platform::WindowShape::Framed;
  uint32_t window_style_ = 0x10CF0000;
  std::string class_name_ = "VRWnd";
  std::string title_ = "VRApp";
  uint64_t parent_window_ = 0;
  base::Rect window_rect_;
  base::Rect client_rect_;
  int min_track_width_ = 320;
  int min_track_height_ = 240;
  bool use_accelerators_ = false;

  bool windowed_ = true;
  bool active_ = false;
  bool objects_valid_ = false;
  bool device_lost_ = false;
  bool minimized_ = false;
  bool maximized_ = false;
  bool ignore_size_change_ = false;
  bool clip_cursor_when_full_screen_ = true;
  bool topmost_ = false;
  bool cursor_visible_ = true;
  uint32_t timer_id_ = 0;
  int timer_interval_ = 0;
  int back_buffer_width_ = 0;
  int back_buffer_height_ = 0;
  HResult fatal_error_ = kOk;
  int last_mouse_x_ = 0;
  int last_mouse_y_ = 0;
  float aspect_ratio_ = 0.75f;  // height / width kept by a user resize
  bool quit_ = false;
  int exit_code_ = 0;
  bool dialog_switched_ = false;
};

}  // namespace host
