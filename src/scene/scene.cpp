#include "scene/scene.h"

#include "base/crt_random.h"
#include "platform/ascii.h"
#include "render/data_folders.h"
#include "render/package_reader.h"

namespace scene {
namespace {

float g_current_strength = 0.0f;
int g_strength_countdown = 0;

constexpr int kStrengthCalmSeconds = 5;

// Every node kind becomes a scene node that remembers its kind; the kind
// picks the effect and whether it stops fish. Fish are made elsewhere.
std::unique_ptr<SceneNode> make_node(std::shared_ptr<model::MeshNode> mesh, const base::Matrix& placement,
                                     std::uint8_t kind) {
  return std::make_unique<SceneNode>(std::move(mesh), placement, kind);
}

std::string scene_folder() { return std::string(render::program_folder().str()) + "Scene/"; }

}  // namespace

float current_strength() { return g_current_strength; }

class Scene::Factory final : public model::ObjectFactory {
 public:
  std::unique_ptr<model::ModelObject> create_object(std::shared_ptr<model::MeshNode> mesh,
                                                    const base::Matrix& placement, std::uint8_t kind) override {
    return make_node(std::move(mesh), placement, kind);
  }
};

Scene::Scene()
    : factory_(std::make_unique<Factory>()), sea_set_(factory_.get()), layout_(factory_.get()) {}

Scene::~Scene() = default;

bool Scene::load_tank(const std::string& path) {
  render::PackageReader tank;
  if (!tank.open_file(path.c_str(), true) || tank.count() < 2) return false;
  const std::string sea_set = tank.entry(1)->name;
  const std::string layout = tank.entry(2)->name;

  bool result = true;
  if (platform::equals_ignore_ascii_case(sea_set, sea_set_name_) && !sea_set_name_.empty()) {
    // The floor, the record and the boxes are those already loaded.
    loaded_ = true;
  } else {
    loaded_ = false;
    render::PackageReader package;
    const std::string sea_set_path = scene_folder() + sea_set;
    if (package.open_file(sea_set_path.c_str(), true)) {
      // Whatever happens next, the old sea set is gone.
      sea_set_name_.clear();
      ++sea_set_loads_;
      result = sea_set_.load_from_package(package, false);
      const render::Block* record = package.read("SeaSet.BW");
      if (record == nullptr) {
        collect_objects();
        return false;
      }
      record_.assign(record->bytes());
      const render::Block* boxes = package.read(kSeaSetBoxesEntry);
      std::optional<GroupBoxList> list = boxes ? GroupBoxList::parse(boxes->bytes()) : std::nullopt;
      sea_set_boxes_ = list ? std::move(*list) : GroupBoxList{};
      const GroupBox* ocean = sea_set_boxes_.find("ocean");
      ocean_ = ocean ? std::optional<GroupBox>(*ocean) : std::nullopt;
      if (ocean_) {
        swim_box_ = ocean_->bounds();
      } else if (!sea_set_.objects().empty()) {
        swim_box_ = AlignedBox{sea_set_.bounds().min, sea_set_.bounds().max};
      } else {
        swim_box_ = kDefaultSwimBox;
      }
      if (!(swim_box_.max.x > swim_box_.min.x && swim_box_.max.y > swim_box_.min.y &&
            swim_box_.max.z > swim_box_.min.z)) {
        swim_box_ = kDefaultSwimBox;
      }
      const GroupBox* bubble = sea_set_boxes_.find("bubble");
      bubble_source_ = bubble ? bubble->bounds().centre() : swim_box_.centre();
      sea_set_name_ = sea_set;
      loaded_ = true;
    }
  }

  const render::Block* info = tank.read(std::uint32_t{2});
  if (info != nullptr) {
    std::optional<render::Block> stream = tank.detach_current();
    if (std::optional<bool> layout_result = load_layout(layout, stream->bytes())) {
      result = *layout_result;
      const render::Block* zones = tank.read(std::uint32_t{3});
      std::optional<GroupBoxList> list = zones ? GroupBoxList::parse(zones->bytes()) : std::nullopt;
      tank_boxes_ = list ? std::move(*list) : GroupBoxList{};
    }
  }
  collect_objects();
  return result;
}

std::optional<bool> Scene::load_layout(const std::string& name, std::span<const std::uint8_t> info) {
  render::PackageReader store;
  const std::string path = scene_folder() + name;
  if (!store.open_file(path.c_str(), true)) return std::nullopt;
  g_current_strength = 0.0f;
  g_strength_countdown = kStrengthCalmSeconds;
  // The previous layout's objects go before the new ones arrive.
  layout_.clear();
  const bool result = layout_.read_info(info, &store, {}, false);
  if (!layout_.objects().empty()) {
    base::Vec3 sum;
    for (const auto& object : layout_.objects()) sum += static_cast<const SceneNode&>(*object).world_centre();
    layout_centre_ = sum * (1.0f / static_cast<float>(layout_.objects().size()));
  }
  return result;
}

void Scene::collect_objects() {
  objects_.clear();
  for (const model::Model* model : {&sea_set_, &layout_}) {
    for (const auto& object : model->objects()) objects_.push_back(static_cast<SceneNode*>(object.get()));
  }
}

std::vector<const SceneNode*> Scene::obstacles() const {
  std::vector<const SceneNode*> list;
  for (const SceneNode* node : objects_) {
    if (node->kind() == 4 && node->obstacle_node() != nullptr) list.push_back(node);
  }
  for (const SceneNode* node : objects_) {
    if (node->is_anemone() && node->obstacle_node() != nullptr) list.push_back(node);
  }
  return list;
}

void Scene::rebuild(const render::Light& light) {
  collect_objects();
  for (SceneNode* node : objects_) node->refresh_light(light);
}

void Scene::update(float dt) {
  for (SceneNode* node : objects_) node->update(dt);
}

void Scene::one_second_tick() {
  if (g_strength_countdown > 0) {
    --g_strength_countdown;
  } else {
    g_current_strength = (base::crt_rand().unit() + 1.0f) * 0.5f;
  }
}

}  // namespace scene
