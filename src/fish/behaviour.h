#pragma once

#include <memory>

namespace fish {

class Fish;
struct FoodItem;
struct HidingZone;

// Behaviour states.
enum BehaviourState : int {
  kCruise = 0,
  kVisitGlass = 2,
  kHuntFood = 3,
  kBite = 4,
  kChew = 5,
  kChase = 6,
  kFlee = 7,
  kNibble = 8,
  kGoToZone = 9,
  kDwellInZone = 10,
  kGuardZone = 11,
  kRubInZone = 12,
  kNibbleInZone = 13,
  kStateCount = 14,
};

// What a behaviour is entered with: the food, the zone or the fish it is
// about, and a duration.
struct BehaviourArgument {
  FoodItem* food = nullptr;
  HidingZone* zone = nullptr;
  Fish* fish = nullptr;
  float duration = 0.0f;
};

// One state of a fish's behaviour. Each fish keeps one object per state it
// has been in; the fish's current behaviour steers it every frame and is
// ticked on each drive tick.
class Behaviour {
 public:
  Behaviour(int state, Fish& fish) : state_(state), fish_(fish) {}
  virtual ~Behaviour() = default;
  Behaviour(const Behaviour&) = delete;
  Behaviour& operator=(const Behaviour&) = delete;

  virtual void enter(const BehaviourArgument& argument) { (void)argument; }
  virtual void resume() {}
  virtual void update(float dt) = 0;
  virtual void tick() {}
  virtual void leave() {}
  virtual bool can_be_interrupted() const { return true; }
  virtual void switch_to(int state, const BehaviourArgument& argument = {});
  void finish();

  // Switches to visiting the glass when energy is above 1.
  bool try_play();
  // A dweller with a strong urge to hide asks for a zone; true when it
  // acted (it switched, or gave up and lost the urge).
  bool try_hide();
  // A hungry fish goes for food in view unless there are too many hunters.
  bool try_food();
  // Chases the heaviest available neighbour (of another kind only, when
  // asked) once energy drops below limit.
  bool try_chase(bool other_kind_only, float limit, float duration);
  void start_chase(Fish& other, float duration);

  // The fish this behaviour chases or flees from, if any.
  virtual Fish* partner() const { return nullptr; }
  // Drops every link to a fish that is going away.
  virtual void forget(const Fish& gone) { (void)gone; }

  int state() const { return state_; }
  Fish& fish() const { return fish_; }

 private:
  int state_;
  Fish& fish_;
};

// The behaviour of a state; an unknown state cruises under its own number.
std::unique_ptr<Behaviour> make_behaviour(int state, Fish& fish);

}  // namespace fish
