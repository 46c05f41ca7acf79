#include "host/accelerators.h"

#include "platform/window_messages.h"

namespace host {
namespace {

constexpr uint16_t kVirtKey = 0x03;  // FVIRTKEY | FNOINVERT
constexpr uint16_t kLast = 0x83;

constexpr Accelerator kTable[] = {
    {kVirtKey, 0x28, command::kBubblesDown},
    {kVirtKey, 0x25, command::kBubblesLeft},
    {kVirtKey, 0x27, command::kBubblesRight},
    {kVirtKey, 0x26, command::kBubblesUp},
    {kVirtKey, 0x43, command::kBubblesSpread},
    {kVirtKey, 0x1B, command::kExit},
    {kVirtKey, 0x4C, command::kHoldColour},
    {kVirtKey, 0x20, command::kSettings},
    {kVirtKey, 0x52, command::kRenewRandomFish},
    {kVirtKey, 0x22, command::kNextTank},
    {kVirtKey, 0x21, command::kPreviousTank},
    {kVirtKey, 0x78, command::kToggleF9},
    {kVirtKey, 0x53, command::kInfoBox},
    {kVirtKey, 0x57, command::kWireframe},
    {kVirtKey, 0x70, command::kHelp},
    {kVirtKey, 0x77, command::kToggleF8},
    {kVirtKey, 0x42, command::kAmbientSound},
    {kVirtKey, 0x46, command::kWindowed},
    {kVirtKey, 0x72, command::kDropFood},
    {kVirtKey, 0x71, command::kStartleFish},
    {kVirtKey, 0x0D, command::kToolbar},
    {kVirtKey, 0x5A, command::kZoom},
    {kVirtKey, 0x54, command::kTopmost},
    {kLast, 0x4D, command::kMusic},
};

}  // namespace

std::span<const Accelerator> accelerator_table() { return kTable; }

std::optional<uint16_t> translate_accelerator(uint32_t message, uint64_t virtual_key, bool shift,
                                              bool control, bool alt) {
  if (message != platform::WM_KEYDOWN && message != platform::WM_SYSKEYDOWN) return std::nullopt;
  if (shift || control || alt) return std::nullopt;
  for (const Accelerator& entry : kTable) {
    if (entry.key == virtual_key) return entry.command;
  }
  return std::nullopt;
}

}  // namespace host
