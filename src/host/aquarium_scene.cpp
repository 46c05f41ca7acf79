#include "host/aquarium_scene.h"

#include <algorithm>

#include "base/runtime_state.h"
#include "base/user_settings.h"

namespace host {
namespace {

// The wireframe view draws every line in this grey.
constexpr std::uint32_t kWireframeColour = 0xFF7F7F7F;

}  // namespace

AquariumScene::AquariumScene() : environment_(base::user_settings()) {}

AquariumScene::~AquariumScene() { release_device_objects(); }

void AquariumScene::init(const std::string& program_folder, const std::string& user_data_folder) {
  program_folder_ = program_folder;
  user_data_folder_ = user_data_folder;
  tanks_.scan(program_folder_ + "Scene/");
  tanks_.read_cycle_list(user_data_folder_ + "CycleTanks.txt", base::user_settings());
  environment_.set_colour_block();
  population_.BuildCatalogue(program_folder_ + "Fish/");
  fish_.set_camera(&camera_);
  camera_.set_zoom(base::user_settings().i32(base::UserSettings::kZoomDirection) == 1 ? 1 : -1);
}

bool AquariumScene::create_device_objects(render::RenderDevices& devices, render::EffectPools& pools,
                                          render::EffectSet& shared, int shader_level, int max_texture_size) {
  release_device_objects();
  devices_ = &devices;
  std::vector<render::TextureCaps> caps(devices.devices.size(), render::gl_texture_caps(max_texture_size));
  textures_ = std::make_unique<render::TextureManager>(devices, std::move(caps));
  constants_ = std::make_unique<render::SharedConstants>(shared, devices);
  renderer_ = std::make_unique<scene::SceneRenderer>(devices, pools);
  const bool effects = renderer_->load(program_folder_, shader_level);
  fish_renderer_ = std::make_unique<fish::FishRenderer>(devices, pools);
  fish_renderer_->load(program_folder_, shader_level,
                       base::user_settings().flag(base::UserSettings::kPixelShaderEffect));
  water_frames_.load(*textures_, program_folder_, shader_level);
  water_.set_frame_count(water_frames_.count());
  for (gfx::Device* device : devices.devices) quads_.push_back(std::make_unique<scene::ScreenQuads>(*device));
  light_sent_ = false;
  return effects;
}

void AquariumScene::release_meshes() {
  if (devices_ == nullptr) return;
  for (gfx::Device* device : devices_->devices) {
    for (scene::SceneNode* object : scene_.objects()) {
      if (object->mesh()) object->mesh()->release_device(*device);
    }
    for (const fish::Fish* one : fish_.fish()) {
      if (one->model) one->model->release_device(*device);
    }
  }
}

void AquariumScene::release_device_objects() {
  if (devices_ == nullptr) return;
  release_meshes();
  quads_.clear();
  if (textures_) water_frames_.release(*textures_);
  if (renderer_) renderer_->release();
  renderer_.reset();
  if (fish_renderer_) fish_renderer_->release();
  fish_renderer_.reset();
  constants_.reset();
  textures_.reset();
  devices_ = nullptr;
}

void AquariumScene::resize(const base::Rect& view, bool animate) {
  camera_.resize(view, animate);
  environment_.resize(view.width(), view.height());
}

std::string AquariumScene::load_tank_by_name(const std::string& name) {
  std::string loaded = name;
  bool ok = !name.empty() && scene_.load_tank(program_folder_ + "Scene/" + name);
  if (!ok) {
    loaded = scene::kDefaultTankName;
    ok = scene_.load_tank(program_folder_ + "Scene/" + loaded);
  }
  apply_tank();
  if (!ok) return {};
  // The first tank gets the fish of the settings; later tanks keep them.
  if (!populated_) {
    populated_ = true;
    population_.Populate();
  }
  base::user_settings().set_text(base::UserSettings::kTankName, base::UserSettings::kTankNameSize, loaded.substr(0, 63));
  return loaded;
}

void AquariumScene::apply_tank() {
  if (scene_.loaded()) {
    const scene::SeaSetRecord& record = scene_.record();
    camera_.apply_tank(scene_.swim_box(), record);
    environment_.set_light_direction(record.light_direction(), 1.0f);
    scene_.rebuild(environment_.light());
    water_.set_parameters(record);
  } else {
    scene_.rebuild(environment_.light());
  }
  fish_.SetSwimBox(scene_.loaded() ? scene_.ocean() : nullptr, &scene_.tank_boxes(), scene_.swim_box());
  fish_.set_obstacles(scene_);
  const base::Vec3& centre = scene_.layout_centre();
  camera_.set_layout_centre(centre.x, centre.y);
}

void AquariumScene::frame_move(float dt) {
  camera_.update(dt);
  environment_.update(dt);
  fish_.update(dt);
  scene_.update(dt);
  water_.update(dt);
  if (camera_.changed()) camera_.clear_changed();
}

bool AquariumScene::once_per_second(bool busy, bool fade_running) {
  scene_.one_second_tick();
  if (busy) return false;
  population_.OneSecondTick(false);
  const base::UserSettings& settings = base::user_settings();
  const bool cycling =
      settings.flag(base::UserSettings::kCycleInOrder) || settings.flag(base::UserSettings::kCycleRandom);
  return cycling && !fade_running && tanks_.advance_cycle_timer(settings);
}

bool AquariumScene::choose_next_tank(bool forward) {
  tanks_.next_tank(forward ? 1 : -1, base::user_settings());
  return !tanks_.pending().empty();
}

void AquariumScene::reset_cycle_list() { tanks_.clear_cycle_list(); }

void AquariumScene::reload_cycle_list() {
  tanks_.read_cycle_list(user_data_folder_ + "CycleTanks.txt", base::user_settings());
}

void AquariumScene::reload_fish() {
  population_.BuildCatalogue(program_folder_ + "Fish/");
  population_.Populate();
}

void AquariumScene::store_state() {
  population_.SaveSelection();
  tanks_.save_cycle_list(user_data_folder_ + "CycleTanks.txt");
  environment_.store_state();
}

void AquariumScene::flip_zoom(int direction) { camera_.glide_zoom(direction); }

void AquariumScene::draw(bool wireframe, float frame_seconds) {
  if (devices_ == nullptr || !renderer_) return;
  const std::size_t device_index = devices_->current;
  gfx::Device* device = devices_->current_device();
  if (device == nullptr) return;
  device->set_viewport(camera_.viewport());
  if (device_index < quads_.size()) quads_[device_index]->draw(environment_.gradient());
  if (!scene_.loaded() && scene_.objects().empty()) return;

  constants_->set_camera(camera_.view(), camera_.view_inverse(), camera_.projection());
  if (!light_sent_ || environment_.light_version() != light_version_) {
    constants_->set_light(environment_.light());
    light_version_ = environment_.light_version();
    light_sent_ = true;
  }
  if (wireframe) {
    device->set_render_state(gfx::RenderState::FillMode, gfx::kFillWireframe);
    constants_->set_line_colour(kWireframeColour);
    renderer_->draw_plain(*constants_, scene_.objects());
    for (const fish::Fish* one : fish_.fish()) {
      if (one->model) fish_renderer_->draw(*constants_, *one->model, one->body.skin_palette());
    }
    device->set_render_state(gfx::RenderState::FillMode, gfx::kFillSolid);
    return;
  }
  // The pattern scrolls once per frame, on the first device.
  if (device_index == 0) water_params_ = water_.step_motion(frame_seconds);
  constants_->set_water(water_params_, render::kWaterMapUv,
                        water_frames_.count() > 0 ? water_frames_.frame(device_index, water_.frame())
                                                  : textures_->white(device_index));
  renderer_->draw_first_pass(*constants_, scene_.objects());
  draw_objects_and_fish();
}

void AquariumScene::draw_objects_and_fish() {
  const base::Vec3& eye = camera_.eye();
  fish_by_depth_.clear();
  for (const fish::Fish* one : fish_.fish()) {
    if (!one->model || !one->visible) continue;
    const base::Vec3 offset = one->centre() - eye;
    fish_by_depth_.emplace_back(base::dot(offset, offset), one);
  }
  std::sort(fish_by_depth_.begin(), fish_by_depth_.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::size_t next_fish = 0;
  const auto draw_fish_beyond = [&](float depth) {
    for (; next_fish < fish_by_depth_.size() && fish_by_depth_[next_fish].first > depth; ++next_fish) {
      const fish::Fish& one = *fish_by_depth_[next_fish].second;
      fish_renderer_->draw(*constants_, *one.model, one.body.skin_palette());
    }
  };
  for (const scene::SceneNode* object :
       renderer_->draw_order(scene_.objects(), scene_.sea_set_object_count(), eye)) {
    const base::Vec3 offset = object->world_centre() - eye;
    draw_fish_beyond(base::dot(offset, offset));
    renderer_->draw_transparent(*constants_, *object);
  }
  draw_fish_beyond(-1.0f);
}

void AquariumScene::draw_fade(float alpha, int width, int height) {
  if (devices_ == nullptr || devices_->current >= quads_.size()) return;
  const float clamped = alpha < 0.0f ? 0.0f : (alpha > 1.0f ? 1.0f : alpha);
  const auto a = static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
  gfx::Device* device = devices_->current_device();
  if (device == nullptr) return;
  device->set_viewport(gfx::Viewport{0, 0, width, height, 0.0f, 1.0f});
  device->set_texture(0, {});
  quads_[devices_->current]->fill(a << 24);
}

}  // namespace host
