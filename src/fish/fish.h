#pragma once

#include <array>
#include <memory>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "fish/behaviour.h"
#include "fish/body_motion.h"
#include "fish/fish_kind.h"
#include "fish/obstacle.h"
#include "fish/school_neighbours.h"
#include "model/mesh_node.h"

namespace fish {

struct School;
struct SwimContext;

// What drives a fish's choice of behaviour.
struct Drives {
  float energy = 0.0f;       // above 1 playful, below -1 quarrelsome
  float hunger = 0.0f;       // at 0.8 or more the fish looks for food
  float hiding_urge = 0.0f;  // a dweller at 1 or more looks for a zone
  float drive_rate = 0.0f;   // scales the energy losses

  // Fresh drives: seven draws in this order.
  static Drives fresh(base::CrtRandom& random);
};

// One swimming fish: its kind's shared model and attributes, its body, its
// linear motion and the state of its behaviours. Created, placed and removed
// by the fish manager.
class Fish {
 public:
  static constexpr float kMaxSpeed = 1.2f;

  // A fish of a kind not seen before: the body is built from the model's
  // box and the attributes; the mouth is the frame whose name holds "mo".
  Fish(int kind, bool dweller, std::shared_ptr<model::MeshNode> model,
       std::shared_ptr<const FishKindAttributes> attributes, SwimContext& context, base::CrtRandom& random);
  // A fish of the same kind as `prototype`, sharing its model, attributes,
  // mouth and body set-up, with drives of its own.
  Fish(const Fish& prototype, base::CrtRandom& random);
  ~Fish();
  Fish& operator=(const Fish&) = delete;

  // Sets the size factor and what follows from it: length, collision box,
  // centre offset.
  void set_scale(float scale);
  // Puts the fish at `transform` at rest, at normal speed limit.
  void place(const base::Matrix& transform);

  // One frame: behaviour, drive clock, top-of-view check, body, mouth and
  // visibility.
  void update(float dt);

  // --- behaviours
  // Enters `state` unless it is the current one: the current behaviour
  // leaves, the state's behaviour enters with the priority base at 0.
  void set_state(int state, const BehaviourArgument& argument = {});
  // The current behaviour leaves and the return behaviour resumes.
  void finish_behaviour();
  // Both the current and the return behaviour leave; cruising again.
  void reset_behaviours();
  int state() const { return current_ != nullptr ? current_->state() : kCruise; }
  Behaviour* current() const { return current_; }
  Behaviour* return_behaviour() const { return return_; }
  void set_return_behaviour(Behaviour* behaviour) { return_ = behaviour; }
  // The behaviour of a state if it was made, else nullptr.
  Behaviour* behaviour(int state) const;
  // Clears every link this fish's behaviours and records keep to `gone`.
  void forget(const Fish& gone);

  // --- geometry
  const base::Matrix& world() const { return body.world(); }
  base::Vec3 position() const { return base::translation_of(body.world()); }
  base::Vec3 forward() const { return base::row3(body.world(), 2); }
  base::Vec3 centre() const { return position() + forward() * centre_offset; }
  OrientedBox collision_box() const;
  std::array<base::Vec3, 8> box_corners() const;
  // The model space to world matrix of the fish as one rigid piece.
  base::Matrix model_matrix() const;
  // The mouth in the world, updated each frame.
  const base::Vec3& mouth() const { return mouth_; }
  // Whether the fish touches no scenery.
  bool free() const { return contact_depth == 0.0f; }
  bool calm() const { return free() && encounter_score == 0.0f; }
  // Whether another fish may draw it into a chase.
  bool available() const;

  // --- kind and shared data
  int kind = 0;
  bool is_dweller = false;
  std::shared_ptr<model::MeshNode> model;
  std::shared_ptr<const FishKindAttributes> attributes;
  SwimContext& context;

  // --- size
  float scale = 1.0f;
  float base_length = 0.0f;  // twice the model's bounding radius
  float length = 0.0f;       // scale x base_length
  base::Vec3 half_extents;
  float centre_offset = 0.0f;

  // --- motion
  BodyMotion body;
  MotionState motion;
  bool held = false;  // a bite moves the fish; its own body pauses

  // --- drives and behaviour
  Drives drives;
  float drive_clock = 0.0f;
  float tick_period = 1.5f;
  float priority_base = 0.0f;

  // --- per frame
  float sort_key = 0.0f;
  float encounter_score = 0.0f;
  float contact_depth = 0.0f;
  float contact_time = 0.0f;
  std::vector<NeighbourRecord> neighbours;
  School* school = nullptr;
  float school_weight = 0.0f;
  bool visible = true;

 private:
  void make_behaviours();
  void find_mouth();
  void update_mouth();
  void drive_tick();
  Behaviour& behaviour_for(int state);

  base::Vec3 model_min_;
  base::Vec3 model_max_;
  base::Vec3 mouth_local_;  // in the head frame, unscaled model units
  base::Vec3 mouth_;
  std::array<std::unique_ptr<Behaviour>, kStateCount> behaviours_;
  Behaviour* current_ = nullptr;
  Behaviour* return_ = nullptr;
};

}  // namespace fish
