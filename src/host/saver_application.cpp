#include "host/saver_application.h"

#include <algorithm>
#include <filesystem>

#include "base/feature_locks.h"
#include "base/png.h"
#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "host/help_filter.h"
#include "host/instance_check.h"
#include "host/saver_command_line.h"
#include "host/view_rect.h"
#include "host/window_style.h"
#include "platform/folders.h"
#include "platform/window_messages.h"
#include "render/data_folders.h"
#include "render/file_path.h"
#include "render/gl_caps_provider.h"
#include "render/shader_level.h"

namespace host {
namespace {

constexpr uint32_t SC_CLOSE = 0xF060;
constexpr uint32_t SC_MOUSEMENU = 0xF090;
constexpr uint32_t SC_NEXTWINDOW = 0xF040;
constexpr uint32_t SC_PREVWINDOW = 0xF050;
constexpr uint32_t SC_KEYMENU = 0xF100;
constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;
constexpr uint32_t kPowerSuspend = 4;
constexpr int kMouseMovesTolerated = 10;
constexpr uint32_t kRenderTimer = 1;

std::string with_separator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

SaverApplication::SaverApplication(AppServices& services)
    : AppFramework(services), playlist_(services.music, services.dialogs), ambient_(services.sound) {
  aspect_ratio_ = 0.75f;
}

base::Rect SaverApplication::settings_window_rect() const { return window_rect_; }

void SaverApplication::clear_view(uint32_t flags) {
  if (!device_) return;
  device_->set_viewport(gfx::Viewport{0, 0, back_buffer_width_, back_buffer_height_, 0.0f, 1.0f});
  device_->clear(flags, 0xFF000000, 1.0f, 0);
}

void SaverApplication::parse_command_line() {
  ParsedCommandLine parsed = host::parse_command_line(services_.command_line);
  mode_ = parsed.mode;
  parent_window_ = parsed.number;
  if (daemon_window_) {
    mode_ = SaverMode::FullScreenSaver;
    parent_window_ = *daemon_window_;
  }
}

bool SaverApplication::check_running_instance() {
  return host::check_running_instance(services_.instances, mode_);
}

bool SaverApplication::locate_program_folder() {
  auto path = services_.registry.read_string(platform::Hive::Machine, kAppPathsKey, "");
  if (!path || path->empty()) return false;
  std::filesystem::path folder = std::filesystem::path(*path).parent_path();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return false;
  program_folder_ = with_separator(folder.string());
  render::set_program_folder(program_folder_);
  std::filesystem::current_path(folder, error);
  return true;
}

void SaverApplication::choose_window_style() {
  std::optional<base::Rect> parent_client;
  if (mode_ == SaverMode::Preview || daemon_window_) {
    parent_client = services_.windows.foreign_client_rect(parent_window_);
  }
  WindowStyle style = host::choose_window_style(mode_, services_.windows.primary_screen(), parent_client);
  if (daemon_window_) {
    // The daemon's window covers the screen already; we draw inside it.
    style.shape = platform::WindowShape::Child;
    style.windowed = true;
    style.client_rect = parent_client;
  }
  window_shape_ = style.shape;
  window_style_ = style.style;
  interactive_ = style.interactive;
  windowed_ = style.windowed ? windowed_ : false;
  if (style.client_rect) {
    client_rect_ = base::Rect{0, 0, style.client_rect->width(), style.client_rect->height()};
    window_rect_ = *style.client_rect;
  }
}

void SaverApplication::update_render_timer() {
  if (mode_ == SaverMode::Preview) {
    set_timer(kRenderTimer, 30);
  } else if (windowed_) {
    set_timer(kRenderTimer, 15);
  } else {
    set_timer(0, 0);
  }
}

bool SaverApplication::end_saver() {
  // Under a daemon, input never ends the saver: the daemon unblanks, locks
  // and stops us itself.
  if (in_password_dialog_ || daemon_window_) return false;
  // No password check exists on this platform: the desktop locks itself.
  send_message(platform::WM_CLOSE);
  return true;
}

void SaverApplication::on_started() {
  if (started_) return;
  started_ = true;
  if (device_) {
    select_tank(base::user_settings().text(base::UserSettings::kTankName, 64), true);
    ambient_.load_and_start();
    post_message(MSG_MUSIC_NEXT);
    update_render_timer();
  }
  if (mode_ == SaverMode::Preview) services_.semaphore.open_and_release(kSemaphoreName);
}

bool SaverApplication::is_command_locked(uint32_t id) {
  return is_help_entry_locked(id, base::feature_locks().music_locked());
}

bool SaverApplication::is_command_for_mode(uint32_t id) { return is_help_entry_hidden_in_mode(id, mode_); }

bool SaverApplication::select_tank_if_changed(const std::string& name) {
  if (name == base::user_settings().text(base::UserSettings::kTankName, 64)) return false;
  return !select_tank(name, false).empty();
}

bool SaverApplication::create_application() {
  program_folder_ =
      with_separator(services_.executable_path.empty()
                         ? services_.current_directory
                         : std::filesystem::path(services_.executable_path).parent_path().string());
  render::set_program_folder(program_folder_);
  parse_command_line();
  if (!check_running_instance()) return false;
  locate_program_folder();
  render::locate_user_data_folder(platform::documents_folder());
  user_data_folder_ = render::user_data_folder().c_str();
  base::runtime_state().set(base::RuntimeState::kNtFamily, true);
  choose_window_style();
  return !failed(create());
}

HResult SaverApplication::create() {
  load_settings_at_start();
  if (mode_ == SaverMode::Standalone) {
    windowed_ = settings_windowed();
    base::Rect rect = settings_window_rect();
    window_rect_ = rect;
    client_rect_ = base::Rect{0, 0, rect.width(), rect.height()};
  }
  if (snapshot_) {
    // A picture of a given size: always a window of exactly that client size.
    windowed_ = mode_ != SaverMode::FullScreenSaver;
    if (window_shape_ == platform::WindowShape::Framed) {
      client_rect_ = base::Rect{0, 0, snapshot_->width, snapshot_->height};
      window_rect_ = base::Rect{window_rect_.left, window_rect_.top, window_rect_.left + snapshot_->width,
                                window_rect_.top + snapshot_->height};
    }
  }
  HResult result = AppFramework::create();
  if (failed(result)) return result;
  if (!windowed_ && window_) {
    services_.windows.warp_cursor(*window_, back_buffer_width_ / 2, back_buffer_height_ / 2);
    last_mouse_x_ = back_buffer_width_ / 2;
    last_mouse_y_ = back_buffer_height_ / 2;
  }
  return kOk;
}

HResult SaverApplication::create_window() {
  HResult result = AppFramework::create_window();
  if (failed(result)) return result;
  platform::InstanceIdentity identity;
  identity.window_class = class_name_;
  identity.title = title_;
  identity.has_parent = window_shape_ == platform::WindowShape::Child && mode_ != SaverMode::FullScreenSaver;
  identity.mode = static_cast<int32_t>(mode_);
  registered_ = services_.instances.register_instance(identity);
  return kOk;
}

HResult SaverApplication::confirm_device(const render::DeviceCaps& caps, int vertex_processing,
                                         render::PixelFormat, render::PixelFormat) {
  if ((caps.src_blend_caps & render::kBlendCapsOne) == 0 ||
      (caps.src_blend_caps & render::kBlendCapsSrcAlpha) == 0 ||
      (caps.dest_blend_caps & render::kBlendCapsInvSrcAlpha) == 0) {
    return kFail;
  }
  if (caps.device_type == render::kHardwareDevice &&
      caps.vertex_shader_version >= render::vertex_shader_version(1, 1)) {
    return vertex_processing == render::kMixedVertexProcessing ||
                   vertex_processing == render::kHardwareVertexProcessing
               ? kOk
               : kFail;
  }
  return vertex_processing == render::kSoftwareVertexProcessing ? kOk : kFail;
}

HResult SaverApplication::init_device_objects() {
  HResult result = AppFramework::init_device_objects();
  if (failed(result)) return result;
  // The capabilities of the device actually made decide the shader tier.
  if (device_) {
    const render::DeviceSettings& settings = enumeration_.settings();
    render::GlCapsProvider provider(services_.windows.displays(), device_->info());
    if (auto caps = provider.device_caps(settings.adapter_ordinal, settings.device_type)) {
      shader_level_ = render::derive_shader_capability(*caps, shader_level_).level;
      if (caps->pixel_shader_version < render::pixel_shader_version(1, 4)) {
        base::user_settings().set_flag(base::UserSettings::kPixelShaderEffect, false);
      }
    }
  }
  if (mode_ == SaverMode::ActiveDesktop) {
    title_ = kDesktopTitle;
    if (window_) window_->set_title(title_);
    if (registered_) services_.instances.set_title(title_);
  }
  post_message(MSG_STARTED);
  return kOk;
}

HResult SaverApplication::restore_device_objects() {
  HResult result = AppFramework::restore_device_objects();
  if (failed(result)) return result;
  update_keyboard_lock();
  return kOk;
}

double SaverApplication::frame_move() {
  double dt = std::min(frame_timer_.smoothed_frame_time(), 1.0);
  if (frame_timer_.total_time() - last_second_total_ >= 1.0) {
    last_second_total_ = frame_timer_.total_time();
    if (interactive_ && !base::runtime_state().has(base::RuntimeState::kDialogOpen)) {
      if (gui_busy()) {
        once_per_second(true);
      } else {
        if (cursor_visible_) {
          gui_idle_seconds_ += 1.0;
          if (gui_idle_seconds_ > base::runtime_state().cursor_hide_delay()) show_cursor(false);
        }
        once_per_second(false);
      }
    }
  }
  advance_fade(dt);
  gui_tick(dt);
  return dt;
}

void SaverApplication::take_snapshot_if_due() {
  if (!snapshot_ || snapshot_written_ || !device_) return;
  if (++snapshot_frames_ < snapshot_->frames) return;
  gfx::Image image = device_->read_back();
  snapshot_written_ = base::write_png_file(snapshot_->path, static_cast<uint32_t>(image.width),
                                           static_cast<uint32_t>(image.height), 4, image.rgba,
                                           static_cast<size_t>(image.width) * 4);
  post_message(platform::WM_CLOSE);
}

void SaverApplication::one_time_scene_init() {
  playlist_.set_texts([this](int id) { return gui_text(id); });
  playlist_.init(services_.queue, MSG_MUSIC_EVENT, MSG_MUSIC_NEXT, user_data_folder_ + "Musics.txt",
                 base::user_settings());
  ambient_.init(program_folder_ + "Sound/", base::user_settings());
}

void SaverApplication::final_cleanup() {
  ambient_.release();
  playlist_.player().release_media();
  AppFramework::final_cleanup();
}

int SaverApplication::run() {
  bool keep_awake = mode_ == SaverMode::FullScreenSaver || mode_ == SaverMode::Standalone;
  if (keep_awake) services_.windows.inhibit_screen_blanking(true);
  int code = 0;
  if (mode_ != SaverMode::ChangePassword) code = run_message_loop();
  if (keep_awake) services_.windows.inhibit_screen_blanking(false);
  return code;
}

void SaverApplication::launch_after_exit() {
  if (launch_request_ != 4) return;
  std::string program = program_folder_ + kProgramFileName;
  services_.processes.start(program, {program, "-r", "Launch"}, true);
}

void SaverApplication::exit_with_launch_request(int32_t code) {
  remove_desktop_item();
  launch_request_ = code;
  playlist_.save_position();
  final_cleanup();
  request_exit();
}

void SaverApplication::request_exit() {
  if (mode_ == SaverMode::FullScreenSaver) {
    end_saver();
    return;
  }
  remove_desktop_item();
  send_message(platform::WM_CLOSE);
}

void SaverApplication::set_windowed(bool windowed) {
  if (mode_ == SaverMode::ActiveDesktop) {
    base::user_settings().set_flag(base::UserSettings::kWindowed, windowed);
    exit_with_launch_request(4);
  } else if (mode_ == SaverMode::Standalone) {
    if (windowed == windowed_) return;
    toggle_windowed();
  }
}

void SaverApplication::begin_modal() {
  if (!device_) return;
  base::runtime_state().set(base::RuntimeState::kDialogOpen, true);
  modal_switched_ = !windowed_;
  if (modal_switched_) toggle_windowed();
}

void SaverApplication::end_modal() {
  if (!device_) return;
  base::runtime_state().set(base::RuntimeState::kDialogOpen, false);
  on_focus_regained();
  if (modal_switched_) {
    modal_switched_ = false;
    toggle_windowed();
  }
}

int SaverApplication::show_message(const std::string& text, uint32_t type) {
  begin_modal();
  std::string expanded = text;
  render::expand_newlines(expanded);
  int answer = services_.dialogs.message_box(expanded, kWindowTitle, type);
  end_modal();
  return answer;
}

void SaverApplication::on_focus_regained() {
  if (window_) {
    window_->focus();
    window_->raise();
  }
  on_activate_window(true);
}

void SaverApplication::on_user_resize(int width, int height) {
  if (mode_ != SaverMode::Standalone || !windowed_ || !sizing_ || !window_) return;
  ClientSize size = constrain_user_resize(ClientSize{width, height},
                                          ClientSize{client_rect_.width(), client_rect_.height()},
                                          ClientSize{min_track_width_, min_track_height_}, aspect_ratio_);
  if (size.width != width || size.height != height) window_->resize_client(size.width, size.height);
  if (active_ && device_) device_->present();
}

int64_t SaverApplication::on_system_command(uint32_t command, int64_t) {
  uint32_t masked = command & 0xFFF0;
  switch (masked) {
    case SC_CLOSE:
      if (!windowed_) return 0;
      break;
    case SC_MOUSEMENU:
      if (mode_ == SaverMode::Standalone && windowed_) return 0;
      break;
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_SCREENSAVE:
      return 0;
    case SC_KEYMENU:
      return 1;
    case SC_MONITORPOWER:
      if (base::user_settings().flag(base::UserSettings::kMonitorPowerDown)) return 0;
      break;
    default:
      break;
  }
  return AppFramework::window_procedure(platform::WM_SYSCOMMAND, command, 0);
}

void SaverApplication::on_mouse(uint32_t message, uint64_t wparam, int64_t lparam) {
  gui_mouse_message(message, wparam, lparam);
  if (!interactive_) return;
  if (platform::point_x(lparam) == last_mouse_x_ && platform::point_y(lparam) == last_mouse_y_) return;
  if (mode_ == SaverMode::FullScreenSaver &&
      base::user_settings().flag(base::UserSettings::kExitOnMouseMove)) {
    if (++mouse_move_count_ > kMouseMovesTolerated) end_saver();
  }
  gui_idle_seconds_ = 0.0;
  show_cursor(true);
}

void SaverApplication::on_activate_app(bool active) {
  playlist_.on_activate_app(active);
  ambient_.on_activate_app(active);
  if (active) return;
  if (mode_ == SaverMode::FullScreenSaver) {
    end_saver();
  } else if (mode_ == SaverMode::Standalone && !windowed_ &&
             base::user_settings().flag(base::UserSettings::kExitOnActivation)) {
    request_exit();
  }
}

void SaverApplication::on_close() { remove_desktop_item(); }

void SaverApplication::adjust_window_style() { AppFramework::adjust_window_style(); }

void SaverApplication::apply_window_position() {
  AppFramework::apply_window_position();
  if (mode_ != SaverMode::ActiveDesktop && window_) window_->raise();
  if (window_) on_focus_regained();
}

int64_t SaverApplication::window_procedure(uint32_t message, uint64_t wparam, int64_t lparam) {
  switch (message) {
    case platform::WM_SIZE:
      if (mode_ == SaverMode::Standalone && windowed_ && sizing_) {
        on_user_resize(platform::point_x(lparam) & 0xFFFF, platform::point_y(lparam) & 0xFFFF);
      }
      break;
    case platform::WM_ENTERSIZEMOVE:
      sizing_ = true;
      break;
    case platform::WM_EXITSIZEMOVE:
      sizing_ = false;
      break;
    case platform::WM_ACTIVATE:
      on_activate_window(wparam != 0);
      break;
    case platform::WM_ACTIVATEAPP:
      on_activate_app(wparam != 0);
      break;
    case platform::WM_CLOSE:
      on_close();
      break;
    case platform::WM_DISPLAYCHANGE:
      if (mode_ == SaverMode::ActiveDesktop) request_exit();
      break;
    case platform::WM_SYSCOMMAND:
      return on_system_command(static_cast<uint32_t>(wparam), lparam);
    case platform::WM_MOUSEMOVE:
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONUP:
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_MOUSEWHEEL:
      on_mouse(message, wparam, lparam);
      break;
    case platform::WM_POWERBROADCAST:
      // Only the full-screen saver ends on a suspend.
      if (wparam == kPowerSuspend && mode_ == SaverMode::FullScreenSaver) end_saver();
      break;
    case MSG_STARTED:
      on_started();
      return 0;
    case MSG_MUSIC_EVENT:
      playlist_.player().handle_events();
      return 0;
    case MSG_MUSIC_NEXT:
      playlist_.play_next();
      refresh_music_display();
      return 0;
    case MSG_CLOSE_INSTANCE:
      // Unregister first: whoever asked must not find a closing instance.
      services_.instances.unregister_instance();
      registered_ = false;
      send_message(platform::WM_CLOSE);
      return 0;
    default:
      break;
  }
  return AppFramework::window_procedure(message, wparam, lparam);
}

}  // namespace host
