#pragma once

#include <vector>

#include "base/crt_random.h"
#include "base/matrix.h"
#include "base/vector.h"
#include "scene/group_box.h"

namespace fish {

class Fish;

// A place where anemone dwellers hide: one of the tank's group boxes. In
// the zone frame the box is the unit cube centred on the origin.
struct HidingZone {
  base::Matrix transform = base::identity();
  base::Matrix inverse = base::identity();
  base::Vec3 centre;
  float radius = 0.0f;
  float reach = 0.0f;  // 0.5 / radius
  int key = 1;
  int capacity = 2;
  int occupants = 0;
  float occupied_length = 0.0f;
  Fish* owner = nullptr;    // the fish guarding it
  Fish* nibbler = nullptr;  // the fish nibbling it

  base::Vec3 to_local(const base::Vec3& world) const { return base::transform_coord(world, inverse); }
  base::Vec3 to_world(const base::Vec3& local) const { return base::transform_coord(local, transform); }
  // How full the zone is: 1 when its fish would fill its reach.
  float crowding() const { return reach * occupied_length; }
  bool full() const { return occupants > capacity; }

  void add_occupant(float length);
  // Never below empty, whatever the caller's bookkeeping.
  void remove_occupant(float length);
};

// The hiding zones of the tank and the shared choice among them.
class HidingZones {
 public:
  // One zone per box with an invertible transform, in list order; a named
  // box holds 99 fish, an unnamed one 2.
  void rebuild(const scene::GroupBoxList* boxes);
  void clear();

  // Counts the shared re-target cooldown down.
  void tick(float dt) { cooldown_ -= dt; }
  float cooldown() const { return cooldown_; }

  // A zone for a fish at position with the dweller key, or nullptr while the
  // cooldown runs. Half the time the first zone of the key that was not the
  // last choice, else the nearest zone of the key.
  HidingZone* choose(const base::Vec3& position, int key, base::CrtRandom& random);

  // The repulsion of every zone whose key differs from asking_key and whose
  // unit cube holds position; false when none does.
  bool repel(const base::Vec3& position, int asking_key, base::Vec3& out) const;

  // Clears every link to a fish that is going away.
  void forget(const Fish& fish);

  std::vector<HidingZone>& zones() { return zones_; }
  const std::vector<HidingZone>& zones() const { return zones_; }

 private:
  std::vector<HidingZone> zones_;
  float cooldown_ = 0.0f;
  const HidingZone* last_chosen_ = nullptr;
};

}  // namespace fish
