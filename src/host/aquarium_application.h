#pragma once
#include <cstdint>
#include <string>

#include "base/rect.h"
#include "base/runtime_state.h"
#include "host/aquarium_scene.h"
#include "host/saver_application.h"
#include "host/settings_file.h"
#include "host/settings_transfer.h"
#include "host/tank_fade.h"
#include "render/effect_set.h"
#include "render/text_table.h"

namespace host {

// The aquarium layer: settings, commands and the frame of the scene.
class AquariumApplication : public SaverApplication {
 public:
  explicit AquariumApplication(AppServices& services);

  void parse_command_line() override;
  HResult create() override;
  HResult init_device_objects() override;
  void delete_device_objects() override;
  HResult restore_device_objects() override;
  double frame_move() override;
  void render() override;
  void final_cleanup() override;
  void on_command(uint32_t id) override;
  void on_started() override;
  void on_mouse(uint32_t message, uint64_t wparam, int64_t lparam) override;
  std::string statistics_text() const override;

  // Switches windowed and full screen, keeping the window's place in the
  // settings.
  void toggle_windowed_aquarium();
  void store_window_state();
  void restore_window_state();

  bool switch_to_next_tank() override;

  // The settings panel's import, export and reset commands.
  bool import_settings();
  bool export_settings();
  void reset_settings();
  // Shows a text of the "System" table as a warning.
  void show_text_warning(int id);
  void cancel_tank_fade() override;

  const base::Rect& view_rect() const { return view_rect_; }
  const TankFade& tank_fade() const { return fade_; }
  const render::EffectSet& shared_effect() const { return shared_effect_; }
  AquariumScene& aquarium() { return aquarium_; }
  int cursor_mode() const { return cursor_mode_; }
  bool renewed_random_fish_recently() const { return renew_cooldown_ > 0.0; }

 protected:
  bool translate_accelerator(const platform::Message& message) override;
  void load_settings_at_start() override;
  void one_time_scene_init() override;
  void once_per_second(bool busy) override;
  std::string select_tank(const std::string& name, bool initial) override;
  // Draws the scene, then the overlays, on the current device.
  void draw_frame(std::size_t device_index);
  bool settings_windowed() const override;
  base::Rect settings_window_rect() const override;

  // Hooks of the parts still to come; each does nothing here.
  virtual void drop_food_at(int /*x*/, int /*y*/) {}
  virtual void startle_fish_at(int x, int y) {
    aquarium_.startle_fish_at(x - view_rect_.left, y - view_rect_.top);
  }
  virtual void renew_random_fish() { aquarium_.renew_random_fish(); }
  virtual bool choose_next_tank(bool forward) { return aquarium_.choose_next_tank(forward); }
  virtual void start_fade_out() { fade_.start_fade_out(); }
  void advance_fade(double dt) override;
  // The tank waiting to be shown after the fade, taken (and cleared) at black.
  virtual std::string take_pending_tank() { return aquarium_.take_pending_tank(); }
  virtual void refresh_gui() {}
  virtual void apply_colour_hold() { aquarium_.toggle_colour_hold(); }

  virtual void apply_bubble_emitter() {}

  virtual void flip_camera_zoom();
  virtual void toolbar_command_tail() {}
  virtual void toggle_settings_gui() {}
  virtual void toggle_toolbar() {}
  virtual void show_help_box(bool /*shown*/) {}
  virtual bool gui_shown() const { return false; }
  virtual bool toolbar_visible() const { return false; }

 private:
  // The aquarium's answers to what the settings operations need; the parts
  // they reach (fish, tank list) are still to come.
  class SettingsEventsBridge final : public SettingsEvents {
   public:
    explicit SettingsEventsBridge(AquariumApplication& app) : app_(app) {}
    void begin_modal() override { app_.begin_modal(); }
    void end_modal() override { app_.end_modal(); }
    void select_tank(const std::string& name, bool initial) override { app_.select_tank(name, initial); }
    void clear_fish_population(bool empty_slots) override { app_.aquarium_.clear_fish(empty_slots); }
    void reset_tank_list() override { app_.aquarium_.reset_cycle_list(); }
    void reload_fish_and_tank_list() override {
      app_.aquarium_.reload_fish();
      app_.aquarium_.reload_cycle_list();
    }
    void store_scene_state() override { app_.aquarium_.store_state(); }

   private:
    AquariumApplication& app_;
  };
  SettingsContext settings_context();
  std::string gui_text(int id) const override;

  bool final_cleanup_done_ = false;
  SettingsLoad settings_load_ = SettingsLoad::Defaults;
  render::TextTable system_texts_;
  render::TextTable gui_texts_;
  // The rendering devices (one for now) and the effects shared across them.
  render::RenderDevices render_devices_;
  render::EffectPools effect_pools_;
  render::EffectSet shared_effect_{render_devices_, effect_pools_};
  SettingsEventsBridge settings_events_{*this};
  SettingsTransfer settings_transfer_;
  base::Rect view_rect_;
  int cursor_mode_ = 1;
  double renew_cooldown_ = 0.0;
  TankFade fade_{base::runtime_state().tank_fade_duration()};
  AquariumScene aquarium_;
};

}  // namespace host
