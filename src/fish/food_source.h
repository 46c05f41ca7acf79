#pragma once

#include "base/matrix.h"
#include "base/vector.h"

namespace fish {

// One piece of food as the fish see it. Items live in the food source's own
// storage, so a pointer stays valid while the source exists; whether the
// item is still in the water is the source's answer to present().
struct FoodItem {
  base::Vec3 position;
  float size = 0.0f;             // half the edge of the flake
  float sink_speed = 0.0f;       // current drift factor; 0 holds it still
  float base_sink_speed = 0.0f;  // drift factor given when it was dropped
  bool claimed = false;          // a hunting fish goes for it
  bool being_eaten = false;      // a fish chews it: it does not drift
};

// The food the fish hunt, bite and chew.
class FoodSource {
 public:
  virtual ~FoodSource();

  // Drifts and sinks the items; light_level tints them.
  virtual void update(float dt, float light_level) = 0;
  // How many items are in the water.
  virtual int count() const = 0;
  // The first unclaimed item in the view cones of a fish whose head frame
  // is body_frame (rows right, up, forward, position) and whose length is
  // `length`; nullptr when none is in view.
  virtual FoodItem* find_in_view(const base::Matrix& body_frame, float length) = 0;
  // Whether the item is still in the water.
  virtual bool present(const FoodItem* item) const = 0;
  // Takes an item out of the water: it was eaten whole.
  virtual void remove(FoodItem* item) = 0;
  // Lets go of an item: no longer claimed or being eaten, sinking at its
  // base speed again.
  virtual void release(FoodItem* item);
  // Takes every item out of the water (tank change).
  virtual void reset() = 0;
  // Drops food until there is about one item per fish.
  virtual void auto_feed(int fish_count) = 0;
  // Items smaller than this are always swallowed.
  virtual float min_size() const = 0;
};

}  // namespace fish
