#pragma once

#include "base/vector.h"
#include "fish/behaviour.h"

namespace fish {

// (r1 - r2) of two fresh draws of the simulation's random numbers, r1 first.
float random_spread();
// The motion state stops: no push, no velocity.
void clear_motion(Fish& fish);

// State 0 (and any unused number): swim along with the school, bob when
// idle, now and then decide to visit the glass or turn.
class CruiseBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void tick() override;

 private:
  float speed_ = 0.4f;
  float phase_ = 0.0f;
  float amplitude_ = 0.8f;
  float decision_timer_ = 0.0f;
};

// State 2: swim up to the front glass, wiggle there a while.
class VisitGlassBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void tick() override;

 private:
  float timer_ = 0.0f;
  float gain_ = 0.0f;
};

// State 3: steer at a food item in view.
class HuntFoodBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;

 private:
  FoodItem* item_ = nullptr;
  bool counted_ = false;
  float gain_ = 0.0f;
  float patience_ = 0.0f;
};

// State 4: the mouth closes on the item along a straight path.
class BiteBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }

 private:
  FoodItem* item_ = nullptr;
  base::Vec3 start_;
  base::Vec3 end_;
  float duration_ = 0.0f;
  float elapsed_ = 0.0f;
};

// State 5: chew the item, then swallow it or spit it out.
class ChewBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;

 private:
  FoodItem* item_ = nullptr;
  float timer_ = 0.0f;
  bool swallow_ = false;
  bool spat_ = false;
  base::Vec3 spit_from_;
  base::Vec3 spit_to_;
  float spit_elapsed_ = 0.0f;
};

// State 6: chase another fish for a while.
class ChaseBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }
  Fish* partner() const override { return chased_; }
  void forget(const Fish& gone) override;

 private:
  Fish* chased_ = nullptr;
  float duration_ = 0.0f;
  float elapsed_ = 0.0f;
};

// State 7: flee from a chaser, darting when its mouth comes close.
class FleeBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }
  Fish* partner() const override { return chaser_; }
  void forget(const Fish& gone) override;

 private:
  Fish* chaser_ = nullptr;
};

// States 8 and 13: dart forward a fraction of the body length and back off
// slowly; in a zone (13) the zone is marked as being nibbled meanwhile.
class NibbleBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }

 private:
  HidingZone* zone_ = nullptr;
  float timer_ = 0.0f;
  float stroke_ = 0.0f;
};

// State 9: swim to a hiding zone.
class GoToZoneBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;

 private:
  HidingZone* zone_ = nullptr;
  float elapsed_ = 0.0f;
  float gain_ = 0.0f;
};

// What the dwelling and guarding states share: their zone, the time spent
// in it and the choices they make there.
class ZoneBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  bool try_nibble();
  bool try_rub();
  bool try_challenge();
  HidingZone* zone() const { return zone_; }

 protected:
  HidingZone* zone_ = nullptr;
  float elapsed_ = 0.0f;
  base::Vec3 point_;
  float gain_ = 0.0f;
};

// State 10: stay in the zone, moving between dwelling points.
class DwellInZoneBehaviour : public ZoneBehaviour {
 public:
  using ZoneBehaviour::ZoneBehaviour;
  void enter(const BehaviourArgument& argument) override;
  void resume() override;
  void update(float dt) override;
  void tick() override;
  void leave() override;
  // The fish comes back to dwell after whatever it switches to.
  void switch_to(int state, const BehaviourArgument& argument = {}) override;

 private:
  void pick_point();
};

// State 11: own the zone and patrol it.
class GuardZoneBehaviour : public ZoneBehaviour {
 public:
  using ZoneBehaviour::ZoneBehaviour;
  void enter(const BehaviourArgument& argument) override;
  void resume() override;
  void update(float dt) override;
  void tick() override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }

 private:
  void pick_point();
};

// State 12: rub against the zone's inside in two legs.
class RubInZoneBehaviour : public Behaviour {
 public:
  using Behaviour::Behaviour;
  void enter(const BehaviourArgument& argument) override;
  void update(float dt) override;
  void leave() override;
  bool can_be_interrupted() const override { return false; }

 private:
  HidingZone* zone_ = nullptr;
  float total_ = 0.0f;
  float second_leg_ = 0.0f;
  float amplitude_ = 0.0f;
  bool first_leg_ = true;
};

}  // namespace fish
