#pragma once
#include <cstdint>
#include <optional>
#include <span>

namespace host {

struct Accelerator {
  uint16_t flags;  // FVIRTKEY | FNOINVERT, the last entry also has the end bit
  uint16_t key;    // virtual key
  uint16_t command;
};

// The program's keyboard shortcuts, in table order.
std::span<const Accelerator> accelerator_table();

// The command of a key press (WM_KEYDOWN or WM_SYSKEYDOWN with a virtual key),
// nullopt when the key has none. Shortcuts take no Shift, Ctrl or Alt.
std::optional<uint16_t> translate_accelerator(uint32_t message, uint64_t virtual_key, bool shift,
                                              bool control, bool alt);

namespace command {
inline constexpr uint16_t kExit = 40001;
inline constexpr uint16_t kInfoBox = 40002;
inline constexpr uint16_t kWireframe = 40003;
inline constexpr uint16_t kHelp = 40004;
inline constexpr uint16_t kZoom = 40005;
inline constexpr uint16_t kWindowed = 40007;
inline constexpr uint16_t kHoldColour = 40008;
inline constexpr uint16_t kAmbientSound = 40009;
inline constexpr uint16_t kBubblesLeft = 40011;
inline constexpr uint16_t kBubblesRight = 40012;
inline constexpr uint16_t kBubblesUp = 40013;
inline constexpr uint16_t kBubblesDown = 40014;
inline constexpr uint16_t kBubblesSpread = 40015;
inline constexpr uint16_t kDropFood = 40016;
inline constexpr uint16_t kStartleFish = 40017;
inline constexpr uint16_t kRenewRandomFish = 40022;
inline constexpr uint16_t kNextTank = 40023;
inline constexpr uint16_t kPreviousTank = 40024;
inline constexpr uint16_t kSettings = 40026;
inline constexpr uint16_t kToolbar = 40027;
inline constexpr uint16_t kToggleF8 = 40028;
inline constexpr uint16_t kToggleF9 = 40029;
inline constexpr uint16_t kTopmost = 40031;
inline constexpr uint16_t kMusic = 40033;
}  // namespace command

}  // namespace host
