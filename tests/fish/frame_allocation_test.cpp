// The fish frame step runs for hours: once the tank is swimming it must not
// allocate.

#include <gtest/gtest.h>

#include "base/crt_random.h"
#include "fake_food.h"
#include "fish/fish_manager.h"
#include "model/mesh_library.h"
#include "shipped_tank.h"
#include "support/allocation_counter.h"

namespace {

TEST(FishFrame, AllocatesNothingOnceTheTankIsSwimming) {
  if (!test_support::allocations_counted()) GTEST_SKIP() << "the sanitizers' allocator is not counted";
  base::crt_rand().seed(5);
  model::MeshLibrary library;
  fish_kit::FakeFood food;
  fish::FishManager manager(fish::FishManager::kDefaultCapacity, base::crt_rand(), library);
  manager.set_food_source(&food);
  fish_kit::set_shipped_swim_box(manager);

  // A full tank: twelve schooling fish and three dwellers.
  fish_kit::ShippedKind schooling(10008);
  fish_kit::ShippedKind dweller(30001);
  ASSERT_TRUE(schooling.opened && dweller.opened);
  for (int slot = 0; slot < 15; ++slot) {
    fish_kit::ShippedKind& kind = slot < 12 ? schooling : dweller;
    ASSERT_TRUE(manager.create_fish(slot, slot < 12 ? 10008 : 30001, kind.reader));
  }

  // A minute to settle: schools formed, records grown to their size.
  for (int frame = 0; frame < 30 * 60; ++frame) {
    manager.UpdateFish(1.0f / 30.0f);
    manager.SortForDrawing();
  }
  // Ten minutes more, with food dropped now and then.
  const long before = test_support::allocations();
  for (int frame = 0; frame < 30 * 600; ++frame) {
    if (frame % (30 * 60) == 0) food.add({0.0f, 45.0f, 0.0f});
    manager.UpdateFish(frame % 500 == 0 ? 1.0f : 1.0f / 30.0f);
    manager.SortForDrawing();
  }
  EXPECT_EQ(test_support::allocations() - before, 0) << "allocations in the frame step";
}

}  // namespace
