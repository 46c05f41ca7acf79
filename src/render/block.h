#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace render {

// Bytes read from a file, owned, followed by one extra zero byte so that a
// text entry can be used as a NUL-terminated string.
class Block {
 public:
  Block() = default;

  // A block of `size` bytes (contents undefined, the extra byte zero), or
  // nullopt when that much memory cannot be had.
  static std::optional<Block> allocate(std::uint64_t size);
  static Block copy_of(std::span<const std::uint8_t> bytes);
  static Block copy_of(std::string_view text);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::uint8_t* data() { return bytes_ ? bytes_.get() : nullptr; }
  const std::uint8_t* data() const { return bytes_ ? bytes_.get() : nullptr; }
  std::span<const std::uint8_t> bytes() const { return {data(), size_}; }
  std::span<std::uint8_t> writable_bytes() { return {data(), size_}; }
  // The bytes as text, ending at the extra zero byte.
  const char* c_str() const;
  // Cuts the data to `size` bytes (no more than it has), moving the zero.
  void shrink(std::size_t size);

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

}  // namespace render
