#include "scene/sea_set_record.h"

#include <algorithm>
#include <cstring>

#include "base/byte_writer.h"

namespace scene {

void SeaSetRecord::assign(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, kBytes> raw{};
  for (std::size_t i = 0; i < kWords; ++i) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &words_[i], 4);
    for (int b = 0; b < 4; ++b) raw[i * 4 + b] = static_cast<std::uint8_t>(bits >> (8 * b));
  }
  std::copy_n(bytes.begin(), std::min(bytes.size(), kBytes), raw.begin());
  for (std::size_t i = 0; i < kWords; ++i) {
    std::uint32_t bits = 0;
    for (int b = 0; b < 4; ++b) bits |= std::uint32_t{raw[i * 4 + b]} << (8 * b);
    std::memcpy(&words_[i], &bits, 4);
  }
}

std::vector<std::uint8_t> SeaSetRecord::encode() const {
  base::ByteWriter out;
  for (float word : words_) out.f32(word);
  return out.take();
}

void SeaSetRecord::set_camera(float fov, float near_plane, float far_plane, const base::Vec3& position,
                              const base::Vec3& angles) {
  words_[0] = fov;
  words_[1] = near_plane;
  words_[2] = far_plane;
  words_[3] = position.x;
  words_[4] = position.y;
  words_[5] = position.z;
  words_[6] = angles.x;
  words_[7] = angles.y;
  words_[8] = angles.z;
}

void SeaSetRecord::set_light_direction(const base::Vec3& direction) {
  words_[16] = direction.x;
  words_[17] = direction.y;
  words_[18] = direction.z;
}

void SeaSetRecord::set_pattern(const base::Vec2& scale, float rate, const base::Vec2& scroll) {
  words_[23] = scale.x;
  words_[24] = scale.y;
  words_[25] = rate;
  words_[26] = scroll.x;
  words_[27] = scroll.y;
}

}  // namespace scene
