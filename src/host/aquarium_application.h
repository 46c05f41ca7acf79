#pragma once
#include <cstdint>
#include <string>

#include "base/rect.h"
#include "host/saver_application.h"

namespace host {

// The aquarium layer: settings, commands and the frame of the scene.
class AquariumApplication : public SaverApplication {
 public:
  explicit AquariumApplication(AppServices& services);

  void parse_command_line() override;
  HResult create() override;
  HResult restore_device_objects() override;
  double frame_move() override;
  void render() override;
  void final_cleanup() override;
  void on_command(uint32_t id) override;
  void on_started() override;
  void on_mouse(uint32_t message, uint64_t wparam, int64_t lparam) override;

  // Switches windowed and full screen, keeping the window's place in the
  // settings.
  void toggle_windowed_aquarium();
  void store_window_state();
  void restore_window_state();

  const base::Rect& view_rect() const { return view_rect_; }
  int cursor_mode() const { return cursor_mode_; }
  bool renewed_random_fish_recently() const { return renew_cooldown_ > 0.0; }

 protected:
  bool translate_accelerator(const platform::Message& message) override;
  void load_settings_at_start() override;
  bool settings_windowed() const override;
  base::Rect settings_window_rect() const override;

  // Hooks of the parts still to come; each does nothing here.
  virtual void drop_food_at(int /*x*/, int /*y*/) {}
  virtual void startle_fish_at(int /*x*/, int /*y*/) {}
  virtual void renew_random_fish() {}
  virtual bool choose_next_tank(bool /*forward*/) { return false; }
  virtual void start_fade_out() {}
  virtual void refresh_gui() {}
  virtual void apply_colour_hold() {}
  virtual void apply_ambient_sound_switch() {}
  virtual void apply_bubble_emitter() {}
  virtual void apply_music_switch() {}
  virtual void flip_camera_zoom() {}
  virtual void toolbar_command_tail() {}
  virtual void toggle_settings_gui() {}
  virtual void toggle_toolbar() {}
  virtual void show_help_box(bool /*shown*/) {}
  virtual bool gui_shown() const { return false; }
  virtual bool toolbar_visible() const { return false; }

 private:
  bool final_cleanup_done_ = false;
  base::Rect view_rect_;
  int cursor_mode_ = 1;
  double renew_cooldown_ = 0.0;
};

}  // namespace host
