#include "render/state_block.h"

#include <algorithm>

namespace render {

void StateBlock::set(gfx::RenderState state, std::uint32_t value) {
  auto known =
      std::find_if(states_.begin(), states_.end(), [&](const auto& entry) { return entry.first == state; });
  if (known != states_.end()) {
    known->second = value;
  } else {
    states_.emplace_back(state, value);
  }
}

void StateBlock::apply(gfx::Device& device) const {
  for (const auto& [state, value] : states_) device.set_render_state(state, value);
}

void StateBlock::capture(const gfx::Device& device) {
  for (auto& [state, value] : states_) value = device.render_state(state);
}

void StateBlockPair::record(const RenderDevices& devices, const Routine& routine) {
  blocks_.assign(devices.devices.size(), {});
  for (std::size_t device = 0; device < devices.devices.size(); ++device) {
    for (StateBlock& block : blocks_[device]) routine(block, device);
  }
}

StateBlock* StateBlockPair::block(std::size_t which, std::size_t device) {
  if (which > 1 || device >= blocks_.size()) return nullptr;
  return &blocks_[device][which];
}

bool StateBlockPair::apply(std::size_t which, std::size_t device, gfx::Device& target) const {
  if (which > 1 || device >= blocks_.size()) return false;
  blocks_[device][which].apply(target);
  return true;
}

}  // namespace render
