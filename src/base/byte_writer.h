#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace base {

// Appends little-endian values to a growing byte buffer.
class ByteWriter {
 public:
  void u8(std::uint8_t v) { buffer_.push_back(v); }
  void u16(std::uint16_t v) { put(v, 2); }
  void u32(std::uint32_t v) { put(v, 4); }
  void u64(std::uint64_t v) { put(v, 8); }
  void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
  void f32(float v);
  void f64(double v);

  void bytes(std::span<const std::uint8_t> data);
  void zeros(std::size_t n) { buffer_.resize(buffer_.size() + n, 0); }
  // A fixed field of n bytes: the text cut to n bytes, padded with zero
  // bytes.
  void text(std::string_view s, std::size_t n);

  // Overwrites four bytes already written at offset (a length or offset
  // known only later); false when they lie outside what was written.
  bool patch_u32(std::size_t offset, std::uint32_t v);

  std::size_t size() const { return buffer_.size(); }
  const std::vector<std::uint8_t>& data() const { return buffer_; }
  // Hands over the buffer and leaves the writer empty.
  std::vector<std::uint8_t> take() {
    std::vector<std::uint8_t> out;
    out.swap(buffer_);
    return out;
  }

 private:
  void put(std::uint64_t v, int count);

  std::vector<std::uint8_t> buffer_;
};

}  // namespace base
