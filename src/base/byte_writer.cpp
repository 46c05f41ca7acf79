#include "base/byte_writer.h"

#include <algorithm>
#include <bit>

namespace base {

void ByteWriter::put(std::uint64_t v, int count) {
  for (int i = 0; i < count; ++i) buffer_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ByteWriter::f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
void ByteWriter::f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }

void ByteWriter::bytes(std::span<const std::uint8_t> data) {
  buffer_.insert(buffer_.end(), data.begin(), data.end());
}

void ByteWriter::text(std::string_view s, std::size_t n) {
  const std::size_t used = std::min(s.size(), n);
  for (std::size_t i = 0; i < used; ++i) buffer_.push_back(static_cast<std::uint8_t>(s[i]));
  zeros(n - used);
}

bool ByteWriter::patch_u32(std::size_t offset, std::uint32_t v) {
  if (offset > buffer_.size() || buffer_.size() - offset < 4) return false;
  for (int i = 0; i < 4; ++i) buffer_[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
  return true;
}

}  // namespace base
