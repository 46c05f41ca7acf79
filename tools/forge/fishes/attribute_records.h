#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/fishes/fish_kind.h"

namespace forge::fishes {

// The kind's attribute record: 34 little-endian words. The swimming words
// sit at 0 to 5 (school power, normal speed, max speed, wave size,
// frequency, elasticity), 15 (origin fraction), 16 (follow factor), 18
// (school weight factor), 22 (pitch limit) and 33 (spine segments, an
// integer); the others are 0.
inline constexpr std::size_t kAttributeWords = 34;
std::array<std::uint32_t, kAttributeWords> attribute_words(const SwimWords& swim);

// "att+": the whole record, 136 bytes.
std::vector<std::uint8_t> encode_attribute_record(const SwimWords& swim);

// "att": a text X file with one FishAtt2 object whose 40 DWORDs start with
// the record's words (floats as their bit patterns).
std::string attribute_x_file(const FishKind& kind);

}  // namespace forge::fishes
