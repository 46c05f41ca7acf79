// A screen saver runs for hours: once the tank is up, a frame of the
// application must not allocate. Allocations are counted through operator
// new (the GL driver's own C allocations are not ours).

#include <gtest/gtest.h>

#include "app_harness.h"
#include "support/allocation_counter.h"
#include "support/gl_window.h"

namespace {

TEST(ApplicationFrame, AllocatesNothingOnceTheTankIsUp) {
  if (!test_support::allocations_counted()) GTEST_SKIP() << "the sanitizers' allocator is not counted";
  test_support::GlWindow gl;
  host_test::AppHarness harness("Brinewick.scr /r");
  harness.services.create_device = [&](platform::Window& window, const gfx::PresentParams&,
                                       std::string* why) -> std::unique_ptr<gfx::Device> {
    const base::Rect client = window.client_rect();
    if (!gl.open(client.width(), client.height(), why, "frame allocations")) return nullptr;
    return std::move(gl.device);
  };
  host::AquariumApplication& app = harness.make();
  ASSERT_TRUE(app.create_application());
  harness.drain();
  ASSERT_TRUE(app.aquarium().scene().loaded());
  // Six seconds to settle, then eighteen more counted: every once-a-second
  // step runs in them, and the tank cycle (every 30 s) does not yet change
  // the tank, which would load.
  for (int frame = 0; frame < 60; ++frame) {
    harness.now += 0.1;
    app.render_frame();
  }
  const long before = test_support::allocations();
  for (int frame = 0; frame < 150; ++frame) {
    harness.now += 0.12;
    app.render_frame();
  }
  EXPECT_EQ(test_support::allocations() - before, 0) << "allocations in 150 frames";
}

}  // namespace
