#include "host/aquarium_application.h"

#include <algorithm>
#include <cstdio>

#include "base/feature_locks.h"
#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "host/accelerators.h"
#include "host/language_tables.h"
#include "host/settings_file.h"
#include "host/view_rect.h"
#include "platform/window_messages.h"

namespace host {
namespace {

constexpr double kRenewCooldown = 0.2;

}  // namespace

AquariumApplication::AquariumApplication(AppServices& services) : SaverApplication(services) {
  class_name_ = kWindowClass;
  title_ = kWindowTitle;
  min_track_width_ = 320;
  min_track_height_ = 200;
  use_accelerators_ = true;
  aspect_ratio_ = 0.5625f;
}

void AquariumApplication::parse_command_line() {
  SaverApplication::parse_command_line();
  if (mode_ == SaverMode::Configure) {
    mode_ = SaverMode::Standalone;
    configure_requested_ = true;
  }
  if (mode_ == SaverMode::Preview) base::feature_locks().word |= base::FeatureLocks::kMusicLocked;
}

void AquariumApplication::load_settings_at_start() {
  base::Rect screen = services_.windows.primary_screen();
  bool may_write = mode_ != SaverMode::Preview && !snapshot_;
  settings_load_ =
      load_settings(base::user_settings(), user_data_folder_, screen.width(), screen.height(), may_write);
  load_language_table(system_texts_, "System");
  load_language_table(gui_texts_, "GUIText");
  if (configure_requested_) base::user_settings().set_flag(base::UserSettings::kWindowed, false);
  topmost_ = base::user_settings().flag(base::UserSettings::kAlwaysOnTop);
  device_settings_.vsync = base::user_settings().flag(base::UserSettings::kVsync);
}

bool AquariumApplication::settings_windowed() const {
  return base::user_settings().flag(base::UserSettings::kWindowed);
}

base::Rect AquariumApplication::settings_window_rect() const {
  const base::UserSettings& s = base::user_settings();
  int32_t left = s.i32(base::UserSettings::kWindowLeft);
  int32_t top = s.i32(base::UserSettings::kWindowTop);
  return base::Rect{left, top, left + s.i32(base::UserSettings::kWindowWidth),
                    top + s.i32(base::UserSettings::kWindowHeight)};
}

HResult AquariumApplication::create() { return SaverApplication::create(); }

HResult AquariumApplication::init_device_objects() {
  HResult result = SaverApplication::init_device_objects();
  if (failed(result)) return result;
  render_devices_.devices = {device_.get()};
  render_devices_.current = 0;
  // Every shaded drawing goes through the shared effect: no start without it.
  if (!render::load_shared_effect(shared_effect_, effect_pools_, render_devices_, program_folder_))
    return kFail;
  aquarium_.create_device_objects(render_devices_, effect_pools_, shared_effect_, shader_level(),
                                  device_->info().max_texture_size);
  return kOk;
}

void AquariumApplication::delete_device_objects() {
  aquarium_.release_device_objects();
  shared_effect_.release();
  effect_pools_.release();
  render_devices_.devices.clear();
  SaverApplication::delete_device_objects();
}

HResult AquariumApplication::restore_device_objects() {
  HResult result = SaverApplication::restore_device_objects();
  if (failed(result)) return result;
  int aspect = mode_ == SaverMode::Preview ? 0 : base::user_settings().i32(base::UserSettings::kViewAspect);
  view_rect_ = compute_view_rectangle(aspect, back_buffer_width_, back_buffer_height_);
  aquarium_.resize(view_rect_, false);
  return kOk;
}

double AquariumApplication::frame_move() {
  double dt = SaverApplication::frame_move();
  renew_cooldown_ = std::max(0.0, renew_cooldown_ - frame_timer_.frame_time());
  aquarium_.frame_move(static_cast<float>(dt));
  return dt;
}

void AquariumApplication::render() {
  if (!device_) return;
  draw_frame(0);
  take_snapshot_if_due();
}

void AquariumApplication::draw_frame(std::size_t device_index) {
  render_devices_.current = device_index;
  clear_view(gfx::kClearTarget | gfx::kClearZBuffer);
  aquarium_.draw(base::runtime_state().has(base::RuntimeState::kWireframe),
                 static_cast<float>(frame_timer_.smoothed_frame_time()));
  if (fade_.running()) aquarium_.draw_fade(fade_.alpha(), back_buffer_width_, back_buffer_height_);
}

void AquariumApplication::one_time_scene_init() {
  SaverApplication::one_time_scene_init();
  aquarium_.init(program_folder_, user_data_folder_);
}

void AquariumApplication::once_per_second(bool busy) {
  if (aquarium_.once_per_second(busy, fade_.running())) start_fade_out();
}

std::string AquariumApplication::select_tank(const std::string& name, bool initial) {
  (void)initial;
  return aquarium_.load_tank_by_name(name);
}

void AquariumApplication::flip_camera_zoom() {
  aquarium_.flip_zoom(base::user_settings().i32(base::UserSettings::kZoomDirection) == 1 ? 1 : -1);
}

void AquariumApplication::final_cleanup() {
  if (!final_cleanup_done_) {
    final_cleanup_done_ = true;
    // A settings file that exists but could not be read is left alone.
    if (mode_ != SaverMode::Preview && !snapshot_ && settings_load_ != SettingsLoad::Unreadable) {
      if (mode_ == SaverMode::Standalone) store_window_state();
      aquarium_.store_state();
      playlist_.save_if_modified();
      save_settings(base::user_settings(), user_data_folder_);
    }
  }
  SaverApplication::final_cleanup();
}

SettingsContext AquariumApplication::settings_context() {
  base::Rect screen = services_.windows.primary_screen();
  return SettingsContext{base::user_settings(), services_.dialogs, settings_events_, system_texts_,
                         user_data_folder_,     screen.width(),    screen.height()};
}

bool AquariumApplication::import_settings() {
  bool imported = settings_transfer_.import_settings(settings_context());
  if (imported) {
    settings_load_ = SettingsLoad::Loaded;
    aquarium_.reload_colour_block();
    refresh_gui();
  }
  return imported;
}

bool AquariumApplication::export_settings() { return settings_transfer_.export_settings(settings_context()); }

void AquariumApplication::reset_settings() {
  settings_transfer_.reset_settings(settings_context());
  settings_load_ = SettingsLoad::Defaults;
  aquarium_.reload_colour_block();
  refresh_gui();
}

std::string AquariumApplication::gui_text(int id) const {
  const char* text = gui_texts_.text(id);
  return text != nullptr ? std::string(text) : std::string();
}

void AquariumApplication::show_text_warning(int id) {
  const char* text = system_texts_.text(id);
  if (text != nullptr) show_message(text, platform::MB_ICONWARNING | platform::MB_OK);
}

void AquariumApplication::advance_fade(double dt) {
  if (fade_.advance(static_cast<float>(dt))) switch_to_next_tank();
}

bool AquariumApplication::switch_to_next_tank() {
  std::string pending = take_pending_tank();
  bool loaded = false;
  if (!base::runtime_state().has(base::RuntimeState::kDialogOpen) && !pending.empty()) {
    loaded = select_tank_if_changed(pending);
    if (loaded) {
      if (base::user_settings().flag(base::UserSettings::kRerollOnTankChange)) renew_random_fish();
      refresh_gui();
    }
  }
  fade_.start_fade_in();
  return loaded;
}

void AquariumApplication::cancel_tank_fade() { fade_.cancel(); }

std::string AquariumApplication::statistics_text() const {
  char text[128];
  std::snprintf(text, sizeof text, "%dx%dx%d FPS:%.02f", view_rect_.width(), view_rect_.height(), 32,
                frame_timer_.frames_per_second());
  return text;
}

void AquariumApplication::on_started() {
  if (started_) return;
  SaverApplication::on_started();
  if (configure_requested_) on_command(command::kSettings);
}

void AquariumApplication::on_mouse(uint32_t message, uint64_t wparam, int64_t lparam) {
  if (interactive_ && (message == platform::WM_LBUTTONDOWN || message == platform::WM_LBUTTONDBLCLK) &&
      !toolbar_visible() && !gui_shown()) {
    if (cursor_mode_ == 1) {
      drop_food_at(last_mouse_x_, last_mouse_y_);
    } else if (cursor_mode_ == 2) {
      startle_fish_at(last_mouse_x_, last_mouse_y_);
    }
  }
  SaverApplication::on_mouse(message, wparam, lparam);
}

bool AquariumApplication::translate_accelerator(const platform::Message& message) {
  if (!use_accelerators_) return false;
  if (message.id != platform::WM_KEYDOWN && message.id != platform::WM_SYSKEYDOWN) return false;
  auto& keys = services_.windows;
  auto command =
      host::translate_accelerator(message.id, message.wparam, keys.key_down(platform::VK_SHIFT),
                                  keys.key_down(platform::VK_CONTROL), keys.key_down(platform::VK_MENU));
  if (!command) return false;
  send_message(platform::WM_COMMAND, (uint64_t{1} << 16) | *command, 0);
  return true;
}

void AquariumApplication::store_window_state() {
  if (mode_ != SaverMode::Standalone) return;
  base::UserSettings& s = base::user_settings();
  s.set_flag(base::UserSettings::kWindowed, windowed_);
  s.set_i32(base::UserSettings::kWindowLeft, window_rect_.left);
  s.set_i32(base::UserSettings::kWindowTop, window_rect_.top);
  s.set_i32(base::UserSettings::kWindowWidth, client_rect_.width());
  s.set_i32(base::UserSettings::kWindowHeight, client_rect_.height());
}

void AquariumApplication::restore_window_state() {
  base::Rect rect = settings_window_rect();
  window_rect_ = rect;
  client_rect_ = base::Rect{0, 0, rect.width(), rect.height()};
}

void AquariumApplication::toggle_windowed_aquarium() {
  if (windowed_) {
    store_window_state();
  } else {
    restore_window_state();
  }
  HResult result = toggle_windowed();
  if (failed(result)) {
    fatal_error(kResetFailed);
    return;
  }
  update_render_timer();
}

void AquariumApplication::on_command(uint32_t id) {
  if (!interactive_) return;
  base::UserSettings& s = base::user_settings();
  base::RuntimeState& state = base::runtime_state();
  switch (id & 0xFFFF) {
    case command::kExit:
      request_exit();
      break;
    case command::kInfoBox:
      state.toggle(base::RuntimeState::kInfoBox);
      break;
    case command::kWireframe:
      state.toggle(base::RuntimeState::kWireframe);
      break;
    case command::kHelp:
      state.toggle(base::RuntimeState::kHelpBox);
      show_help_box(state.has(base::RuntimeState::kHelpBox));
      break;
    case command::kZoom:
      s.set_i32(base::UserSettings::kZoomDirection, s.i32(base::UserSettings::kZoomDirection) == 1 ? -1 : 1);
      flip_camera_zoom();
      toolbar_command_tail();
      break;
    case command::kWindowed:
      if (mode_ == SaverMode::Standalone) toggle_windowed_aquarium();
      break;
    case command::kHoldColour:
      apply_colour_hold();
      refresh_gui();
      break;
    case command::kAmbientSound:
      s.set_u32(base::UserSettings::kSoundFlags,
                s.u32(base::UserSettings::kSoundFlags) ^ base::UserSettings::kSoundOff);
      ambient_.apply_sound_switch();
      refresh_gui();
      break;
    case command::kBubblesLeft:
    case command::kBubblesRight: {
      int32_t step = (id & 0xFFFF) == command::kBubblesLeft ? -1 : 1;
      int32_t position = std::clamp(s.i32(base::UserSettings::kBubbleEmitter) + step, 0, 100);
      s.set_i32(base::UserSettings::kBubbleEmitter, position);
      if ((s.u32(base::UserSettings::kBubbleFlags) & 2u) == 0) apply_bubble_emitter();
      refresh_gui();
      break;
    }
    case command::kBubblesUp:
      s.set_u32(base::UserSettings::kBubbleFlags, s.u32(base::UserSettings::kBubbleFlags) | 1u);
      refresh_gui();
      break;
    case command::kBubblesDown:
      s.set_u32(base::UserSettings::kBubbleFlags, s.u32(base::UserSettings::kBubbleFlags) & ~1u);
      refresh_gui();
      break;
    case command::kBubblesSpread:
      s.set_u32(base::UserSettings::kBubbleFlags, s.u32(base::UserSettings::kBubbleFlags) ^ 2u);
      refresh_gui();
      break;
    case command::kDropFood:
      cursor_mode_ = 1;
      toolbar_command_tail();
      break;
    case command::kStartleFish:
      cursor_mode_ = 2;
      toolbar_command_tail();
      break;
    case command::kRenewRandomFish:
      if (renew_cooldown_ <= 0.0) {
        renew_cooldown_ = kRenewCooldown;
        renew_random_fish();
      }
      break;
    case command::kNextTank:
    case command::kPreviousTank:
      if (choose_next_tank((id & 0xFFFF) == command::kNextTank)) start_fade_out();
      break;
    case command::kSettings:
      toggle_settings_gui();
      state.set(base::RuntimeState::kHelpBox, false);
      show_help_box(false);
      break;
    case command::kToolbar:
      toggle_toolbar();
      state.set(base::RuntimeState::kHelpBox, false);
      show_help_box(false);
      break;
    case command::kToggleF8:
      state.toggle(base::RuntimeState::kToggleF8);
      break;
    case command::kToggleF9:
      state.toggle(base::RuntimeState::kToggleF9);
      break;
    case command::kTopmost:
      s.set_flag(base::UserSettings::kAlwaysOnTop, !s.flag(base::UserSettings::kAlwaysOnTop));
      refresh_gui();
      set_topmost(s.flag(base::UserSettings::kAlwaysOnTop));
      break;
    case command::kMusic:
      if (!base::feature_locks().music_locked()) {
        s.set_u32(base::UserSettings::kMusicFlags,
                  s.u32(base::UserSettings::kMusicFlags) ^ base::UserSettings::kMusicOff);
        refresh_gui();
        playlist_.apply_music_switch();
      }
      break;
    default:
      break;
  }
}

}  // namespace host
