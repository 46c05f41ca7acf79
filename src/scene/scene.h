#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "scene/group_box.h"
#include "scene/scene_node.h"
#include "scene/sea_set_record.h"

namespace scene {

// The strength of the water current, read by the anemone: 0 for five
// seconds after a layout loads, then a new value in [0.5, 1] each second.
float current_strength();

// The live scene: the sea set's floor and background, the layout of the
// tank placed on it, and the boxes that tell the fish where to swim.
class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Loads the tank at path (program folder + "Scene/" + name, without
  // extension). The sea set is loaded only when it differs from the one
  // loaded; the layout replaces the previous layout. False when the tank
  // package does not open, has fewer than two entries, its sea set has no
  // record, or the last model load failed.
  bool load_tank(const std::string& path);

  bool loaded() const { return loaded_; }
  // The sea set now loaded ("" before the first).
  const std::string& sea_set_name() const { return sea_set_name_; }
  const SeaSetRecord& record() const { return record_; }
  const AlignedBox& swim_box() const { return swim_box_; }
  const GroupBox* ocean() const { return ocean_ ? &*ocean_ : nullptr; }
  const GroupBoxList& sea_set_boxes() const { return sea_set_boxes_; }
  const GroupBoxList& tank_boxes() const { return tank_boxes_; }
  const base::Vec3& bubble_source() const { return bubble_source_; }
  const base::Vec3& layout_centre() const { return layout_centre_; }
  // How many sea sets were read from disk so far.
  int sea_set_loads() const { return sea_set_loads_; }

  // Every object: the sea set's, then the layout's.
  const std::vector<SceneNode*>& objects() const { return objects_; }
  std::size_t sea_set_object_count() const { return sea_set_.objects().size(); }
  // The objects whose triangles stop fish: kind 4, then anemones.
  std::vector<const SceneNode*> obstacles() const;

  // Rebuilds the object list and every part's light vector.
  void rebuild(const render::Light& light);
  void update(float dt);
  void one_second_tick();

 private:
  class Factory;

  bool load_sea_set(const std::string& name);
  std::optional<bool> load_layout(const std::string& name, std::span<const std::uint8_t> info);
  void collect_objects();

  std::unique_ptr<Factory> factory_;
  model::Model sea_set_;
  model::Model layout_;
  std::vector<SceneNode*> objects_;
  bool loaded_ = false;
  std::string sea_set_name_;
  SeaSetRecord record_;
  AlignedBox swim_box_;
  std::optional<GroupBox> ocean_;
  GroupBoxList sea_set_boxes_;
  GroupBoxList tank_boxes_;
  base::Vec3 bubble_source_;
  base::Vec3 layout_centre_;
  int sea_set_loads_ = 0;
};

// The swim box used when a sea set has neither an "ocean" box nor models.
inline constexpr AlignedBox kDefaultSwimBox{{-50, 5, -25}, {50, 55, 25}};
// The name of the sea set's group-box entry: four bytes, not a text.
inline constexpr char kSeaSetBoxesEntry[] = "\xB3\xBD\xB8\x73";

}  // namespace scene
