#pragma once

#include <cstdint>

// The messages the helper program instance_peer understands when it serves.
namespace platform_test {

inline constexpr uint32_t kPeerDouble = 0x8101;       // answers lparam * 2
inline constexpr uint32_t kPeerIgnore = 0x8102;       // never answered
inline constexpr uint32_t kPeerQuit = 0x8103;         // unregisters, answers 1, exits
inline constexpr uint32_t kPeerRetitle = 0x8104;      // takes its second title, answers 1
inline constexpr uint32_t kPeerCountFronts = 0x8105;  // answers how many times it was
                                                      // asked to come to the front

}  // namespace platform_test
