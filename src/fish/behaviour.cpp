#include "fish/behaviour.h"

#include <memory>

#include "base/crt_random.h"
#include "fish/fish.h"
#include "fish/food_source.h"
#include "fish/behaviour_states.h"
#include "fish/swim_context.h"

namespace fish {

float random_spread() {
  const float r1 = base::crt_rand().unit();
  const float r2 = base::crt_rand().unit();
  return r1 - r2;
}

void clear_motion(Fish& fish) {
  fish.motion.push = {};
  fish.motion.push_magnitude = 0.0f;
  fish.motion.velocity = {};
  fish.motion.speed = 0.0f;
}

std::unique_ptr<Behaviour> make_behaviour(int state, Fish& fish) {
  switch (state) {
    case kVisitGlass:
      return std::make_unique<VisitGlassBehaviour>(state, fish);
    case kHuntFood:
      return std::make_unique<HuntFoodBehaviour>(state, fish);
    case kBite:
      return std::make_unique<BiteBehaviour>(state, fish);
    case kChew:
      return std::make_unique<ChewBehaviour>(state, fish);
    case kChase:
      return std::make_unique<ChaseBehaviour>(state, fish);
    case kFlee:
      return std::make_unique<FleeBehaviour>(state, fish);
    case kNibble:
    case kNibbleInZone:
      return std::make_unique<NibbleBehaviour>(state, fish);
    case kGoToZone:
      return std::make_unique<GoToZoneBehaviour>(state, fish);
    case kDwellInZone:
      return std::make_unique<DwellInZoneBehaviour>(state, fish);
    case kGuardZone:
      return std::make_unique<GuardZoneBehaviour>(state, fish);
    case kRubInZone:
      return std::make_unique<RubInZoneBehaviour>(state, fish);
    default:
      return std::make_unique<CruiseBehaviour>(state, fish);
  }
}

void Behaviour::switch_to(int state, const BehaviourArgument& argument) { fish_.set_state(state, argument); }

void Behaviour::finish() { fish_.finish_behaviour(); }

bool Behaviour::try_play() {
  if (!(fish_.drives.energy > 1.0f)) return false;
  fish_.set_state(kVisitGlass);
  return true;
}

bool Behaviour::try_hide() {
  if (!fish_.is_dweller || !(fish_.drives.hiding_urge >= 1.0f)) return false;
  HidingZone* zone = fish_.context.zones.choose(fish_.position(), 1, base::crt_rand());
  // A zone that already holds its capacity of fish takes no newcomer.
  if (zone != nullptr && zone->occupants < zone->capacity && zone->crowding() < 0.8f) {
    BehaviourArgument argument;
    argument.zone = zone;
    switch_to(kGoToZone, argument);
  } else {
    fish_.drives.hiding_urge = 0.0f;
  }
  return true;
}

bool Behaviour::try_food() {
  FoodSource* food = fish_.context.food;
  if (food == nullptr) return false;
  if (2 * food->count() < fish_.context.hunters) return false;
  if (fish_.drives.hunger < 0.8f) return false;
  FoodItem* item = food->find_in_view(fish_.body.body_frame(), fish_.length);
  if (item == nullptr) return false;
  BehaviourArgument argument;
  argument.food = item;
  switch_to(kHuntFood, argument);
  return true;
}

bool Behaviour::try_chase(bool other_kind_only, float limit, float duration) {
  Drives& drives = fish_.drives;
  if (!fish_.neighbours.empty()) {
    const float r1 = base::crt_rand().unit();
    const float r2 = base::crt_rand().unit();
    drives.energy -= drives.drive_rate * ((r1 - r2) * 0.01f + 0.03f) * fish_.motion.push_magnitude *
                     static_cast<float>(fish_.neighbours.size());
  }
  if (!(drives.energy < limit)) return false;
  const NeighbourRecord* best = nullptr;
  for (const NeighbourRecord& record : fish_.neighbours) {
    if (record.other == nullptr || !record.other->available()) continue;
    if (other_kind_only && record.other->kind == fish_.kind) continue;
    if (best == nullptr || record.weight > best->weight) best = &record;
  }
  if (best == nullptr) return false;
  start_chase(*best->other, duration);
  return true;
}

void Behaviour::start_chase(Fish& other, float duration) {
  BehaviourArgument argument;
  argument.fish = &other;
  argument.duration = duration;
  switch_to(kChase, argument);
}

}  // namespace fish
