#include "host/app_framework.h"

#include <cstdio>

#include "platform/window_messages.h"
#include "render/gl_caps_provider.h"
#include "render/pixel_format.h"

namespace host {
namespace {

// Process-wide, like the rest of the application object: the application
// starts paused and is unpaused at the end of create().
int g_pause_count = 0;

constexpr uint32_t SC_SIZE = 0xF000;
constexpr uint32_t SC_MOVE = 0xF010;
constexpr uint32_t SC_MAXIMIZE = 0xF030;
constexpr uint32_t SC_KEYMENU = 0xF100;
constexpr uint32_t SC_MONITORPOWER = 0xF170;

}  // namespace

AppFramework::AppFramework(AppServices& services) : services_(services), frame_timer_(services.clock) {
  ++g_pause_count;
  frame_timer_.set_paused(true);
  base::Rect screen = services_.windows.primary_screen();
  int left = screen.left + (screen.width() - 800) / 2;
  int top = screen.top + (screen.height() - 600) / 2;
  client_rect_ = base::Rect{0, 0, 800, 600};
  window_rect_ = base::Rect{left, top, left + 800, top + 600};
}

AppFramework::~AppFramework() {
  device_.reset();
  window_.reset();
  // The application object is gone: nothing is left paused.
  g_pause_count = 0;
}

bool AppFramework::paused() const { return g_pause_count > 0; }
int AppFramework::pause_count() { return g_pause_count; }

HResult AppFramework::confirm_device(const render::DeviceCaps&, int, render::PixelFormat,
                                     render::PixelFormat) {
  return kOk;
}

HResult AppFramework::init_device_objects() { return kOk; }

void AppFramework::delete_device_objects() {}

HResult AppFramework::restore_device_objects() {
  set_cursor_visible(cursor_visible_);
  apply_cursor_clip();
  return kOk;
}

HResult AppFramework::present() {
  if (!device_) return kFail;
  return device_->present() ? kOk : kDeviceLost;
}

HResult AppFramework::create_window() {
  platform::WindowDesc desc;
  desc.shape = window_shape_;
  desc.title = title_;
  desc.parent = parent_window_;
  desc.min_width = min_track_width_;
  desc.min_height = min_track_height_;
  desc.visible = false;
  desc.fullscreen = window_shape_ == platform::WindowShape::Framed && !windowed_;
  if (window_shape_ == platform::WindowShape::Child) {
    desc.rect = client_rect_;
  } else {
    desc.rect = base::Rect{window_rect_.left, window_rect_.top, window_rect_.left + client_rect_.width(),
                           window_rect_.top + client_rect_.height()};
  }
  std::string error;
  window_ = services_.windows.create_window(desc, &error);
  if (!window_) return kFail;
  if (window_shape_ == platform::WindowShape::Framed) {
    // The stored rectangle is the outer one, frame included.
    base::Rect frame = window_->frame_extents();
    window_->move_to(window_rect_.left + frame.left, window_rect_.top + frame.top);
  }
  read_window_rects();
  return kOk;
}

HResult AppFramework::choose_initial_device_settings() {
  auto displays = services_.windows.displays();
  std::unique_ptr<render::CapsProvider> provider =
      services_.caps_provider ? services_.caps_provider(displays)
                              : std::make_unique<render::GlCapsProvider>(displays, gfx::DeviceInfo{});
  enumeration_.set_confirm_device([this](const render::DeviceCaps& caps, int vertex_processing,
                                         render::PixelFormat adapter, render::PixelFormat back_buffer) {
    return confirm_device(caps, vertex_processing, adapter, back_buffer);
  });
  HResult result = enumeration_.enumerate(*provider);
  if (failed(result)) return result;
  const render::AdapterInfo& adapter = *enumeration_.current_adapter();
  if (windowed_) {
    int bits = render::bits_per_pixel(adapter.desktop_mode.format);
    if (bits != 16 && bits != 32) return kNoDesktopHal;
  }
  render::DeviceSettings& settings = enumeration_.settings();
  settings.windowed = windowed_;
  if (!enumeration_.choose_settings(render::kHardwareDevice)) {
    HResult remembered =
        windowed_ && adapter.device(render::kHardwareDevice) != nullptr ? kNoWindowedHal : kOk;
    if (adapter.device(render::kReferenceDevice) == nullptr) return kNoCompatibleDevices;
    std::string text =
        device_error_text(remembered != kOk ? remembered : kNoHardwareDevice, ErrorSeverity::Switching);
    int answer =
        services_.dialogs.message_box(text, title_, platform::MB_ICONWARNING | platform::MB_OKCANCEL);
    if (answer != platform::IDOK) return kNullError;
    if (!enumeration_.choose_settings(render::kReferenceDevice)) return kNoCompatibleDevices;
  }
  device_settings_.windowed = windowed_;
  device_settings_.device_type = settings.device_type;
  device_settings_.vertex_processing = settings.vertex_processing;
  const render::DisplayMode& mode = settings.full_screen_mode;
  device_settings_.full_screen_mode =
      platform::DisplayMode{mode.width, mode.height, mode.refresh_rate, render::bits_per_pixel(mode.format)};
  return kOk;
}

void AppFramework::apply_window_mode() {
  device_settings_.windowed = windowed_;
  if (!windowed_ && window_) window_->set_topmost(true);
}

void AppFramework::cleanup_3d_environment() {
  active_ = false;
  if (device_) {
    invalidate_device_objects();
    delete_device_objects();
  }
  device_.reset();
}

HResult AppFramework::initialize_3d_environment() {
  windowed_ = device_settings_.windowed;
  adjust_window_style();
  build_present_parameters();
  std::string error;
  device_ = services_.create_device ? services_.create_device(*window_, present_params_, &error) : nullptr;
  if (!device_) return kNoCompatibleDevices;
  apply_window_position();
  HResult result = reset_3d_environment(true);
  if (failed(result)) return result;
  active_ = true;
  return kOk;
}

HResult AppFramework::reset_3d_environment(bool first_time) {
  objects_valid_ = false;
  if (!first_time) {
    invalidate_device_objects();
    if (!device_->reset(present_params_)) return kFail;
  }
  back_buffer_width_ = device_->params().width;
  back_buffer_height_ = device_->params().height;
  if (first_time) {
    HResult result = init_device_objects();
    if (failed(result)) {
      delete_device_objects();
      return result;
    }
  }
  HResult result = restore_device_objects();
  if (failed(result)) {
    invalidate_device_objects();
    return result;
  }
  objects_valid_ = true;
  return kOk;
}

HResult AppFramework::render_frame() {
  if (!device_) return kOk;
  if (device_lost_) {
    // A GL context is not lost the way a display device can be; a device
    // that reported a failed present is simply reset.
    HResult result = reset_3d_environment(false);
    if (failed(result)) return result;
    device_lost_ = false;
    return kOk;
  }
  frame_timer_.tick();
  frame_move();
  render();
  if (present() == kDeviceLost) device_lost_ = true;
  return kOk;
}

void AppFramework::final_cleanup() {
  cleanup_3d_environment();
  enumeration_.clear();
  set_timer(0, 0);
  if (failed(fatal_error_)) {
    std::string text = device_error_text(fatal_error_, ErrorSeverity::Fatal);
    if (!text.empty())
      services_.dialogs.message_box(text, title_, platform::MB_ICONWARNING | platform::MB_OK);
  }
}

std::string AppFramework::device_description() const {
  std::string text = device_settings_.device_type == 1   ? "HAL"
                     : device_settings_.device_type == 2 ? "REF"
                                                         : "SW";
  switch (device_settings_.vertex_processing) {
    case 0:
      text += " (sw vp)";
      break;
    case 1:
      text += device_settings_.device_type == 1 ? " (mixed vp)" : " (simulated mixed vp)";
      break;
    case 3:
      text += device_settings_.device_type == 1 ? " (pure hw vp)" : " (simulated pure hw vp)";
      break;
    default:
      text += device_settings_.device_type == 1 ? " (hw vp)" : " (simulated hw vp)";
      break;
  }
  if (device_settings_.device_type == 1 && device_) text += ": " + device_->info().renderer.substr(0, 512);
  return text;
}

std::string AppFramework::statistics_text() const {
  char text[256];
  std::snprintf(text, sizeof text, "%dx%dx%d (%s %s %s) FPS:%.02f", back_buffer_width_, back_buffer_height_,
                32, "X8R8G8B8", "", "D24S8", frame_timer_.frames_per_second());
  return text;
}

void AppFramework::read_window_rects() {
  if (!window_) return;
  if (windowed_) window_rect_ = window_->window_rect();
  client_rect_ = window_->client_rect();
}

void AppFramework::handle_possible_size_change() {
  if (ignore_size_change_ || !window_) return;
  base::Rect old_client = client_rect_;
  read_window_rects();
  if (client_rect_.empty()) return;
  if (client_rect_.width() == old_client.width() && client_rect_.height() == old_client.height()) return;
  pause(true);
  if (device_) {
    build_present_parameters();
    HResult result = reset_3d_environment(false);
    if (failed(result)) {
      if (result == kOutOfVideoMemory) {
        result = recover_from_out_of_video_memory_at_reset();
        if (failed(result)) fatal_error(result);
      } else {
        fatal_error(kResetFailed);
      }
    }
  }
  pause(false);
}

void AppFramework::recreate_device() {
  build_present_parameters();
  pause(true);
  HResult result = reset_3d_environment(false);
  if (failed(result)) fatal_error(kResetFailed);
  pause(false);
}

void AppFramework::build_present_parameters() {
  present_params_.width = client_rect_.width();
  present_params_.height = client_rect_.height();
  present_params_.vsync = device_settings_.vsync;
  present_params_.multisample = windowed_ ? 0 : device_settings_.multisample;
}

void AppFramework::adjust_window_style() {
  if (!window_ || window_shape_ == platform::WindowShape::Child) return;
  if (window_shape_ == platform::WindowShape::Framed) window_->set_fullscreen(!windowed_);
  if (!windowed_) {
    base::Rect screen = services_.windows.primary_screen();
    client_rect_ = base::Rect{0, 0, screen.width(), screen.height()};
  } else {
    client_rect_ = window_->client_rect();
  }
}

void AppFramework::apply_window_position() {
  if (!window_) return;
  if (!windowed_) {
    window_->set_topmost(true);
  } else if (window_shape_ != platform::WindowShape::Child) {
    window_->set_topmost(topmost_);
    base::Rect frame = window_->frame_extents();
    window_->move_to(window_rect_.left + frame.left, window_rect_.top + frame.top);
    window_->resize_client(client_rect_.width(), client_rect_.height());
  }
  window_->show();
}

void AppFramework::set_topmost(bool topmost) {
  topmost_ = topmost;
  if (windowed_ && window_) window_->set_topmost(topmost);
}

void AppFramework::on_size(uint32_t kind) {
  switch (kind) {
    case platform::SIZE_MINIMIZED:
      if (windowed_ && window_) services_.windows.confine_cursor(*window_, false);
      pause(true);
      minimized_ = true;
      maximized_ = false;
      break;
    case platform::SIZE_MAXIMIZED:
      if (minimized_) pause(false);
      minimized_ = false;
      maximized_ = true;
      handle_possible_size_change();
      break;
    case platform::SIZE_RESTORED:
      if (maximized_) {
        maximized_ = false;
        handle_possible_size_change();
      } else if (minimized_) {
        pause(false);
        minimized_ = false;
        handle_possible_size_change();
      }
      break;
    default:
      break;
  }
}

HResult AppFramework::create() {
  HResult result = create_window();
  if (failed(result)) {
    fatal_error(result);
    return result;
  }
  result = choose_initial_device_settings();
  if (failed(result)) {
    fatal_error(result);
    return result;
  }
  one_time_scene_init();
  apply_window_mode();
  result = initialize_3d_environment();
  if (result == kOutOfVideoMemory) result = recover_from_out_of_video_memory_at_start();
  if (failed(result)) {
    fatal_error(result);
    return result;
  }
  if (timer_id_ != 0) set_timer(timer_id_, timer_interval_);
  frame_timer_.start(30.0);
  pause(false);
  if (window_) window_->show();
  return kOk;
}

bool AppFramework::next_message(platform::Message& message, bool block) {
  services_.windows.pump();
  if (services_.queue.peek(message, true)) return true;
  while (block && !quit_) {
    services_.windows.wait(-1);
    services_.windows.pump();
    if (services_.queue.peek(message, true)) return true;
  }
  return false;
}

bool AppFramework::translate_accelerator(const platform::Message&) { return false; }

void AppFramework::dispatch(const platform::Message& message) {
  int64_t result = 0;
  if (message.id == platform::WM_TIMER && timer_id_ != 0 && message.wparam == timer_id_) {
    if (active_ && !paused()) render_frame();
  } else {
    result = window_procedure(message.id, message.wparam, message.lparam);
  }
  if (message.reply_token != 0) services_.instances.complete(message.reply_token, result);
}

int AppFramework::run_message_loop() {
  while (!quit_) {
    platform::Message message{};
    if (next_message(message, paused())) {
      if (!translate_accelerator(message)) dispatch(message);
      continue;
    }
    if (quit_) break;
    if (device_lost_ && services_.sleep) services_.sleep(100);
    if (timer_id_ != 0) {
      services_.windows.wait(-1);
    } else if (active_ && !paused()) {
      render_frame();
    } else if (!paused()) {
      services_.windows.wait(-1);
    }
  }
  return exit_code_;
}

void AppFramework::pause(bool pausing) {
  if (pausing) {
    ++g_pause_count;
  } else if (g_pause_count > 0) {
    --g_pause_count;
  }
  frame_timer_.set_paused(paused());
}

void AppFramework::pause_for_dialog(bool entering) {
  if (!window_) return;
  if (entering) dialog_switched_ = active_ && objects_valid_ && !windowed_;
  pause(entering);
  if (dialog_switched_) toggle_windowed();
}

int64_t AppFramework::window_procedure(uint32_t message, uint64_t wparam, int64_t lparam) {
  switch (message) {
    case platform::WM_DESTROY:
      final_cleanup();
      quit_ = true;
      exit_code_ = 0;
      return 0;
    case platform::WM_SIZE:
      on_size(static_cast<uint32_t>(wparam));
      return 0;
    case platform::WM_PAINT:
      if (active_ && windowed_ && paused() && device_) device_->present();
      return 0;
    case platform::WM_CLOSE:
      destroy_window();
      return 0;
    case platform::WM_COMMAND:
      on_command(static_cast<uint32_t>(wparam));
      return 0;
    case platform::WM_SYSCOMMAND: {
      uint32_t command = static_cast<uint32_t>(wparam) & 0xFFF0;
      if (command == SC_SIZE || command == SC_MOVE || command == SC_MAXIMIZE || command == SC_KEYMENU ||
          command == SC_MONITORPOWER) {
        return windowed_ ? 0 : 1;
      }
      return 0;
    }
    case platform::WM_MOUSEMOVE:
      last_mouse_x_ = platform::point_x(lparam);
      last_mouse_y_ = platform::point_y(lparam);
      return 0;
    case platform::WM_ENTERSIZEMOVE:
      pause(true);
      return 0;
    case platform::WM_EXITSIZEMOVE:
      pause(false);
      handle_possible_size_change();
      return 0;
    case platform::WM_POWERBROADCAST:
      return (wparam == 0 || wparam == 7) ? 1 : 0;
    case platform::MSG_BRING_TO_FRONT:
      if (window_) {
        if (window_->minimized()) window_->restore();
        window_->raise();
        window_->focus();
      }
      return 0;
    default:
      return 0;
  }
}

HResult AppFramework::change_display_mode(bool full_screen) {
  if (minimized_ || !active_ || !objects_valid_) return kOk;
  if (full_screen == !windowed_) return kOk;
  bool was_windowed = windowed_;
  windowed_ = !full_screen;
  device_settings_.windowed = windowed_;
  adjust_window_style();
  build_present_parameters();
  pause(true);
  ignore_size_change_ = true;
  HResult result = reset_3d_environment(false);
  if (failed(result)) {
    windowed_ = was_windowed;
    device_settings_.windowed = windowed_;
    adjust_window_style();
    build_present_parameters();
    if (failed(reset_3d_environment(false))) {
      ignore_size_change_ = false;
      pause(false);
      return kResetFailed;
    }
  }
  ignore_size_change_ = false;
  pause(false);
  apply_window_position();
  apply_cursor_clip();
  return kOk;
}

void AppFramework::fatal_error(HResult code) {
  if (fatal_error_ != kOk) return;
  fatal_error_ = code;
  if (window_) {
    send_message(platform::WM_CLOSE);
  } else {
    std::string text = device_error_text(code, ErrorSeverity::Fatal);
    if (!text.empty())
      services_.dialogs.message_box(text, title_, platform::MB_ICONWARNING | platform::MB_OK);
  }
}

int64_t AppFramework::send_message(uint32_t message, uint64_t wparam, int64_t lparam) {
  return window_procedure(message, wparam, lparam);
}

void AppFramework::post_message(uint32_t message, uint64_t wparam, int64_t lparam) {
  services_.queue.post(platform::Message{message, wparam, lparam, 0});
}

void AppFramework::set_timer(uint32_t id, int interval_ms) {
  if (timer_id_ != 0) services_.windows.stop_timer(timer_id_);
  timer_id_ = id;
  timer_interval_ = interval_ms;
  if (id != 0 && window_) services_.windows.start_timer(id, interval_ms);
}

void AppFramework::destroy_window() {
  if (!window_) return;
  window_procedure(platform::WM_DESTROY, 0, 0);
  window_.reset();
}

void AppFramework::set_cursor_visible(bool visible) {
  if (!device_) return;
  cursor_visible_ = visible;
  services_.windows.show_cursor(visible);
}

void AppFramework::show_cursor(bool visible) {
  if (visible != cursor_visible_) set_cursor_visible(visible);
}

void AppFramework::apply_cursor_clip() {
  if (!window_ || !clip_cursor_when_full_screen_) return;
  services_.windows.confine_cursor(*window_, !windowed_);
}

}  // namespace host
