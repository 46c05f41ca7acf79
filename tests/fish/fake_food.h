#pragma once

// A food source for the fish tests: items that stay where they are put.

#include <array>
#include <cmath>

#include "base/vector.h"
#include "fish/food_source.h"

namespace fish_kit {

class FakeFood : public fish::FoodSource {
 public:
  fish::FoodItem* add(const base::Vec3& position, float size = 0.1f) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (!alive[i]) {
        alive[i] = true;
        items[i] = fish::FoodItem{position, size, 0.01f, 0.01f, false, false};
        return &items[i];
      }
    }
    return nullptr;
  }
  void update(float, float) override {}
  int count() const override {
    int n = 0;
    for (bool a : alive) n += a ? 1 : 0;
    return n;
  }
  fish::FoodItem* find_in_view(const base::Matrix& frame, float) override {
    const base::Vec3 origin{frame.m[3][0], frame.m[3][1], frame.m[3][2]};
    const base::Vec3 forward{frame.m[2][0], frame.m[2][1], frame.m[2][2]};
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (alive[i] && !items[i].claimed && base::dot(items[i].position - origin, forward) > 0.0f) return &items[i];
    }
    return nullptr;
  }
  bool present(const fish::FoodItem* item) const override {
    const std::ptrdiff_t i = item - items.data();
    return i >= 0 && i < static_cast<std::ptrdiff_t>(items.size()) && alive[static_cast<std::size_t>(i)];
  }
  void remove(fish::FoodItem* item) override {
    if (present(item)) alive[static_cast<std::size_t>(item - items.data())] = false;
    ++removed;
  }
  void reset() override { alive.fill(false); }
  void auto_feed(int fish_count) override { feed_requests += fish_count > 0 ? 1 : 0; }
  float min_size() const override { return 0.08f; }

  std::array<fish::FoodItem, 64> items{};
  std::array<bool, 64> alive{};
  int removed = 0;
  int feed_requests = 0;
};

}  // namespace fish_kit
