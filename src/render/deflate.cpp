#include "render/deflate.h"

#include <zlib.h>

#include <limits>

namespace render {

namespace {

// Negative window bits select a raw stream.
constexpr int kRawWindowBits = -15;
constexpr int kMemoryLevel = 8;

}  // namespace

std::optional<std::vector<std::uint8_t>> deflate_raw(std::span<const std::uint8_t> data) {
  if (data.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  const uLong produced = stream.total_out;
  deflateEnd(&stream);
  if (result != Z_STREAM_END || produced >= data.size()) return std::nullopt;
  out.resize(produced);
  return out;
}

bool inflate_raw(std::span<const std::uint8_t> stream_bytes, std::span<std::uint8_t> out) {
  if (stream_bytes.size() > std::numeric_limits<uInt>::max() ||
      out.size() > std::numeric_limits<uInt>::max()) {
    return false;
  }
  z_stream stream{};
  if (inflateInit2(&stream, kRawWindowBits) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(stream_bytes.data());
  stream.avail_in = static_cast<uInt>(stream_bytes.size());
  std::uint8_t none = 0;  // zlib refuses a null output even when it is empty
  stream.next_out = out.empty() ? &none : out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  int result = inflate(&stream, Z_FINISH);
  if (result != Z_STREAM_END && stream.avail_out == 0) {
    // The output is full but the stream has not ended: it may still close
    // with an empty block, or it holds more data than recorded.
    std::uint8_t spare = 0;
    stream.next_out = &spare;
    stream.avail_out = 1;
    result = inflate(&stream, Z_FINISH);
    if (stream.avail_out == 0) result = Z_DATA_ERROR;
  }
  const bool complete = result == Z_STREAM_END && stream.total_out == out.size();
  inflateEnd(&stream);
  return complete;
}

}  // namespace render
