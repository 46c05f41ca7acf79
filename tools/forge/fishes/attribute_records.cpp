#include "forge/fishes/attribute_records.h"

#include <bit>

#include "base/byte_writer.h"

namespace forge::fishes {
namespace {

constexpr std::size_t kFishAtt2Words = 40;

}  // namespace

std::array<std::uint32_t, kAttributeWords> attribute_words(const SwimWords& swim) {
  std::array<std::uint32_t, kAttributeWords> words{};
  const auto real = [&](std::size_t index, float value) { words[index] = std::bit_cast<std::uint32_t>(value); };
  real(0, swim.school_power);
  real(1, swim.normal_speed);
  real(2, swim.max_speed);
  real(3, swim.wave_size);
  real(4, swim.frequency);
  real(5, swim.elasticity);
  real(15, swim.origin_fraction);
  real(16, swim.follow_factor);
  real(18, swim.school_weight);
  real(22, swim.pitch_limit);
  words[33] = swim.spine_segments;
  return words;
}

std::vector<std::uint8_t> encode_attribute_record(const SwimWords& swim) {
  base::ByteWriter out;
  for (std::uint32_t word : attribute_words(swim)) out.u32(word);
  return out.take();
}

std::string attribute_x_file(const FishKind& kind) {
  const std::array<std::uint32_t, kAttributeWords> words = attribute_words(kind.swim);
  std::string text = "xof 0303txt 0032\n\n";
  text += "// Swimming attributes of kind " + std::to_string(kind.number) + ".\n";
  text += "FishAtt2 Attributes {\n  ";
  for (std::size_t i = 0; i < kFishAtt2Words; ++i) {
    text += std::to_string(i < words.size() ? words[i] : 0u);
    if (i + 1 < kFishAtt2Words) text += (i % 8 == 7) ? ",\n  " : ", ";
  }
  text += ";;\n}\n";
  return text;
}

}  // namespace forge::fishes
