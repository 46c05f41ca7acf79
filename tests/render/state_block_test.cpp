#include "render/state_block.h"

#include <gtest/gtest.h>

#include "platform/recording_device.h"

namespace {

using gfx::RenderState;

TEST(StateBlockPair, RecordsTheRoutineTwicePerDeviceAndPutsStatesBack) {
  gfx::RecordingDevice first, second;
  render::RenderDevices devices{{&first, &second}};
  render::StateBlockPair pair;
  int runs = 0;
  pair.record(devices, [&](render::StateBlock& block, std::size_t device) {
    ++runs;
    block.set(RenderState::AlphaBlendEnable, 1);
    block.set(RenderState::ZWriteEnable, 0);
    block.set(RenderState::AlphaBlendEnable, device == 0 ? 1u : 0u);  // the later value counts
  });
  EXPECT_EQ(runs, 4);
  ASSERT_NE(pair.block(1, 1), nullptr);
  EXPECT_EQ(pair.block(1, 1)->states().size(), 2u);
  EXPECT_EQ(pair.block(0, 2), nullptr);

  // Block 0 saves what the device has; block 1 sets the routine's states.
  pair.block(0, 0)->capture(first);
  ASSERT_TRUE(pair.apply(1, 0, first));
  EXPECT_EQ(first.render_state(RenderState::AlphaBlendEnable), 1u);
  EXPECT_EQ(first.render_state(RenderState::ZWriteEnable), 0u);
  ASSERT_TRUE(pair.apply(0, 0, first));
  EXPECT_EQ(first.render_state(RenderState::AlphaBlendEnable),
            gfx::default_render_state(RenderState::AlphaBlendEnable));
  EXPECT_EQ(first.render_state(RenderState::ZWriteEnable), 1u);
  EXPECT_FALSE(pair.apply(0, 5, first));

  pair.release();
  EXPECT_EQ(pair.block(0, 0), nullptr);
}

}  // namespace
