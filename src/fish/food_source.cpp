#include "fish/food_source.h"

namespace fish {

FoodSource::~FoodSource() = default;

void FoodSource::release(FoodItem* item) {
  if (item == nullptr) return;
  item->claimed = false;
  item->being_eaten = false;
  item->sink_speed = item->base_sink_speed;
}

}  // namespace fish
