#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "audio/ambient_sound.h"
#include "audio/playlist.h"
#include "host/app_framework.h"
#include "host/saver_mode.h"
#include "host/snapshot_options.h"

namespace host {

// The screen-saver layer: the run modes, the start and stop sequence, the
// input and exit rules of each mode, and the protocol with the other
// programs.
class SaverApplication : public AppFramework {
 public:
  explicit SaverApplication(AppServices& services);

  // Operations added by this layer, in their fixed order.
  virtual void clear_view(uint32_t flags);
  virtual void parse_command_line();
  virtual bool check_running_instance();
  virtual bool locate_program_folder();
  virtual void choose_window_style();
  virtual void update_render_timer();
  virtual bool end_saver();
  virtual void on_started();
  virtual bool is_command_locked(uint32_t id);
  virtual bool is_command_for_mode(uint32_t id);
  virtual bool switch_to_next_tank() { return false; }
  virtual void once_per_second(bool /*busy*/) {}
  virtual bool create_application();
  virtual int run();
  virtual void launch_after_exit();
  virtual void exit_with_launch_request(int32_t code);
  virtual void on_user_resize(int width, int height);
  virtual void update_keyboard_lock() {}
  virtual void poll_keyboard() {}
  virtual std::string select_tank(const std::string& /*name*/, bool /*initial*/) { return {}; }
  virtual bool select_tank_if_changed(const std::string& name);
  virtual void cancel_tank_fade() {}
  virtual int64_t on_system_command(uint32_t command, int64_t lparam);
  virtual void on_mouse(uint32_t message, uint64_t wparam, int64_t lparam);
  virtual void on_activate_window(bool /*active*/) {}
  virtual void on_activate_app(bool active);
  virtual void on_close();

  // Framework operations this layer extends.
  HResult confirm_device(const render::DeviceCaps& caps, int vertex_processing,
                         render::PixelFormat adapter_format, render::PixelFormat back_buffer_format) override;
  void one_time_scene_init() override;
  HResult create() override;
  HResult create_window() override;
  HResult init_device_objects() override;
  HResult restore_device_objects() override;
  double frame_move() override;
  void final_cleanup() override;
  int64_t window_procedure(uint32_t message, uint64_t wparam, int64_t lparam) override;
  void adjust_window_style() override;
  void apply_window_position() override;

  void request_exit();
  void set_windowed(bool windowed);
  void begin_modal();
  void end_modal();
  int show_message(const std::string& text, uint32_t type);
  void on_focus_regained();
  void remove_desktop_item() {}

  SaverMode mode() const { return mode_; }
  uint64_t parent_window() const { return parent_window_; }
  bool interactive() const { return interactive_; }
  bool configure_requested() const { return configure_requested_; }
  int32_t launch_request() const { return launch_request_; }
  int mouse_move_count() const { return mouse_move_count_; }
  bool sizing() const { return sizing_; }
  bool started() const { return started_; }
  const std::string& program_folder() const { return program_folder_; }
  const std::string& user_data_folder() const { return user_data_folder_; }
  audio::Playlist& playlist() { return playlist_; }
  audio::AmbientSound& ambient_sound() { return ambient_; }
  void set_snapshot(const SnapshotOptions& options) { snapshot_ = options; }
  // Run by a screen-saver daemon: the full-screen saver drawn into the given
  // window (0: the root window), ended only by the daemon.
  void set_daemon_window(uint64_t window) { daemon_window_ = window; }
  bool under_daemon() const { return daemon_window_.has_value(); }
  // 0 none, 1 from pixel shader 1.1, 2 from 1.4, 3 from 2.0.
  int shader_level() const { return shader_level_; }
  // Set when a snapshot was written; a failed write leaves it clear.
  bool snapshot_written() const { return snapshot_written_; }

 protected:
  // Hooks the GUI and scene parts fill in; they do nothing here.
  virtual bool gui_mouse_message(uint32_t /*message*/, uint64_t /*wparam*/, int64_t /*lparam*/) {
    return false;
  }
  virtual bool gui_busy() const { return false; }
  virtual void gui_tick(double /*dt*/) {}
  virtual void advance_fade(double /*dt*/) {}
  virtual void load_settings_at_start() {}
  virtual bool settings_windowed() const { return true; }
  virtual base::Rect settings_window_rect() const;

  // Writes the back buffer to the snapshot file once enough frames are drawn
  // and asks the window to close.
  void take_snapshot_if_due();

  // The texts of the interface ("GUIText" table), for the music dialogs.
  virtual std::string gui_text(int /*id*/) const { return {}; }
  virtual void refresh_music_display() {}

  audio::Playlist playlist_;
  audio::AmbientSound ambient_;
  SaverMode mode_ = SaverMode::Standalone;
  bool interactive_ = true;
  bool configure_requested_ = false;
  int32_t launch_request_ = 0;
  bool in_password_dialog_ = false;
  int mouse_move_count_ = 0;
  bool sizing_ = false;
  bool started_ = false;
  bool modal_switched_ = false;
  bool registered_ = false;
  double last_second_total_ = 0.0;
  double gui_idle_seconds_ = 0.0;
  std::string program_folder_;
  std::string user_data_folder_;
  std::optional<SnapshotOptions> snapshot_;
  std::optional<uint64_t> daemon_window_;
  int shader_level_ = 0;
  int snapshot_frames_ = 0;
  bool snapshot_written_ = false;
};

}  // namespace host
