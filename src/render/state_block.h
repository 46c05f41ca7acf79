#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/gfx_device.h"
#include "render/effect_set.h"

namespace render {

// Render states set together: recorded once, applied in one call.
class StateBlock {
 public:
  // Adds a state, replacing an earlier value of the same state.
  void set(gfx::RenderState state, std::uint32_t value);
  void apply(gfx::Device& device) const;
  // Takes the device's current values of the block's states (so that
  // applying the block later puts them back).
  void capture(const gfx::Device& device);
  void clear() { states_.clear(); }
  bool empty() const { return states_.empty(); }
  const std::vector<std::pair<gfx::RenderState, std::uint32_t>>& states() const { return states_; }

 private:
  std::vector<std::pair<gfx::RenderState, std::uint32_t>> states_;
};

// A routine's render states recorded for every device into two blocks,
// which users apply instead of setting the states one by one; the usual
// pair is one block to set the states and one captured before it to put
// the previous values back.
class StateBlockPair {
 public:
  // Sets states into the block being recorded, for the device of that index.
  using Routine = std::function<void(StateBlock& block, std::size_t device)>;

  // Runs the routine twice per device, into the first and then the second
  // block; earlier recordings are dropped.
  void record(const RenderDevices& devices, const Routine& routine);
  void release() { blocks_.clear(); }

  // The block (0 or 1) of a device; nullptr when none was recorded.
  StateBlock* block(std::size_t which, std::size_t device);
  // Applies a device's block; false when there is none.
  bool apply(std::size_t which, std::size_t device, gfx::Device& target) const;

 private:
  std::vector<std::array<StateBlock, 2>> blocks_;  // by device index
};

}  // namespace render
