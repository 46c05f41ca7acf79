#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/rect.h"
#include "fish/fish_manager.h"
#include "fish/fish_population.h"
#include "fish/fish_renderer.h"
#include "render/effect_set.h"
#include "render/shared_constants.h"
#include "render/texture_manager.h"
#include "scene/camera.h"
#include "scene/environment.h"
#include "scene/scene.h"
#include "scene/scene_renderer.h"
#include "scene/screen_quad.h"
#include "scene/tank_list.h"
#include "scene/water_frames.h"
#include "scene/water_pattern.h"

namespace host {

// The aquarium's world: the tank list, the scene with its camera, light and
// water, and how they are advanced and drawn each frame. The application
// object owns one and calls it at the points of its frame.
class AquariumScene {
 public:
  AquariumScene();
  ~AquariumScene();
  AquariumScene(const AquariumScene&) = delete;
  AquariumScene& operator=(const AquariumScene&) = delete;

  // At start: the tank list of the program folder, the user's cycle list,
  // the colour block and the zoom of the settings.
  void init(const std::string& program_folder, const std::string& user_data_folder);

  // Device objects: the effects, the water frames, the screen quads.
  bool create_device_objects(render::RenderDevices& devices, render::EffectPools& pools,
                             render::EffectSet& shared, int shader_level, int max_texture_size);
  void release_device_objects();
  // The 3D view's rectangle changed.
  void resize(const base::Rect& view, bool animate);

  // Loads a tank by name, else the default tank, and applies it. Returns
  // the name loaded, empty when nothing loaded.
  std::string load_tank_by_name(const std::string& name);

  // The per-frame steps after the host's own: camera, light, fish, scene,
  // water.
  void frame_move(float dt);
  // The one-second work; true when the tank cycle wants a tank change.
  bool once_per_second(bool busy, bool fade_running);

  // Draws the background and the scene on the current device.
  void draw(bool wireframe, float frame_seconds);
  // Draws the fade quad with the given darkness over the whole back buffer.
  void draw_fade(float alpha, int width, int height);

  // Page Up / Page Down: chooses the next tank; false when there is none.
  bool choose_next_tank(bool forward);
  std::string take_pending_tank() { return tanks_.take_pending(); }

  // The fish under a point of the 3D view flee; the number startled.
  int startle_fish_at(int x, int y) { return fish_.ClickAt(static_cast<float>(x), static_cast<float>(y)); }
  void renew_random_fish() { population_.RerollRandom(); }

  // The settings' answers.
  void clear_fish(bool empty_slots) { population_.RemoveAll(empty_slots); }
  void reload_fish();
  void reset_cycle_list();
  void reload_cycle_list();
  void store_state();
  void reload_colour_block() { environment_.set_colour_block(); }
  void toggle_colour_hold() { environment_.toggle_hold(); }
  void flip_zoom(int direction);

  scene::Camera& camera() { return camera_; }
  scene::Environment& environment() { return environment_; }
  scene::Scene& scene() { return scene_; }
  scene::TankList& tanks() { return tanks_; }
  fish::FishManager& fish() { return fish_; }
  fish::FishPopulation& population() { return population_; }
  const scene::WaterPattern& water() const { return water_; }
  const scene::WaterFrames& water_frames() const { return water_frames_; }

 private:
  void apply_tank();
  void release_meshes();
  // The transparent scene objects far to near, each after the fish farther
  // from the eye than it, then the remaining fish.
  void draw_objects_and_fish();

  std::string program_folder_;
  std::string user_data_folder_;
  scene::Camera camera_;
  scene::Environment environment_;
  scene::Scene scene_;
  scene::TankList tanks_;
  scene::WaterPattern water_;
  scene::WaterFrames water_frames_;
  fish::FishManager fish_;
  fish::FishPopulation population_{fish_};
  bool populated_ = false;

  render::RenderDevices* devices_ = nullptr;
  std::unique_ptr<render::TextureManager> textures_;
  std::unique_ptr<render::SharedConstants> constants_;
  std::unique_ptr<scene::SceneRenderer> renderer_;
  std::unique_ptr<fish::FishRenderer> fish_renderer_;
  std::vector<std::pair<float, const fish::Fish*>> fish_by_depth_;
  std::vector<std::unique_ptr<scene::ScreenQuads>> quads_;
  base::Vec4 water_params_{1, 1, 0, 0};
  std::uint64_t light_version_ = 0;
  bool light_sent_ = false;
};

}  // namespace host
