#include "render/block.h"

#include <cstring>
#include <limits>
#include <new>

namespace render {

std::optional<Block> Block::allocate(std::uint64_t size) {
  if (size >= std::numeric_limits<std::size_t>::max()) return std::nullopt;
  Block block;
  try {
    block.bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size) + 1);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  block.size_ = static_cast<std::size_t>(size);
  block.bytes_[block.size_] = 0;
  return block;
}

Block Block::copy_of(std::span<const std::uint8_t> bytes) {
  Block block;
  block.bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(bytes.size() + 1);
  block.size_ = bytes.size();
  if (!bytes.empty()) std::memcpy(block.bytes_.get(), bytes.data(), bytes.size());
  block.bytes_[block.size_] = 0;
  return block;
}

Block Block::copy_of(std::string_view text) {
  return copy_of(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

const char* Block::c_str() const { return bytes_ ? reinterpret_cast<const char*>(bytes_.get()) : ""; }

void Block::shrink(std::size_t size) {
  if (size >= size_) return;
  size_ = size;
  bytes_[size_] = 0;
}

}  // namespace render
