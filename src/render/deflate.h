#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace render {

// Raw DEFLATE streams (no zlib or gzip header, no checksum), as package
// blocks hold them.

// The compressed bytes, or nullopt when compression fails or would not make
// the data smaller (such data is stored as it is; a stream as long as its
// data would read back as stored bytes).
std::optional<std::vector<std::uint8_t>> deflate_raw(std::span<const std::uint8_t> data);

// Inflates `stream` into `out`, which must be filled exactly: a stream that
// ends early, yields more, or is damaged fails.
bool inflate_raw(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);

// More than a raw DEFLATE stream of `stored` bytes can inflate to: at best
// two bits of stream stand for 258 bytes, 1032 bytes per byte of stream. A
// recorded size above this is refused before any memory is taken for it.
constexpr std::uint64_t max_inflated_size(std::uint64_t stored) { return stored * 1032 + 1024; }

}  // namespace render
